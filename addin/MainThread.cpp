#include "addin/MainThread.h"

#include <objbase.h>

#include <memory>
#include <mutex>
#include <system_error>

#include "addin/ComBoundary.h"
#include "addin/ComServer.h"
#include "support/ComPtr.h"
#include "support/WinHandles.h"
#include "ui/uMainDlg.h"

namespace {

const char kWhere[] = "finder window";

using TThreadHandle = TKernelHandle;

// The Application marshalled for the finder thread. Until the thread takes
// the stream over, the marshalled reference goes back with it, or Outlook's
// Application would stay referenced.
struct TMarshalledTraits {
  static void Free(IStream* stream) {
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);  // the marshalled data begins there
    CoReleaseMarshalData(stream);
    stream->Release();
  }
};
using TMarshalled = TUniqueHandle<IStream*, TMarshalledTraits>;

// A lock that needs nothing of the C++ thread library: DllCanUnloadNow may
// be asked on any thread, even one that is ending.
class TLock {
 public:
  TLock() { InitializeCriticalSection(&FSection); }
  ~TLock() { DeleteCriticalSection(&FSection); }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;
  void lock() { EnterCriticalSection(&FSection); }
  void unlock() { LeaveCriticalSection(&FSection); }

 private:
  CRITICAL_SECTION FSection;
};

// The last finder thread started. DllCanUnloadNow asks on any thread, so
// every look goes through the lock.
TLock g_lock;
TThreadHandle g_thread;

bool Ended(HANDLE thread) { return thread == nullptr || WaitForSingleObject(thread, 0) != WAIT_TIMEOUT; }

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

// Empty when there is no Application; one that cannot be marshalled is
// named, and the window opens without Outlook's folders.
TMarshalled Marshal(IDispatch* application) {
  if (!application) return {};
  IStream* stream = nullptr;
  const HRESULT hr = CoMarshalInterThreadInterfaceInStream(IID_IDispatch, application, &stream);
  if (FAILED(hr)) comserver::ReportCode(kWhere, "CoMarshalInterThreadInterfaceInStream", hr);
  return TMarshalled(SUCCEEDED(hr) ? stream : nullptr);
}

// A reference on this library, taken for the finder thread and given back
// as the thread's last act. A host that unloads the library without asking
// DllCanUnloadNow (Outlook ending its apartment while the window is open)
// cannot take the code from under the thread.
HMODULE TakeLibraryReference() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(comserver::Module()),
                          &module)) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "GetModuleHandleEx");
  }
  return module;
}

// Unmarshals the Application (the stream goes either way) and runs the
// window until it is closed.
void ShowFinder(IStream* marshalled) {
  TComPtr<IDispatch> app;
  if (marshalled) {
    const HRESULT hr = CoGetInterfaceAndReleaseStream(marshalled, IID_IDispatch, reinterpret_cast<void**>(&app));
    if (FAILED(hr)) comserver::ReportCode(kWhere, "CoGetInterfaceAndReleaseStream", hr);
  }
  auto dlg = std::make_unique<TMainDlg>();
  if (!dlg->Create()) {
    comserver::ReportFailure(kWhere, "the window could not be created");
    return;
  }
  if (app) dlg->SetIDspApp(om::AsApplication(app.Get()).Get());
  dlg->ShowModal();
}

void RunFinder(IStream* marshalled) noexcept {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const TManifestScope manifest;
  try {
    ShowFinder(marshalled);
  } catch (...) {
    comserver::ReportException(kWhere);
  }
  if (SUCCEEDED(init)) CoUninitialize();
}

DWORD WINAPI FinderThread(void* marshalled) {
  RunFinder(static_cast<IStream*>(marshalled));
  // Nothing of this library runs after this call: kernel32 gives back the
  // thread's reference and ends the thread.
  FreeLibraryAndExitThread(comserver::Module(), 0);
}

}  // namespace

bool TMainThread::Start(IDispatch* application) {
  const std::lock_guard<TLock> lock(g_lock);
  if (!Ended(g_thread.Get())) return false;
  TMarshalled marshalled = Marshal(application);
  TModuleHandle reference(TakeLibraryReference());
  const HANDLE thread = CreateThread(nullptr, 0, FinderThread, marshalled.Get(), 0, nullptr);
  if (thread == nullptr) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateThread");
  }
  // The thread owns the stream and the reference now.
  marshalled.Release();
  reference.Release();
  g_thread.Reset(thread);
  return true;
}

bool TMainThread::Running() {
  const std::lock_guard<TLock> lock(g_lock);
  return !Ended(g_thread.Get());
}
