// The class factory of the add-in object: an automation class factory for
// TAddIn (multiple instances, apartment threaded) whose class name and
// description come from the coclass in the library's type library. It
// also writes and removes the class's registry entries and clears this
// library's entries from Outlook's disabled-items lists.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <stdexcept>
#include <string>

// A registry update that failed; what() is the message.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a registration goes. The same entries are written for the machine
// (DllRegisterServer) and for the current user alone (DllInstall "user"),
// which needs no administrator rights.
struct TRegistryScope {
  HKEY classesRoot;             // the class and ProgID keys go below
  const wchar_t* szClassesKey;  // this key of classesRoot ("" : the root itself)
  HKEY addInRoot;               // Software\Microsoft\Office\Outlook\Addins\<ProgID>
  bool bAddInKeyRequired;       // false: left out without rights on it
};
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE.
extern const TRegistryScope kMachineScope;
// HKEY_CURRENT_USER\Software\Classes and HKEY_CURRENT_USER.
extern const TRegistryScope kUserScope;

// One instance, made on first demand and kept until the library is
// unloaded; its references count as factory references of the server.
class TQuopFactory final : public IClassFactory {
 public:
  static TQuopFactory& Instance();

  const CLSID& ClassId() const;
  // "AddIn" and "QuopDuplicate TAddIn Object   " as the coclass gives them.
  const std::wstring& ClassName() const { return FClassName; }
  const std::wstring& Description() const { return FDescription; }
  // The server name (the type library's name), "." and the class name.
  std::wstring ProgId() const;
  // Entries 1-8 below the scope's classes key and the Outlook add-in key,
  // written or removed, then RemoveDisable; a failure raises.
  void UpdateRegistry(bool bRegister, const TRegistryScope& scope);
  // Deletes the values of the current user's Outlook disabled-items lists
  // (Office 0.0 to 20.0) that name this library; an unreadable value
  // raises ERegistryException.
  void RemoveDisable();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IClassFactory
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL bLock) override;

 private:
  TQuopFactory();
  TQuopFactory(const TQuopFactory&) = delete;
  TQuopFactory& operator=(const TQuopFactory&) = delete;
  virtual ~TQuopFactory() = default;

  void UpdateClassEntries(bool bRegister, const TRegistryScope& scope);
  void UpdateAddInKey(bool bRegister, const TRegistryScope& scope);

  std::wstring FServerName;
  std::wstring FClassName;
  std::wstring FDescription;
  LONG volatile FRefCount = 0;
};
