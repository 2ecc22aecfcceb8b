// The connection point of a button for _CommandBarButtonEvents: advised
// sinks by cookie, and the Click event fired through each of them.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "standin/host/BarRecords.h"
#include "standin/host/HostObject.h"
#include "support/ComPtr.h"

namespace host {

class ButtonEvents final : public HostObject<IConnectionPoint> {
 public:
  // owner and record belong to the button, which calls Orphan() when it goes.
  ButtonEvents(IConnectionPointContainer* owner, ButtonRecord* record);
  void Orphan();
  // Click (DISPID 1) through every sink advised now, with rgvarg[1] = button
  // (VT_DISPATCH) and rgvarg[0] = CancelDefault (VT_BOOL | VT_BYREF), as
  // Office passes them. Returns the number of sinks called.
  int FireClick(IDispatch* button, VARIANT_BOOL* cancelDefault);
  // Releases every sink (the host closing without an Unadvise).
  void DropSinks();

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 protected:
  void* Find(REFIID riid) override;

 private:
  struct Sink {
    DWORD cookie;
    TComPtr<IDispatch> dispatch;
  };
  void Recount();

  IConnectionPointContainer* owner_;
  ButtonRecord* record_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};

}  // namespace host
