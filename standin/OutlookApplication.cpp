// _Application: the session and the "MAPI" namespace, and an active
// explorer (whose command bars are not served).
#include "standin/ComObject.h"
#include "standin/OutlookDefaults.h"
#include "standin/OutlookObjects.h"
#include "standin/State.h"

namespace standin {
namespace {

class Application final : public ComObject<ApplicationDefaults> {
 protected:
  bool Agile() const override { return true; }

 public:
  HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** session) override {
    if (session == nullptr) return E_POINTER;
    *session = NewNameSpace();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetNamespace(BSTR type, _NameSpace** nameSpace) override {
    if (nameSpace == nullptr) return E_POINTER;
    *nameSpace = nullptr;
    if (type == nullptr || lstrcmpiW(type, L"MAPI") != 0) return E_INVALIDARG;
    *nameSpace = NewNameSpace();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE ActiveExplorer(_Explorer** explorer) override {
    if (explorer == nullptr) return E_POINTER;
    *explorer = NewExplorer();
    return S_OK;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IDispatch, &IID__Application};
    return kInterfaces;
  }
};

class Explorer final : public ComObject<ExplorerDefaults> {
 protected:
  bool Agile() const override { return true; }

 public:
 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IDispatch, &IID__Explorer};
    return kInterfaces;
  }
};

}  // namespace

_Application* NewApplication() { return new Application(); }
_Explorer* NewExplorer() { return new Explorer(); }

}  // namespace standin
