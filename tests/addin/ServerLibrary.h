// QuopDuplicate.dll loaded into the test program by its path (the build's
// own file or a scratch copy), its exports called directly.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

// The library built next to the test program.
std::wstring BuiltServerPath();
// The long form of a path (the path itself when it has none).
std::wstring LongPath(const std::wstring& strPath);
std::wstring ShortPath(const std::wstring& strPath);

class TServerLibrary {
 public:
  explicit TServerLibrary(const std::wstring& strPath);
  ~TServerLibrary();
  TServerLibrary(const TServerLibrary&) = delete;
  TServerLibrary& operator=(const TServerLibrary&) = delete;

  bool Loaded() const { return FModule != nullptr; }
  HMODULE Module() const { return FModule; }
  // The path the system reports for the loaded library.
  std::wstring LoadedPath() const;

  HRESULT Register() const;
  HRESULT Unregister() const;
  // DllInstall with that command line (null: none).
  HRESULT Install(bool bInstall, const wchar_t* szCommandLine) const;
  // DllInstall(TRUE / FALSE, "user").
  HRESULT RegisterForUser() const { return Install(true, L"user"); }
  HRESULT UnregisterForUser() const { return Install(false, L"user"); }
  HRESULT CanUnloadNow() const;
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const;

 private:
  FARPROC Export(const char* szName) const;
  HMODULE FModule;
};

// A folder under the temporary folder holding a copy of the built library;
// both are removed afterwards (the copy must be unloaded by then).
class TServerCopy {
 public:
  explicit TServerCopy(const std::wstring& strFolderName);
  ~TServerCopy();
  TServerCopy(const TServerCopy&) = delete;
  TServerCopy& operator=(const TServerCopy&) = delete;

  bool Made() const { return FMade; }
  const std::wstring& Path() const { return FPath; }

 private:
  std::wstring FFolder;
  std::wstring FPath;
  bool FMade = false;
};

// Runs a program and answers its exit code (~0u when it cannot start).
DWORD RunProgram(const std::wstring& strCommandLine);
