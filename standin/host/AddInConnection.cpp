#include "standin/host/AddInConnection.h"

#include "om/OfficeIntf.h"
#include "standin/host/ClassActivation.h"
#include "standin/host/OutlookObjects.h"

namespace host {
namespace {

// The `custom` argument: an empty array of variants, owned for one call.
class TCustomArray {
 public:
  TCustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~TCustomArray() {
    if (array_ != nullptr) SafeArrayDestroy(array_);
  }
  TCustomArray(const TCustomArray&) = delete;
  TCustomArray& operator=(const TCustomArray&) = delete;
  SAFEARRAY** Address() { return &array_; }

 private:
  SAFEARRAY* array_;
};

}  // namespace

HRESULT TAddInConnection::Connect(IDispatch* application, ext_ConnectMode mode) {
  if (Connected()) return S_FALSE;
  CLSID clsid;
  HRESULT hr = ResolveProgId(progId_, &clsid);
  if (FAILED(hr)) return hr;
  TComPtr<IUnknown> object;
  hr = CreateInProcess(clsid, IID_IUnknown, reinterpret_cast<void**>(&object));
  if (FAILED(hr)) return hr;
  TComPtr<_IDTExtensibility2> addIn;
  hr = object->QueryInterface(IID__IDTExtensibility2, reinterpret_cast<void**>(&addIn));
  if (FAILED(hr)) return hr;
  TComPtr<IDispatch> instance = NewAddInInstance(progId_);
  TCustomArray custom;
  hr = addIn->OnConnection(application, mode, instance.Get(), custom.Address());
  if (FAILED(hr)) return hr;
  addIn_ = std::move(addIn);
  instance_ = std::move(instance);
  return S_OK;
}

HRESULT TAddInConnection::AskRibbon(const wchar_t* ribbonId, std::wstring* xml) {
  xml->clear();
  if (!Connected()) return E_UNEXPECTED;
  TComPtr<IRibbonExtensibility> ribbon;
  if (FAILED(addIn_->QueryInterface(IID_IRibbonExtensibility, reinterpret_cast<void**>(&ribbon)))) return S_FALSE;
  HRESULT hr = addIn_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&callbacks_));
  if (FAILED(hr)) return hr;
  BSTR id = SysAllocString(ribbonId);
  BSTR answer = nullptr;
  hr = id ? ribbon->GetCustomUI(id, &answer) : E_OUTOFMEMORY;
  SysFreeString(id);
  if (SUCCEEDED(hr) && answer != nullptr) xml->assign(answer, SysStringLen(answer));
  SysFreeString(answer);
  return hr;
}

void TAddInConnection::StartupComplete() {
  if (!Connected()) return;
  TCustomArray custom;
  addIn_->OnStartupComplete(custom.Address());
}

void TAddInConnection::BeginShutdown() {
  if (!Connected()) return;
  TCustomArray custom;
  addIn_->OnBeginShutdown(custom.Address());
}

void TAddInConnection::Disconnect(ext_DisconnectMode mode) {
  if (!Connected()) return;
  TCustomArray custom;
  addIn_->OnDisconnection(mode, custom.Address());
  callbacks_.Reset();
  addIn_.Reset();
  instance_.Reset();
}

}  // namespace host
