#include "standin/host/CommandBars.h"

#include "standin/host/Variants.h"

namespace host {
namespace {

constexpr long kBarFloating = 4;

bool ReadAddArguments(const VARIANT* args, const std::wstring& defaultName, BarRecord* record) {
  long position = 0;
  for (int i = 0; i < 4; ++i) record->argTypes.push_back(args[i].vt);
  if (!ReadText(args[0], defaultName, &record->name) || !ReadLong(args[1], kBarFloating, &position) ||
      !ReadBool(args[2], false, &record->menuBar) || !ReadBool(args[3], false, &record->temporary)) {
    return false;
  }
  record->position = position;
  return true;
}

}  // namespace

void* HostCommandBars::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID__IMsoDispObj) ||
      IsEqualIID(riid, IID__CommandBars)) {
    return static_cast<_CommandBars*>(this);
  }
  return nullptr;
}

void HostCommandBars::Close() {
  for (const TComPtr<HostBar>& bar : bars_) bar->Close();
}

bool HostCommandBars::NameTaken(const std::wstring& name) const {
  for (const TComPtr<HostBar>& bar : bars_) {
    if (lstrcmpiW(bar->Snapshot().name.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

HRESULT HostCommandBars::Add(VARIANT Name, VARIANT Position, VARIANT MenuBar, VARIANT Temporary, CommandBar** bar) {
  if (bar == nullptr) return E_POINTER;
  *bar = nullptr;
  const VARIANT args[] = {Name, Position, MenuBar, Temporary};
  BarRecord record;
  if (!ReadAddArguments(args, L"Custom " + std::to_wstring(bars_.size() + 1), &record)) return DISP_E_TYPEMISMATCH;
  if (refuseDuplicateNames_ && NameTaken(record.name)) return E_INVALIDARG;
  TComPtr<HostBar> made(new HostBar(std::move(record), notifier_));
  *bar = made.Get();
  (*bar)->AddRef();
  bars_.push_back(std::move(made));
  notifier_->Notify();
  return S_OK;
}

}  // namespace host
