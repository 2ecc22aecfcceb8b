#include "addin/uAddIn.h"

#include <memory>

#include "om/AddInIntf.h"
#include "addin/ComServer.h"
#include "addin/MainThread.h"
#include "addin/OfficeCommandbarButton.h"
#include "support/ComPtr.h"

namespace {

// {7A62F4C0-6343-481C-A31E-35D2AA37E75D}
const IID kIID_ITAddIn = {0x7A62F4C0, 0x6343, 0x481C, {0xA3, 0x1E, 0x35, 0xD2, 0xAA, 0x37, 0xE7, 0x5D}};

// The add-in's own dual interface: IDispatch and nothing more.
struct ITAddIn : IDispatch {};

class TAddIn final : public ITAddIn, public _IDTExtensibility2 {
 public:
  TAddIn() { comserver::ObjectCreated(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, kIID_ITAddIn)) {
      *ppv = static_cast<ITAddIn*>(this);
    } else if (IsEqualIID(riid, IID__IDTExtensibility2)) {
      *ppv = static_cast<_IDTExtensibility2*>(this);
    } else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&FRefs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0) delete this;
    return refs;
  }

  // IDispatch, answered from the type information of ITAddIn.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = comserver::AddInDispatchInfo() ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    ITypeInfo* own = comserver::AddInDispatchInfo();
    if (index != 0 || !own) return DISP_E_BADINDEX;
    own->AddRef();
    *info = own;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ITypeInfo* own = comserver::AddInDispatchInfo();
    return own ? DispGetIDsOfNames(own, names, count, ids) : E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override {
    ITypeInfo* own = comserver::AddInDispatchInfo();
    if (!own) return E_NOTIMPL;
    return DispInvoke(static_cast<ITAddIn*>(this), own, id, flags, params, result, exception, argError);
  }

  // _IDTExtensibility2
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode, IDispatch* AddInInst,
                                         SAFEARRAY**) override {
    m_IDspApp = TComPtr<IDispatch>::Share(Application);
    m_AddInInst = TComPtr<IDispatch>::Share(AddInInst);
    g_bMainDlgOpen.store(false);
    InitUI(Application);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    try {
      if (OutLookBtn) OutLookBtn->Disconnect();
      OutLookBtn.reset();
    } catch (...) {
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

 private:
  ~TAddIn() { comserver::ObjectDestroyed(); }

  // The "Quop" bar with the "Twinsweeps" button; false when Outlook has no
  // explorer or refuses a step.
  bool InitUI(IDispatch* Application) {
    try {
      OutLookBtn = std::make_unique<TCommandbarbutton>();
      const TComPtr<CommandBar> bar = TCommandbarbutton::AddToolBar(Application, L"Quop");
      if (!bar) return false;
      const TComPtr<_CommandBarButton> button =
          TCommandbarbutton::AddButton(bar.Get(), L"Twinsweeps", L"Quop Twinsweeps", L"");
      if (!button) return false;
      OutLookBtn->ConnectTo(button.Get());
      OutLookBtn->FOnClick = [this](_CommandBarButton* Ctrl, VARIANT_BOOL& CancelDefault) {
        OutLookBtnClick(Ctrl, CancelDefault);
      };
      return true;
    } catch (...) {
      return false;
    }
  }

  void OutLookBtnClick(_CommandBarButton*, VARIANT_BOOL&) { TMainThread::Start(m_IDspApp.Get()); }

  LONG FRefs = 1;
  std::unique_ptr<TCommandbarbutton> OutLookBtn;
  TComPtr<IDispatch> m_IDspApp;
  TComPtr<IDispatch> m_AddInInst;
};

}  // namespace

HRESULT CreateAddIn(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  TComPtr<ITAddIn> addIn(new (std::nothrow) TAddIn());
  if (!addIn) return E_OUTOFMEMORY;
  return addIn->QueryInterface(riid, ppv);
}
