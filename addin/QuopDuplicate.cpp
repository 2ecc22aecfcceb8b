// The four exports of QuopDuplicate.dll, the in-process server of the
// add-in. Registration happens only here, never when the library loads.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "addin/ComServer.h"
#include "addin/QuopFactory.h"
#include "om/OutlookCalls.h"

namespace {

using TUnRegisterTypeLib = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

ITypeLib* ServerTypeLib() {
  ITypeLib* lib = comserver::TypeLib();
  if (lib == nullptr) CheckOle(TYPE_E_CANTLOADLIBRARY, "LoadTypeLibEx");
  return lib;
}

// Registered with the module's long path; its folder, with the trailing
// separator, is the help folder.
void RegisterTypeLibrary() {
  std::wstring strFile = comserver::ServerFileName();
  std::wstring strHelpDir = strFile.substr(0, strFile.find_last_of(L"\\/") + 1);
  CheckOle(RegisterTypeLib(ServerTypeLib(), strFile.data(), strHelpDir.data()), "RegisterTypeLib");
}

// UnRegisterTypeLib is looked up, since older systems lack it; its answer
// does not matter.
void UnregisterTypeLibrary() {
  const FARPROC proc = GetProcAddress(comserver::OleAutomationLibrary(), "UnRegisterTypeLib");
  if (proc == nullptr) return;
  const auto unregister = reinterpret_cast<TUnRegisterTypeLib>(reinterpret_cast<void*>(proc));
  ITypeLib* lib = ServerTypeLib();
  TLIBATTR* attr = nullptr;
  CheckOle(lib->GetLibAttr(&attr), "GetLibAttr");
  unregister(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
  lib->ReleaseTLibAttr(attr);
}

HRESULT UpdateServerRegistry(bool bRegister) {
  try {
    if (bRegister) {
      RegisterTypeLibrary();
    } else {
      UnregisterTypeLibrary();
    }
    TQuopFactory::Instance().UpdateRegistry(bRegister);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace

STDAPI DllUnregisterServer() { return UpdateServerRegistry(false); }

STDAPI DllRegisterServer() { return UpdateServerRegistry(true); }

STDAPI DllCanUnloadNow() {
  return comserver::ObjectCount() == 0 && comserver::FactoryLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  try {
    TQuopFactory& factory = TQuopFactory::Instance();
    if (!IsEqualCLSID(rclsid, factory.ClassId())) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, ppv);
  } catch (...) {
    return E_UNEXPECTED;
  }
}
