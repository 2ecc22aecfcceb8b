// fake_addin.dll: a COM add-in for the host tests. In OnConnection it adds
// the bar "Quop" with one caption button through the object model, as the
// product does, and advises a sink on the button's events; every call it
// receives becomes a log line.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "om/AddInIntf.h"
#include "om/OutlookCalls.h"
#include "support/ComPtr.h"
#include "tests/host/FakeAddIn.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace {

std::vector<std::string> g_log;
LONG g_liveObjects = 0;

void Log(std::string line) { g_log.push_back(std::move(line)); }

std::string TypeText(VARTYPE vt) {
  std::string text;
  if (vt & VT_BYREF) text = "BYREF|";
  switch (vt & ~VT_BYREF) {
    case VT_BOOL: return text + "BOOL";
    case VT_DISPATCH: return text + "DISPATCH";
    case VT_UNKNOWN: return text + "UNKNOWN";
    default: return text + std::to_string(vt & ~VT_BYREF);
  }
}

// The same COM object, by IUnknown identity.
bool SameObject(IUnknown* a, IUnknown* b) {
  if (a == nullptr || b == nullptr) return false;
  TComPtr<IUnknown> ua, ub;
  a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ua));
  b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ub));
  return ua.Get() == ub.Get();
}

template <class I>
class Counted : public I {
 public:
  Counted() { InterlockedIncrement(&g_liveObjects); }
  virtual ~Counted() { InterlockedDecrement(&g_liveObjects); }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return refs;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

 private:
  LONG refs_ = 1;
};

// The sink of _CommandBarButtonEvents: logs each Invoke with its arguments.
class ClickSink final : public Counted<IDispatch> {
 public:
  explicit ClickSink(IUnknown* button) : button_(button) {}
  void Forget() { button_ = nullptr; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
        !IsEqualIID(riid, IID__CommandBarButtonEvents)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    std::string line = "Invoke dispid=" + std::to_string(id) + " flags=" + std::to_string(flags);
    line += " args=" + std::to_string(params->cArgs) + " named=" + std::to_string(params->cNamedArgs);
    if (params->cArgs == 2) {
      const VARIANT& ctrl = params->rgvarg[1];
      const VARIANT& cancel = params->rgvarg[0];
      line += " arg1=" + TypeText(ctrl.vt) + " arg0=" + TypeText(cancel.vt);
      if (ctrl.vt == VT_DISPATCH) line += SameObject(ctrl.pdispVal, button_) ? " ctrl=button" : " ctrl=other";
      if (cancel.vt == (VT_BOOL | VT_BYREF)) line += " cancel=" + std::to_string(*cancel.pboolVal);
    }
    Log(line);
    return S_OK;
  }

 private:
  IUnknown* button_;  // held by the add-in while advised
};

class FakeAddIn final : public Counted<_IDTExtensibility2> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
        !IsEqualIID(riid, IID__IDTExtensibility2)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<_IDTExtensibility2*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode mode, IDispatch* instance,
                                         SAFEARRAY** custom) override {
    Log("OnConnection mode=" + std::to_string(mode) + " instance=" + (instance ? "yes" : "no") +
        " custom=" + CustomText(custom));
    application_ = TComPtr<IDispatch>::Share(application);
    instance_ = TComPtr<IDispatch>::Share(instance);
    try {
      AddBarAndButton();
    } catch (const EOleException& e) {
      Log(std::string("set-up failed: ") + e.what());
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode mode, SAFEARRAY** custom) override {
    Log("OnDisconnection mode=" + std::to_string(mode) + " custom=" + CustomText(custom));
    if (point_) Log("Unadvise hr=" + std::to_string(point_->Unadvise(cookie_)));
    if (sink_) sink_->Forget();
    sink_.Reset();
    point_.Reset();
    button_.Reset();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override { return Note("OnAddInsUpdate", custom); }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override {
    return Note("OnStartupComplete", custom);
  }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override { return Note("OnBeginShutdown", custom); }

 private:
  static std::string CustomText(SAFEARRAY** custom) {
    if (custom == nullptr || *custom == nullptr) return "null";
    LONG low = 0, high = -1;
    SafeArrayGetLBound(*custom, 1, &low);
    SafeArrayGetUBound(*custom, 1, &high);
    return std::to_string(high - low + 1);
  }
  HRESULT Note(const char* name, SAFEARRAY** custom) {
    Log(std::string(name) + " custom=" + CustomText(custom));
    return S_OK;
  }

  void AddBarAndButton() {
    TComPtr<_Application> app = om::AsApplication(application_.Get());
    TComPtr<_Explorer> explorer = om::ActiveExplorer(app.Get());
    if (!explorer) {
      Log("no explorer");
      return;
    }
    TComPtr<_CommandBars> bars = om::GetCommandBars(explorer.Get());
    TComPtr<CommandBar> bar = om::AddCommandBar(bars.Get(), kFakeBarName, msoBarTop, false, true);
    om::SetVisible(bar.Get(), true);
    TComPtr<CommandBarControls> controls = om::GetControls(bar.Get());
    TComPtr<CommandBarControl> control = om::AddControl(controls.Get(), msoControlButton, 1, 1, 1, true);
    button_ = om::AsCommandBarButton(control.Get());
    om::SetStyle(button_.Get(), msoButtonCaption);
    om::SetCaption(button_.Get(), kFakeCaption);
    om::SetTooltipText(button_.Get(), kFakeTooltip);
    om::SetTag(button_.Get(), kFakeTag);
    Advise();
  }

  void Advise() {
    auto container = om::Query<IConnectionPointContainer>(button_.Get(), IID_IConnectionPointContainer, "container");
    CheckOle(container->FindConnectionPoint(IID__CommandBarButtonEvents, &point_), "FindConnectionPoint");
    sink_ = TComPtr<ClickSink>(new ClickSink(button_.Get()));
    CheckOle(point_->Advise(sink_.Get(), &cookie_), "Advise");
    Log("Advise cookie=" + std::to_string(cookie_));
  }

  TComPtr<IDispatch> application_, instance_;
  TComPtr<_CommandBarButton> button_;
  TComPtr<IConnectionPoint> point_;
  TComPtr<ClickSink> sink_;
  DWORD cookie_ = 0;
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    TComPtr<FakeAddIn> addIn(new FakeAddIn());
    Log("created");
    return addIn->QueryInterface(riid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!IsEqualCLSID(clsid, kFakeAddInClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, out);
}

HRESULT WINAPI DllCanUnloadNow() { return g_liveObjects == 0 ? S_OK : S_FALSE; }

ULONG WINAPI FakeAddInLog(char* buffer, ULONG size) {
  std::string text;
  for (const std::string& line : g_log) text += line + "\n";
  if (size > 0) lstrcpynA(buffer, text.c_str(), static_cast<int>(size));
  return static_cast<ULONG>(text.size());
}

void WINAPI FakeAddInClearLog() { g_log.clear(); }

LONG WINAPI FakeAddInLiveObjects() { return g_liveObjects; }
}
