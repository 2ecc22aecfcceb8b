#include "standin/host/CommandBar.h"
#include "standin/host/Variants.h"

namespace host {
namespace {

// The arguments of Add as a record; false when one cannot be read.
bool ReadAddArguments(const VARIANT* args, ButtonRecord* record) {
  long type = 0, id = 0, before = 0;
  bool temporary = false;
  for (int i = 0; i < 5; ++i) record->argTypes.push_back(args[i].vt);
  if (!ReadLong(args[0], msoControlButton, &type) || !ReadLong(args[1], 1, &id) ||
      !ReadText(args[2], L"", &record->parameter) || !ReadLong(args[3], 0, &before) ||
      !ReadBool(args[4], false, &temporary)) {
    return false;
  }
  record->type = type;
  record->id = id;
  record->before = before;
  record->temporary = temporary;
  return true;
}

}  // namespace

void* HostControls::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID__IMsoDispObj) ||
      IsEqualIID(riid, IID_CommandBarControls)) {
    return static_cast<CommandBarControls*>(this);
  }
  return nullptr;
}

void HostControls::Close() {
  for (const TComPtr<HostButton>& button : buttons_) button->Close();
}

HRESULT HostControls::Add(VARIANT Type, VARIANT Id, VARIANT Parameter, VARIANT Before, VARIANT Temporary,
                          CommandBarControl** control) {
  if (control == nullptr) return E_POINTER;
  *control = nullptr;
  const VARIANT args[] = {Type, Id, Parameter, Before, Temporary};
  ButtonRecord record;
  if (!ReadAddArguments(args, &record)) return DISP_E_TYPEMISMATCH;
  if (record.type != msoControlButton) return E_NOTIMPL;
  size_t at = record.before == 0 ? buttons_.size() : static_cast<size_t>(record.before - 1);
  if (record.before < 0 || at > buttons_.size()) return E_INVALIDARG;
  TComPtr<HostButton> button(new HostButton(std::move(record), notifier_));
  *control = button.Get();
  (*control)->AddRef();
  buttons_.insert(buttons_.begin() + static_cast<std::ptrdiff_t>(at), std::move(button));
  notifier_->Notify();
  return S_OK;
}

HRESULT HostControls::get_Count(int* count) {
  if (count == nullptr) return E_POINTER;
  *count = static_cast<int>(buttons_.size());
  return S_OK;
}

HRESULT HostControls::get_Item(VARIANT index, CommandBarControl** control) {
  if (control == nullptr) return E_POINTER;
  *control = nullptr;
  long position = 0;
  if (!ReadLong(index, 0, &position)) return DISP_E_TYPEMISMATCH;
  if (position < 1 || static_cast<size_t>(position) > buttons_.size()) return E_INVALIDARG;
  *control = buttons_[position - 1].Get();
  (*control)->AddRef();
  return S_OK;
}

}  // namespace host
