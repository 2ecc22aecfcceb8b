#include "addin/OfficeCommandbarButton.h"

#include <ocidl.h>

#include <vector>

#include "om/OutlookCalls.h"

namespace {

TServerData g_ServerData = {
    {0x55F88891, 0x7708, 0x11D1, {0xAC, 0xEB, 0x00, 0x60, 0x08, 0x96, 0x1D, 0xA5}},  // CommandBarButton class
    {0x000C030E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},  // _CommandBarButton
    {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},  // _CommandBarButtonEvents
    500,
    0};

}  // namespace

// The sink Office calls: an IDispatch that hands every call to its wrapper,
// as long as it has one.
class TCommandbarbutton::TEventSink final : public IDispatch {
 public:
  explicit TEventSink(TCommandbarbutton* server) : FServer(server) {}
  void CutOff() { FServer = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, g_ServerData.EventIID)) {
      *ppv = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&FRefs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0) delete this;
    return refs;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    // The frame holds the arguments last first; the wrapper gets them in
    // declaration order, and what was passed by reference is copied back.
    const UINT n = params ? params->cArgs : 0;
    std::vector<VARIANT> args(n);
    for (UINT i = 0; i < n; ++i) args[i] = params->rgvarg[n - 1 - i];
    if (FServer) FServer->InvokeEvent(id, args.data(), n);
    for (UINT i = 0; i < n; ++i)
      if (V_VT(&params->rgvarg[n - 1 - i]) & VT_BYREF) params->rgvarg[n - 1 - i] = args[i];
    return S_OK;
  }

 private:
  ~TEventSink() = default;
  LONG FRefs = 1;
  TCommandbarbutton* FServer;
};

const TServerData& TCommandbarbutton::ServerData() { return g_ServerData; }

TCommandbarbutton::TCommandbarbutton()
    : FProps(std::make_unique<TCommandbarButtonEventsProperties>(TCommandbarButtonEventsProperties{this})),
      FEventSink(new TEventSink(this)) {
  InterlockedIncrement(&g_ServerData.InstanceCount);
}

TCommandbarbutton::~TCommandbarbutton() {
  FProps.reset();
  try {
    Disconnect();
  } catch (...) {
  }
  if (FEventSink) FEventSink->CutOff();
  FEventSink.Reset();
  InterlockedDecrement(&g_ServerData.InstanceCount);
}

void TCommandbarbutton::ConnectTo(_CommandBarButton* button) {
  Disconnect();
  FIntf = TComPtr<_CommandBarButton>::Share(button);
  TComPtr<IConnectionPointContainer> container =
      om::Query<IConnectionPointContainer>(button, IID_IConnectionPointContainer, "CommandBarButton connection points");
  CheckOle(container->FindConnectionPoint(g_ServerData.EventIID, &FConnectionPoint), "FindConnectionPoint");
  CheckOle(FConnectionPoint->Advise(FEventSink.Get(), &FCookie), "Advise");
}

void TCommandbarbutton::Disconnect() {
  if (!FIntf) return;
  if (FConnectionPoint && FCookie) FConnectionPoint->Unadvise(FCookie);
  FCookie = 0;
  FConnectionPoint.Reset();
  FIntf.Reset();
}

void TCommandbarbutton::InvokeEvent(DISPID DispID, VARIANT*, UINT) {
  if (DispID != 1 || !FOnClick) return;  // Click only
  // The event's own arguments are not read, and CancelDefault stays as
  // Office passed it.
  VARIANT_BOOL cancelDefault = VARIANT_FALSE;
  FOnClick(FIntf.Get(), cancelDefault);
}

TComPtr<CommandBar> TCommandbarbutton::AddToolBar(IDispatch* Application, const wchar_t* name) {
  const TComPtr<_Application> app = om::AsApplication(Application);
  const TComPtr<_Explorer> explorer = om::ActiveExplorer(app.Get());
  if (!explorer) return {};
  const TComPtr<_CommandBars> bars = om::GetCommandBars(explorer.Get());
  if (!bars) return {};
  TComPtr<CommandBar> bar = om::AddCommandBar(bars.Get(), name, msoBarTop, false, true);
  if (!bar) return {};
  om::SetVisible(bar.Get(), true);
  return bar;
}

TComPtr<_CommandBarButton> TCommandbarbutton::AddButton(CommandBar* Bar, const wchar_t* caption,
                                                        const wchar_t* tooltip, const wchar_t* tag) {
  if (!Bar) return {};
  const TComPtr<CommandBarControls> controls = om::GetControls(Bar);
  if (!controls) return {};
  const TComPtr<CommandBarControl> control = om::AddControl(controls.Get(), msoControlButton, 1, 1, 1, true);
  if (!control) return {};
  TComPtr<_CommandBarButton> button = om::AsCommandBarButton(control.Get());
  om::SetStyle(button.Get(), msoButtonCaption);
  om::SetCaption(button.Get(), caption);
  om::SetTooltipText(button.Get(), tooltip);
  om::SetTag(button.Get(), tag);
  return button;
}
