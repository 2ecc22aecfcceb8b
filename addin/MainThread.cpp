#include "addin/MainThread.h"

#include <objbase.h>

#include <memory>
#include <thread>

#include "addin/ComServer.h"
#include "support/ComPtr.h"
#include "ui/uMainDlg.h"

std::atomic<bool> g_bMainDlgOpen{false};

namespace {

std::atomic<long> g_Running{0};

// The library's manifest (resource 2) active on the finder thread, so the
// window's controls get visual styles inside the host.
class TManifestScope {
 public:
  TManifestScope() {
    ACTCTXA context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = comserver::Module();
    context.lpResourceName = MAKEINTRESOURCEA(2);
    FContext = context.hModule ? CreateActCtxA(&context) : INVALID_HANDLE_VALUE;
    if (FContext != INVALID_HANDLE_VALUE && !ActivateActCtx(FContext, &FCookie)) FCookie = 0;
  }
  ~TManifestScope() {
    if (FCookie) DeactivateActCtx(0, FCookie);
    if (FContext != INVALID_HANDLE_VALUE) ReleaseActCtx(FContext);
  }
  TManifestScope(const TManifestScope&) = delete;
  TManifestScope& operator=(const TManifestScope&) = delete;

 private:
  HANDLE FContext;
  ULONG_PTR FCookie = 0;
};

void Execute(IStream* marshalled) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const TManifestScope manifest;
  TComPtr<IDispatch> app;
  if (marshalled) CoGetInterfaceAndReleaseStream(marshalled, IID_IDispatch, reinterpret_cast<void**>(&app));
  // The test and the set are one step, so two quick clicks open one window.
  bool expected = false;
  if (g_bMainDlgOpen.compare_exchange_strong(expected, true)) {
    try {
      auto dlg = std::make_unique<TMainDlg>();
      if (dlg->Create()) {
        if (app) dlg->SetIDspApp(om::AsApplication(app.Get()).Get());
        dlg->ShowModal();
      }
    } catch (...) {
      // A window that cannot be made or run shows nothing.
    }
    g_bMainDlgOpen.store(false);
  }
  app.Reset();
  if (SUCCEEDED(init)) CoUninitialize();
}

}  // namespace

void TMainThread::Start(IDispatch* m_IDspApp) {
  IStream* marshalled = nullptr;
  if (m_IDspApp) CoMarshalInterThreadInterfaceInStream(IID_IDispatch, m_IDspApp, &marshalled);
  // The thread keeps the library loaded until it has ended.
  comserver::ObjectCreated();
  ++g_Running;
  std::thread([marshalled] {
    Execute(marshalled);
    --g_Running;
    comserver::ObjectDestroyed();
  }).detach();
}

long TMainThread::Running() { return g_Running.load(); }

bool TMainThread::WaitForAll(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (g_Running.load() > 0) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    // Marshalled calls from the finder thread come back to this thread.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  return true;
}
