// The Application object add-ins receive: the stand-in's _Application, but
// with the host's explorer.
#include "standin/host/HostObject.h"
#include "standin/host/OutlookObjects.h"
#include "standin/host/Variants.h"

namespace host {
namespace {

// Agile, like the stand-in objects it hands out: an add-in's window thread
// uses it for the session and the folder picker. Its explorer and command
// bars stay with the host's thread.
class HostApplication final : public HostObject<_Application> {
 protected:
  bool Agile() const override { return true; }

 public:
  HostApplication(TComPtr<_Application> standin, TComPtr<_Explorer> explorer, std::wstring version)
      : inner_(std::move(standin)), explorer_(std::move(explorer)), version_(std::move(version)) {}

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override {
    return inner_->Invoke(id, riid, lcid, flags, params, result, excep, argErr);
  }

  HRESULT STDMETHODCALLTYPE get_Application(_Application** application) override {
    if (application == nullptr) return E_POINTER;
    *application = this;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ActiveExplorer(_Explorer** explorer) override {
    if (explorer == nullptr) return E_POINTER;
    *explorer = explorer_.Get();
    if (*explorer != nullptr) (*explorer)->AddRef();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_Class(OlObjectClass* c) override { return inner_->get_Class(c); }
  HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** s) override { return inner_->get_Session(s); }
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** p) override { return inner_->get_Parent(p); }
  HRESULT STDMETHODCALLTYPE get_Assistant(IDispatch** a) override { return inner_->get_Assistant(a); }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* n) override { return inner_->get_Name(n); }
  HRESULT STDMETHODCALLTYPE get_Version(BSTR* v) override { return GiveText(version_, v); }
  HRESULT STDMETHODCALLTYPE ActiveInspector(IDispatch** i) override { return inner_->ActiveInspector(i); }
  HRESULT STDMETHODCALLTYPE CreateItem(OlItemType t, IDispatch** i) override { return inner_->CreateItem(t, i); }
  HRESULT STDMETHODCALLTYPE CreateItemFromTemplate(BSTR path, VARIANT folder, IDispatch** i) override {
    return inner_->CreateItemFromTemplate(path, folder, i);
  }
  HRESULT STDMETHODCALLTYPE CreateObject(BSTR name, IDispatch** o) override { return inner_->CreateObject(name, o); }
  HRESULT STDMETHODCALLTYPE GetNamespace(BSTR type, _NameSpace** n) override { return inner_->GetNamespace(type, n); }
  HRESULT STDMETHODCALLTYPE Quit() override { return inner_->Quit(); }

 protected:
  void* Find(REFIID riid) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID__Application)) {
      return static_cast<_Application*>(this);
    }
    return nullptr;
  }

 private:
  TComPtr<_Application> inner_;
  TComPtr<_Explorer> explorer_;
  std::wstring version_;
};

}  // namespace

TComPtr<_Application> NewHostApplication(TComPtr<_Application> standin, TComPtr<_Explorer> explorer,
                                         std::wstring version) {
  return TComPtr<_Application>(new HostApplication(std::move(standin), std::move(explorer), std::move(version)));
}

}  // namespace host
