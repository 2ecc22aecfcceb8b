// The five exports of QuopDuplicate.dll, the in-process server of the
// add-in. Registration happens only here, never when the library loads:
// for the machine through DllRegisterServer and DllUnregisterServer, for
// the current user alone through DllInstall ("regsvr32 /n /i:user").
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <optional>

#include "addin/ComBoundary.h"
#include "addin/ComServer.h"
#include "addin/MainThread.h"
#include "addin/QuopFactory.h"
#include "addin/RegKey.h"
#include "om/OutlookCalls.h"

namespace {

using TUnRegisterTypeLib = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
using TRegisterTypeLib = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);

const wchar_t kUserInstallCommand[] = L"user";

ITypeLib* ServerTypeLib() {
  ITypeLib* lib = comserver::TypeLib();
  if (lib == nullptr) CheckOle(TYPE_E_CANTLOADLIBRARY, "LoadTypeLibEx");
  return lib;
}

template <class TProc>
TProc OleAutomationProc(const char* szName) {
  return reinterpret_cast<TProc>(
      reinterpret_cast<void*>(GetProcAddress(comserver::OleAutomationLibrary(), szName)));
}

// While it lives, HKEY_CLASSES_ROOT of this process is the current user's
// Software\Classes (RegOverridePredefKey), so a type library registration
// lands there even where the per-user call falls back to the machine-wide
// one (Windows XP has no per-user call; Wine's registers system-wide).
class TUserClassesRoot {
 public:
  TUserClassesRoot() {
    const TRegKey key = CreateRegKey(HKEY_CURRENT_USER, L"Software\\Classes", KEY_ALL_ACCESS);
    const LONG nResult = key ? RegOverridePredefKey(HKEY_CLASSES_ROOT, key.Get()) : ERROR_ACCESS_DENIED;
    if (nResult != ERROR_SUCCESS) CheckOle(HRESULT_FROM_WIN32(nResult), "RegOverridePredefKey");
  }
  ~TUserClassesRoot() { RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr); }
  TUserClassesRoot(const TUserClassesRoot&) = delete;
  TUserClassesRoot& operator=(const TUserClassesRoot&) = delete;
};

// Registered with the module's long path; its folder, with the trailing
// separator, is the help folder. For the user through
// RegisterTypeLibForUser (Windows Vista on) where there is one.
void RegisterTypeLibrary(bool bForUser) {
  std::wstring strFile = comserver::ServerFileName();
  std::wstring strHelpDir = strFile.substr(0, strFile.find_last_of(L"\\/") + 1);
  if (!bForUser) {
    CheckOle(RegisterTypeLib(ServerTypeLib(), strFile.data(), strHelpDir.data()), "RegisterTypeLib");
    return;
  }
  const TUserClassesRoot userRoot;
  const auto registerForUser = OleAutomationProc<TRegisterTypeLib>("RegisterTypeLibForUser");
  CheckOle((registerForUser ? registerForUser : &RegisterTypeLib)(ServerTypeLib(), strFile.data(), strHelpDir.data()),
           "RegisterTypeLibForUser");
}

// UnRegisterTypeLib(ForUser) is looked up, since older systems lack it; its
// answer does not matter.
void UnregisterTypeLibrary(bool bForUser) {
  std::optional<TUserClassesRoot> userRoot;
  if (bForUser) userRoot.emplace();
  auto unregister = bForUser ? OleAutomationProc<TUnRegisterTypeLib>("UnRegisterTypeLibForUser") : nullptr;
  if (unregister == nullptr) unregister = OleAutomationProc<TUnRegisterTypeLib>("UnRegisterTypeLib");
  if (unregister == nullptr) return;
  ITypeLib* lib = ServerTypeLib();
  TLIBATTR* attr = nullptr;
  CheckOle(lib->GetLibAttr(&attr), "GetLibAttr");
  unregister(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
  lib->ReleaseTLibAttr(attr);
}

// A registration that fails part-way stops there and answers E_FAIL, with
// the failure in the debug output (regsvr32 shows only the code).
HRESULT UpdateServerRegistry(const char* where, bool bRegister, const TRegistryScope& scope) {
  return comserver::Guarded(where, E_FAIL, [bRegister, &scope] {
    const bool bForUser = &scope == &kUserScope;
    if (bRegister) {
      RegisterTypeLibrary(bForUser);
    } else {
      UnregisterTypeLibrary(bForUser);
    }
    TQuopFactory::Instance().UpdateRegistry(bRegister, scope);
    return S_OK;
  });
}

}  // namespace

STDAPI DllUnregisterServer() { return UpdateServerRegistry("DllUnregisterServer", false, kMachineScope); }

STDAPI DllRegisterServer() { return UpdateServerRegistry("DllRegisterServer", true, kMachineScope); }

// "regsvr32 /n /i:user" registers for the current user, "/u /n /i:user"
// unregisters; any other command line is refused.
STDAPI DllInstall(BOOL bInstall, PCWSTR pszCmdLine) {
  if (pszCmdLine == nullptr || lstrcmpiW(pszCmdLine, kUserInstallCommand) != 0) return E_INVALIDARG;
  return UpdateServerRegistry("DllInstall", bInstall != FALSE, kUserScope);
}

// COM unloads the library once this says S_OK: not while an object of the
// server lives, the factory is referenced or locked, or a finder thread
// still runs (its window may be open after the add-in has gone).
STDAPI DllCanUnloadNow() {
  const bool bIdle = comserver::ObjectCount() == 0 && comserver::FactoryLockCount() == 0 && !TMainThread::Running();
  return bIdle ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  // The factory is made on first demand, reading its names from the type
  // library: that can throw.
  return comserver::Guarded("DllGetClassObject", E_UNEXPECTED, [&] {
    TQuopFactory& factory = TQuopFactory::Instance();
    if (!IsEqualCLSID(rclsid, factory.ClassId())) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, ppv);
  });
}
