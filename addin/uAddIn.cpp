#include "addin/uAddIn.h"

#include <memory>

#include "addin/ComBoundary.h"
#include "addin/ComObject.h"
#include "addin/ComServer.h"
#include "addin/MainThread.h"
#include "addin/OfficeCommandbarButton.h"
#include "addin/QuopDuplicate_TLB.h"
#include "addin/RibbonUi.h"
#include "om/AddInIntf.h"
#include "support/ComPtr.h"

namespace {

class TAddIn final : public TComObject<ITAddIn, _IDTExtensibility2, IRibbonExtensibility> {
 public:
  // IDispatch, answered from the type information of ITAddIn. The type
  // library is loaded on first demand, which can throw.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    return comserver::Guarded("GetTypeInfoCount", E_UNEXPECTED, [count] {
      *count = comserver::AddInDispatchInfo() ? 1 : 0;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    return comserver::Guarded("GetTypeInfo", E_UNEXPECTED, [index, info] {
      ITypeInfo* own = comserver::AddInDispatchInfo();
      if (index != 0 || !own) return DISP_E_BADINDEX;
      own->AddRef();
      *info = own;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return comserver::Guarded("GetIDsOfNames", E_UNEXPECTED, [&] {
      ITypeInfo* own = comserver::AddInDispatchInfo();
      return own ? DispGetIDsOfNames(own, names, count, ids) : E_NOTIMPL;
    });
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override {
    return comserver::Guarded("Invoke", E_UNEXPECTED, [&] {
      ITypeInfo* own = comserver::AddInDispatchInfo();
      if (!own) return E_NOTIMPL;
      return DispInvoke(static_cast<ITAddIn*>(this), own, id, flags, params, result, exception, argError);
    });
  }

  // _IDTExtensibility2. Outlook makes a new add-in object for every
  // connection; a finder window opened through an earlier one may still be
  // open, and TMainThread keeps it the only one.
  //
  // Office asks for IRibbonExtensibility only after OnConnection (Outlook
  // calls GetCustomUI for the explorer during start-up, after the add-in
  // is connected: "Implementing the IRibbonExtensibility Interface",
  // Outlook 2010 developer reference), so the add-in cannot wait for
  // GetCustomUI to learn whether a ribbon will show its button, and an
  // add-in connected after start-up hears no OnStartupComplete. The
  // application's version decides here (ribbon::ExplorerHasRibbon).
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode, IDispatch*, SAFEARRAY**) override {
    m_IDspApp = TComPtr<IDispatch>::Share(Application);
    // A bar or button Outlook refuses is named in the log; the add-in stays
    // loaded without it, as it does when Outlook has no explorer.
    return comserver::Guarded("OnConnection", S_OK, [this] {
      if (!ribbon::ExplorerHasRibbon(m_IDspApp.Get())) AddTwinsweepsButton();
      return S_OK;
    });
  }
  // The sink is unadvised here: after this call Outlook may release the
  // add-in, while its bar, left on the explorer, may still be clicked.
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    OutLookBtn.reset();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

  // IRibbonExtensibility: S_OK with no XML for a ribbon the add-in leaves alone.
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override {
    if (!RibbonXml) return E_POINTER;
    *RibbonXml = nullptr;
    const std::wstring_view xml = ribbon::CustomUi(RibbonID ? std::wstring_view(RibbonID, SysStringLen(RibbonID))
                                                            : std::wstring_view());
    if (xml.empty()) return S_OK;
    *RibbonXml = SysAllocStringLen(xml.data(), static_cast<UINT>(xml.size()));
    return *RibbonXml ? S_OK : E_OUTOFMEMORY;
  }

  // ITAddIn: the ribbon button's callbacks. A click does what the command
  // bar button's does.
  HRESULT STDMETHODCALLTYPE OnTwinsweeps(IDispatch*) override {
    return comserver::Guarded("OnTwinsweeps", E_FAIL, [this] {
      OpenFinder();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetTwinsweepsImage(IDispatch*, IDispatch** image) override {
    if (!image) return E_POINTER;
    *image = nullptr;
    return comserver::Guarded("GetTwinsweepsImage", E_FAIL, [image] {
      *image = ribbon::NewButtonPicture();
      return S_OK;
    });
  }

 private:
  void* Find(REFIID riid) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_ITAddIn)) {
      return static_cast<ITAddIn*>(this);
    }
    if (IsEqualIID(riid, IID__IDTExtensibility2)) return static_cast<_IDTExtensibility2*>(this);
    if (IsEqualIID(riid, IID_IRibbonExtensibility)) return static_cast<IRibbonExtensibility*>(this);
    return nullptr;
  }

  // The "Quop" bar with the "Twinsweeps" button; nothing when Outlook has
  // no explorer. A click opens the finder window unless one is open.
  void AddTwinsweepsButton() {
    OutLookBtn.reset();
    const TComPtr<CommandBar> bar = TCommandbarbutton::AddToolBar(m_IDspApp.Get(), L"Quop");
    if (!bar) return;
    const TComPtr<_CommandBarButton> button =
        TCommandbarbutton::AddButton(bar.Get(), L"Twinsweeps", L"Quop Twinsweeps", L"");
    if (!button) return;
    auto wrapper = std::make_unique<TCommandbarbutton>([this] { OpenFinder(); });
    wrapper->ConnectTo(button.Get());
    OutLookBtn = std::move(wrapper);
  }

  // The finder window on a thread of its own, unless one is open; a thread
  // that cannot start raises.
  void OpenFinder() { TMainThread::Start(m_IDspApp.Get()); }

  std::unique_ptr<TCommandbarbutton> OutLookBtn;
  TComPtr<IDispatch> m_IDspApp;
};

}  // namespace

HRESULT CreateAddIn(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  TComPtr<ITAddIn> addIn(new (std::nothrow) TAddIn());
  if (!addIn) return E_OUTOFMEMORY;
  return addIn->QueryInterface(riid, ppv);
}
