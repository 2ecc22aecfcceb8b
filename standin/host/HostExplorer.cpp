// _Explorer of the host's main window: its command bars.
#include "standin/host/CommandBars.h"
#include "standin/host/OutlookObjects.h"

namespace host {
namespace {

class HostExplorer final : public HostObject<ExplorerDefaults> {
 public:
  explicit HostExplorer(HostCommandBars* bars) : bars_(TComPtr<HostCommandBars>::Share(bars)) {}

  HRESULT STDMETHODCALLTYPE get_CommandBars(_CommandBars** bars) override {
    if (bars == nullptr) return E_POINTER;
    *bars = bars_.Get();
    (*bars)->AddRef();
    return S_OK;
  }

 protected:
  void* Find(REFIID riid) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID__Explorer)) {
      return static_cast<_Explorer*>(this);
    }
    return nullptr;
  }

 private:
  TComPtr<HostCommandBars> bars_;
};

// COMAddIn-like object handed to OnConnection; add-ins hold it only.
class AddInInstance final : public HostObject<NoTypeInfo<IDispatch>> {
 public:
  explicit AddInInstance(std::wstring progId) : progId_(std::move(progId)) {}

 protected:
  void* Find(REFIID riid) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) return static_cast<IDispatch*>(this);
    return nullptr;
  }

 private:
  std::wstring progId_;
};

}  // namespace

TComPtr<_Explorer> NewHostExplorer(HostCommandBars* bars) { return TComPtr<_Explorer>(new HostExplorer(bars)); }

TComPtr<IDispatch> NewAddInInstance(const std::wstring& progId) {
  return TComPtr<IDispatch>(new AddInInstance(progId));
}

}  // namespace host
