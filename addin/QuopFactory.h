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
  // Entries 1-8 in HKEY_CLASSES_ROOT and the Outlook add-in key, written
  // or removed, then RemoveDisable; a failure raises.
  void UpdateRegistry(bool bRegister);
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

  void UpdateClassEntries(bool bRegister);
  void UpdateAddInKey(bool bRegister);

  std::wstring FServerName;
  std::wstring FClassName;
  std::wstring FDescription;
  LONG volatile FRefCount = 0;
};
