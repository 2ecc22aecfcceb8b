#include "standin/host/CommandBarButton.h"

#include "standin/host/Variants.h"

namespace host {

HostButton::HostButton(ButtonRecord record, Notifier notifier)
    : record_(std::move(record)), notifier_(std::move(notifier)) {
  events_ = TComPtr<ButtonEvents>(new ButtonEvents(this, &record_));
}

HostButton::~HostButton() {
  events_->Orphan();
  events_->DropSinks();
}

void* HostButton::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IAccessible) ||
      IsEqualIID(riid, IID__IMsoOleAccDispObj) || IsEqualIID(riid, IID_CommandBarControl) ||
      IsEqualIID(riid, IID__CommandBarButton)) {
    return static_cast<_CommandBarButton*>(this);
  }
  if (IsEqualIID(riid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

int HostButton::Click() {
  VARIANT_BOOL cancelDefault = VARIANT_FALSE;
  ++record_.clicks;
  TComPtr<_CommandBarButton> self = TComPtr<_CommandBarButton>::Share(this);  // a sink may drop the last reference
  int called = events_->FireClick(self.Get(), &cancelDefault);
  if (cancelDefault != VARIANT_FALSE) record_.cancelDefaultSet = true;
  return called;
}

void HostButton::Close() { events_->DropSinks(); }

void HostButton::Changed(const char* member) {
  record_.setOrder.emplace_back(member);
  notifier_->Notify();
}

HRESULT HostButton::PutText(std::wstring ButtonRecord::*field, BSTR text, const char* member) {
  record_.*field = TextOf(text);
  Changed(member);
  return S_OK;
}

HRESULT HostButton::get_Caption(BSTR* caption) { return GiveText(record_.caption, caption); }
HRESULT HostButton::put_Caption(BSTR caption) { return PutText(&ButtonRecord::caption, caption, "Caption"); }
HRESULT HostButton::get_Tag(BSTR* tag) { return GiveText(record_.tag, tag); }
HRESULT HostButton::put_Tag(BSTR tag) { return PutText(&ButtonRecord::tag, tag, "Tag"); }
HRESULT HostButton::get_TooltipText(BSTR* text) { return GiveText(record_.tooltip, text); }
HRESULT HostButton::put_TooltipText(BSTR text) { return PutText(&ButtonRecord::tooltip, text, "TooltipText"); }
HRESULT HostButton::get_Parameter(BSTR* parameter) { return GiveText(record_.parameter, parameter); }

HRESULT HostButton::get_Id(int* id) { return GiveValue(record_.id, id); }
HRESULT HostButton::get_Type(MsoControlType* type) { return GiveValue(record_.type, type); }
HRESULT HostButton::get_Style(MsoButtonStyle* style) { return GiveValue(record_.style, style); }

HRESULT HostButton::put_Style(MsoButtonStyle style) {
  record_.style = style;
  Changed("Style");
  return S_OK;
}

STDMETHODIMP HostButton::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP HostButton::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(riid, IID__CommandBarButtonEvents)) return CONNECT_E_NOCONNECTION;
  *point = events_.Get();
  (*point)->AddRef();
  return S_OK;
}

}  // namespace host
