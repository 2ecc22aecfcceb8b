#include "standin/host/CommandBar.h"
#include "standin/host/Variants.h"

namespace host {

HostBar::HostBar(BarRecord record, Notifier notifier)
    : record_(std::move(record)), notifier_(notifier), controls_(new HostControls(notifier)) {}

void* HostBar::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IAccessible) ||
      IsEqualIID(riid, IID__IMsoOleAccDispObj) || IsEqualIID(riid, IID_CommandBar)) {
    return static_cast<CommandBar*>(this);
  }
  return nullptr;
}

BarRecord HostBar::Snapshot() const {
  BarRecord snapshot = record_;
  for (const TComPtr<HostButton>& button : controls_->Buttons()) snapshot.buttons.push_back(button->Record());
  return snapshot;
}

HRESULT HostBar::get_Controls(CommandBarControls** controls) {
  if (controls == nullptr) return E_POINTER;
  *controls = controls_.Get();
  (*controls)->AddRef();
  return S_OK;
}

HRESULT HostBar::get_Name(BSTR* name) { return GiveText(record_.name, name); }

HRESULT HostBar::get_Position(MsoBarPosition* position) { return GiveValue(record_.position, position); }

HRESULT HostBar::get_Visible(VARIANT_BOOL* visible) {
  return GiveValue(record_.visible ? VARIANT_TRUE : VARIANT_FALSE, visible);
}

HRESULT HostBar::put_Visible(VARIANT_BOOL visible) {
  record_.visible = visible != VARIANT_FALSE;
  notifier_->Notify();
  return S_OK;
}

}  // namespace host
