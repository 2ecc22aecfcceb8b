#include "tests/addin/ServerLibrary.h"

#include <vector>

namespace {

using TRegistrationExport = HRESULT(WINAPI*)();
using TInstallExport = HRESULT(WINAPI*)(BOOL, PCWSTR);
using TGetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

std::wstring ModuleFileName(HMODULE module) {
  std::vector<wchar_t> buffer(32768);
  const DWORD nLength = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), nLength);
}

template <class TFunction>
TFunction As(FARPROC proc) {
  return reinterpret_cast<TFunction>(reinterpret_cast<void*>(proc));
}

}  // namespace

std::wstring BuiltServerPath() {
  std::wstring strPath = ModuleFileName(nullptr);
  strPath.resize(strPath.find_last_of(L'\\') + 1);
  return strPath + L"QuopDuplicate.dll";
}

std::wstring LongPath(const std::wstring& strPath) {
  std::vector<wchar_t> buffer(32768);
  const DWORD nLength = GetLongPathNameW(strPath.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  return nLength == 0 ? strPath : std::wstring(buffer.data(), nLength);
}

std::wstring ShortPath(const std::wstring& strPath) {
  std::vector<wchar_t> buffer(32768);
  const DWORD nLength = GetShortPathNameW(strPath.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  return nLength == 0 ? strPath : std::wstring(buffer.data(), nLength);
}

TServerLibrary::TServerLibrary(const std::wstring& strPath) : FModule(LoadLibraryW(strPath.c_str())) {}

TServerLibrary::~TServerLibrary() {
  if (FModule != nullptr) FreeLibrary(FModule);
}

std::wstring TServerLibrary::LoadedPath() const { return ModuleFileName(FModule); }

FARPROC TServerLibrary::Export(const char* szName) const {
  return FModule == nullptr ? nullptr : GetProcAddress(FModule, szName);
}

HRESULT TServerLibrary::Register() const {
  const auto function = As<TRegistrationExport>(Export("DllRegisterServer"));
  return function ? function() : E_NOTIMPL;
}

HRESULT TServerLibrary::Install(bool bInstall, const wchar_t* szCommandLine) const {
  const auto function = As<TInstallExport>(Export("DllInstall"));
  return function ? function(bInstall, szCommandLine) : E_NOTIMPL;
}

HRESULT TServerLibrary::Unregister() const {
  const auto function = As<TRegistrationExport>(Export("DllUnregisterServer"));
  return function ? function() : E_NOTIMPL;
}

HRESULT TServerLibrary::CanUnloadNow() const {
  const auto function = As<TRegistrationExport>(Export("DllCanUnloadNow"));
  return function ? function() : E_NOTIMPL;
}

HRESULT TServerLibrary::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const {
  const auto function = As<TGetClassObject>(Export("DllGetClassObject"));
  return function ? function(clsid, iid, ppv) : E_NOTIMPL;
}

TServerCopy::TServerCopy(const std::wstring& strFolderName) {
  wchar_t szTemp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, szTemp);
  FFolder = LongPath(szTemp) ;
  if (!FFolder.empty() && FFolder.back() != L'\\') FFolder += L'\\';
  FFolder += strFolderName;
  FPath = FFolder + L"\\QuopDuplicate.dll";
  CreateDirectoryW(FFolder.c_str(), nullptr);
  FMade = CopyFileW(BuiltServerPath().c_str(), FPath.c_str(), FALSE) != FALSE;
}

TServerCopy::~TServerCopy() {
  DeleteFileW(FPath.c_str());
  RemoveDirectoryW(FFolder.c_str());
}

DWORD RunProgram(const std::wstring& strCommandLine) {
  std::wstring strLine = strCommandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, strLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return ~0u;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD nExitCode = ~0u;
  GetExitCodeProcess(process.hProcess, &nExitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return nExitCode;
}
