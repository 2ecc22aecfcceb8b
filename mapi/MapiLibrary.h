// MAPI32.DLL, loaded by name on first use and freed when the module unloads.
// MAPIAllocateBuffer comes through the import library; the entry points below
// are looked up by name, as the installed mail client's MAPI provides them.
#pragma once

#include "mapi/MapiHeaders.h"

class TMapiLibrary {
 public:
  static TMapiLibrary& Instance();

  // Each answers MAPI_E_NOT_INITIALIZED when MAPI32.DLL or the entry is missing.
  HRESULT Initialize(MAPIINIT_0* init) const;
  void Uninitialize() const;
  HRESULT LogonEx(ULONG_PTR ulUIParam, LPSTR profile, LPSTR password, ULONG flags,
                  LPMAPISESSION* session) const;
  void FreeBuffer(void* buffer) const;

  TMapiLibrary(const TMapiLibrary&) = delete;
  TMapiLibrary& operator=(const TMapiLibrary&) = delete;

 private:
  TMapiLibrary();
  ~TMapiLibrary();

  HMODULE module_ = nullptr;
  LPMAPIINITIALIZE initialize_ = nullptr;
  LPMAPIUNINITIALIZE uninitialize_ = nullptr;
  LPMAPILOGONEX logonEx_ = nullptr;
  LPMAPIFREEBUFFER freeBuffer_ = nullptr;
};

// MAPIFreeBuffer of the loaded MAPI32.DLL; null is ignored.
inline void MapiFreeBuffer(void* buffer) {
  if (buffer) TMapiLibrary::Instance().FreeBuffer(buffer);
}
