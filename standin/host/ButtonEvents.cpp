#include "standin/host/ButtonEvents.h"

#include <algorithm>

#include "om/OfficeIntf.h"

namespace host {

ButtonEvents::ButtonEvents(IConnectionPointContainer* owner, ButtonRecord* record)
    : owner_(owner), record_(record) {}

void ButtonEvents::Orphan() {
  owner_ = nullptr;
  record_ = nullptr;
}

void* ButtonEvents::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
    return static_cast<IConnectionPoint*>(this);
  }
  return nullptr;
}

STDMETHODIMP ButtonEvents::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = IID__CommandBarButtonEvents;
  return S_OK;
}

STDMETHODIMP ButtonEvents::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = owner_;
  if (owner_ == nullptr) return E_UNEXPECTED;
  owner_->AddRef();
  return S_OK;
}

// The sink must answer the event interface (as a dispatch interface), or
// at least IDispatch.
STDMETHODIMP ButtonEvents::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie != nullptr) *cookie = 0;
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  TComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(IID__CommandBarButtonEvents, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back({*cookie, std::move(dispatch)});
  if (record_ != nullptr) ++record_->advises;
  Recount();
  return S_OK;
}

STDMETHODIMP ButtonEvents::Unadvise(DWORD cookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  TComPtr<IDispatch> leaving = std::move(it->dispatch);  // released after the list is whole again
  sinks_.erase(it);
  if (record_ != nullptr) ++record_->unadvises;
  Recount();
  return S_OK;
}

STDMETHODIMP ButtonEvents::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr) *connections = nullptr;
  return E_NOTIMPL;
}

int ButtonEvents::FireClick(IDispatch* button, VARIANT_BOOL* cancelDefault) {
  std::vector<TComPtr<IDispatch>> targets;  // a sink may unadvise while called
  for (const Sink& s : sinks_) targets.push_back(TComPtr<IDispatch>::Share(s.dispatch.Get()));
  for (const TComPtr<IDispatch>& target : targets) {
    VARIANT args[2];
    VariantInit(&args[0]);
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = cancelDefault;
    VariantInit(&args[1]);
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = button;
    DISPPARAMS params{args, nullptr, 2, 0};
    UINT argError = 0;
    target->Invoke(DISPID_CommandBarButtonClick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                   nullptr, nullptr, &argError);
  }
  return static_cast<int>(targets.size());
}

void ButtonEvents::DropSinks() {
  std::vector<Sink> leaving;
  leaving.swap(sinks_);
  Recount();
}

void ButtonEvents::Recount() {
  if (record_ != nullptr) record_->sinks = static_cast<int>(sinks_.size());
}

}  // namespace host
