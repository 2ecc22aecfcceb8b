#include "addin/OfficeCommandbarButton.h"

#include <utility>

#include "addin/ComBoundary.h"
#include "addin/ComObject.h"
#include "om/OutlookCalls.h"

// The sink Office calls: an IDispatch that hands Click to its wrapper, as
// long as it has one. Office may hold it past the wrapper (until Unadvise
// returns, or longer when Unadvise fails), so the wrapper cuts it off.
class TCommandbarbutton::TEventSink final : public TComObject<IDispatch> {
 public:
  explicit TEventSink(TCommandbarbutton* server) : FServer(server) {}
  void CutOff() { FServer = nullptr; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  // Click's arguments (the button, CancelDefault by reference) are not read
  // or written: CancelDefault goes back to Office as it came.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id != DISPID_CommandBarButtonClick || !FServer || !FServer->FOnClick) return S_OK;
    return comserver::Guarded("Click", E_FAIL, [this] {
      FServer->FOnClick();
      return S_OK;
    });
  }

 private:
  void* Find(REFIID riid) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID__CommandBarButtonEvents)) {
      return static_cast<IDispatch*>(this);
    }
    return nullptr;
  }

  TCommandbarbutton* FServer;
};

TCommandbarbutton::TCommandbarbutton(std::function<void()> onClick)
    : FOnClick(std::move(onClick)), FEventSink(new TEventSink(this)) {}

TCommandbarbutton::~TCommandbarbutton() {
  Disconnect();
  FEventSink->CutOff();
}

void TCommandbarbutton::ConnectTo(_CommandBarButton* button) {
  Disconnect();
  FIntf = TComPtr<_CommandBarButton>::Share(button);
  const TComPtr<IConnectionPointContainer> container =
      om::Query<IConnectionPointContainer>(button, IID_IConnectionPointContainer, "CommandBarButton connection points");
  CheckOle(container->FindConnectionPoint(IID__CommandBarButtonEvents, &FConnectionPoint), "FindConnectionPoint");
  CheckOle(FConnectionPoint->Advise(FEventSink.Get(), &FCookie), "Advise");
}

void TCommandbarbutton::Disconnect() noexcept {
  if (!FIntf) return;
  if (FConnectionPoint && FCookie) {
    const HRESULT hr = FConnectionPoint->Unadvise(FCookie);
    if (FAILED(hr)) comserver::ReportCode("button", "Unadvise", hr);
  }
  FCookie = 0;
  FConnectionPoint.Reset();
  FIntf.Reset();
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
