// fake_addin.dll: a COM add-in for the host tests. In OnConnection it adds
// the bar "Quop" with one caption button through the object model, as the
// product does, and advises a sink on the button's events; every call it
// receives becomes a log line.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>

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
std::unique_ptr<std::wstring> g_ribbonXml;  // null: no ribbon part
constexpr DISPID kOnActionId = 101, kGetImageId = 102;

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

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += static_cast<char>(*text);
  return out;
}

// "id=<Id> tag=<Tag> context=<explorer|other|none>" of a ribbon control.
std::string ControlText(const VARIANT& arg) {
  if (arg.vt != VT_DISPATCH || arg.pdispVal == nullptr) return "control=" + TypeText(arg.vt);
  TComPtr<IRibbonControl> control;
  if (FAILED(arg.pdispVal->QueryInterface(IID_IRibbonControl, reinterpret_cast<void**>(&control)))) {
    return "control=not-IRibbonControl";
  }
  BSTR id = nullptr, tag = nullptr;
  TComPtr<IDispatch> context;
  control->get_Id(&id);
  control->get_Tag(&tag);
  control->get_Context(&context);
  TComPtr<_Explorer> explorer;
  if (context) context->QueryInterface(IID__Explorer, reinterpret_cast<void**>(&explorer));
  std::string text = "id=" + Narrow(id) + " tag=" + Narrow(tag) +
                     " context=" + (explorer ? "explorer" : context ? "other" : "none");
  SysFreeString(id);
  SysFreeString(tag);
  return text;
}

// A picture of the system's application icon, as getImage gives one.
IDispatch* NewPicture() {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_ICON;
  desc.icon.hicon = CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  IDispatch* picture = nullptr;
  OleCreatePictureIndirect(&desc, IID_IDispatch, TRUE, reinterpret_cast<void**>(&picture));
  return picture;
}

// IRibbonExtensibility, torn off the add-in it keeps alive.
class FakeRibbon final : public Counted<IRibbonExtensibility> {
 public:
  explicit FakeRibbon(IUnknown* addIn) : addIn_(TComPtr<IUnknown>::Share(addIn)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IRibbonExtensibility)) return addIn_->QueryInterface(riid, out);
    *out = static_cast<IRibbonExtensibility*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbonId, BSTR* xml) override {
    Log("GetCustomUI " + Narrow(ribbonId));
    *xml = g_ribbonXml ? SysAllocString(g_ribbonXml->c_str()) : nullptr;
    return S_OK;
  }

 private:
  TComPtr<IUnknown> addIn_;
};

class FakeAddIn final : public Counted<_IDTExtensibility2> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(riid, IID_IRibbonExtensibility) && g_ribbonXml) {
      *out = static_cast<IRibbonExtensibility*>(new FakeRibbon(static_cast<_IDTExtensibility2*>(this)));
      return S_OK;
    }
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
        !IsEqualIID(riid, IID__IDTExtensibility2)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<_IDTExtensibility2*>(this);
    AddRef();
    return S_OK;
  }
  // The ribbon callbacks, by name.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    Log("GetIDsOfNames " + Narrow(names[0]));
    if (count == 1 && lstrcmpiW(names[0], kFakeOnAction) == 0) return ids[0] = kOnActionId, S_OK;
    if (count == 1 && lstrcmpiW(names[0], kFakeGetImage) == 0) return ids[0] = kGetImageId, S_OK;
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id != kOnActionId && id != kGetImageId) return DISP_E_MEMBERNOTFOUND;
    std::string line = std::string(id == kOnActionId ? "OnFakeAction" : "GetFakeImage") +
                       " flags=" + std::to_string(flags) + " args=" + std::to_string(params->cArgs);
    if (params->cArgs == 1) line += " " + ControlText(params->rgvarg[0]);
    Log(line);
    if (id == kGetImageId && result != nullptr) {
      VariantInit(result);
      result->vt = VT_DISPATCH;
      result->pdispVal = NewPicture();
    }
    return S_OK;
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

void WINAPI FakeAddInSetRibbon(const wchar_t* xml) {
  g_ribbonXml = xml ? std::make_unique<std::wstring>(xml) : nullptr;
}
}
