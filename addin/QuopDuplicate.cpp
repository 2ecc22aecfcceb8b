// The four exports of QuopDuplicate.dll, the in-process server of the
// add-in. Registration happens only here, never when the library loads.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "addin/ComBoundary.h"
#include "addin/ComServer.h"
#include "addin/MainThread.h"
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

// A registration that fails part-way stops there and answers E_FAIL, with
// the failure in the debug output (regsvr32 shows only the code).
HRESULT UpdateServerRegistry(const char* where, bool bRegister) {
  return comserver::Guarded(where, E_FAIL, [bRegister] {
    if (bRegister) {
      RegisterTypeLibrary();
    } else {
      UnregisterTypeLibrary();
    }
    TQuopFactory::Instance().UpdateRegistry(bRegister);
    return S_OK;
  });
}

}  // namespace

STDAPI DllUnregisterServer() { return UpdateServerRegistry("DllUnregisterServer", false); }

STDAPI DllRegisterServer() { return UpdateServerRegistry("DllRegisterServer", true); }

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
