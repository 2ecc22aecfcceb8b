#include "addin/ComServer.h"

#include <atomic>

#include "addin/QuopDuplicate_TLB.h"
#include "support/ComPtr.h"
#include "support/ModuleFolder.h"
#include "support/WinHandles.h"

namespace comserver {
namespace {

LONG volatile g_nObjects = 0;
LONG volatile g_nFactoryLocks = 0;

// The published type library: set once with an interlocked exchange, the
// reference given back when the library is unloaded.
class TPublishedTypeLib {
 public:
  ~TPublishedTypeLib() {
    if (ITypeLib* lib = FLib.exchange(nullptr)) lib->Release();
  }
  ITypeLib* Get() const { return FLib.load(); }
  // Takes over `lib` unless another thread was first; answers the one kept.
  ITypeLib* Publish(TComPtr<ITypeLib> lib) {
    ITypeLib* expected = nullptr;
    if (FLib.compare_exchange_strong(expected, lib.Get())) return lib.Detach();
    return expected;
  }

 private:
  std::atomic<ITypeLib*> FLib{nullptr};
};

TPublishedTypeLib g_typeLib;

std::wstring ModuleFileNameW(HMODULE module) {
  std::wstring strName(MAX_PATH, L'\0');
  for (;;) {
    const DWORD nLength = GetModuleFileNameW(module, strName.data(), static_cast<DWORD>(strName.size()));
    if (nLength == 0) return {};
    if (nLength < strName.size()) {
      strName.resize(nLength);
      return strName;
    }
    strName.resize(strName.size() * 2);
  }
}

// The other form of a path (long or short, by `convert`: GetLongPathNameW
// or GetShortPathNameW); the path as it is when there is none.
std::wstring PathForm(const std::wstring& strPath, DWORD(WINAPI* convert)(LPCWSTR, LPWSTR, DWORD)) {
  if (strPath.empty()) return strPath;
  const DWORD nLength = convert(strPath.c_str(), nullptr, 0);
  if (nLength == 0) return strPath;
  std::wstring strForm(nLength, L'\0');
  const DWORD nWritten = convert(strPath.c_str(), strForm.data(), nLength);
  if (nWritten == 0 || nWritten >= nLength) return strPath;
  strForm.resize(nWritten);
  return strForm;
}

}  // namespace

void ObjectCreated() { InterlockedIncrement(&g_nObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_nObjects); }
long ObjectCount() { return InterlockedCompareExchange(&g_nObjects, 0, 0); }

void FactoryLocked() { InterlockedIncrement(&g_nFactoryLocks); }
void FactoryUnlocked() { InterlockedDecrement(&g_nFactoryLocks); }
long FactoryLockCount() { return InterlockedCompareExchange(&g_nFactoryLocks, 0, 0); }

HMODULE Module() { return OwnModule(); }

std::wstring ServerFileName() { return PathForm(ModuleFileNameW(Module()), GetLongPathNameW); }

std::wstring ShortServerFileName() { return PathForm(ServerFileName(), GetShortPathNameW); }

HMODULE OleAutomationLibrary() {
  static const TModuleHandle library = [] {
    const UINT nOldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    TModuleHandle loaded(LoadLibraryW(L"OLEAUT32.DLL"));
    SetErrorMode(nOldMode);
    return loaded;
  }();
  return library.Get();
}

ITypeLib* TypeLib() {
  if (ITypeLib* lib = g_typeLib.Get()) return lib;
  const std::wstring strFile = ModuleFileNameW(Module());
  if (strFile.empty()) return nullptr;
  TComPtr<ITypeLib> loaded;
  if (FAILED(LoadTypeLibEx(strFile.c_str(), REGKIND_NONE, &loaded)) || !loaded) return nullptr;
  return g_typeLib.Publish(std::move(loaded));
}

ITypeInfo* AddInDispatchInfo() {
  // Looked up once; the type library keeps the information alive, and the
  // holder gives the reference back at unload.
  static const TComPtr<ITypeInfo> info = [] {
    TComPtr<ITypeInfo> result;
    if (ITypeLib* lib = TypeLib()) lib->GetTypeInfoOfGuid(IID_ITAddIn, &result);
    return result;
  }();
  return info.Get();
}

}  // namespace comserver
