#include "mapi/MapiLibrary.h"

namespace {

template <typename TFn>
TFn Entry(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

TMapiLibrary& TMapiLibrary::Instance() {
  static TMapiLibrary library;
  return library;
}

TMapiLibrary::TMapiLibrary() : module_(LoadLibraryA("MAPI32.DLL")) {
  initialize_ = Entry<LPMAPIINITIALIZE>(module_, "MAPIInitialize");
  uninitialize_ = Entry<LPMAPIUNINITIALIZE>(module_, "MAPIUninitialize");
  logonEx_ = Entry<LPMAPILOGONEX>(module_, "MAPILogonEx");
  freeBuffer_ = Entry<LPMAPIFREEBUFFER>(module_, "MAPIFreeBuffer");
}

TMapiLibrary::~TMapiLibrary() {
  if (module_) FreeLibrary(module_);
}

HRESULT TMapiLibrary::Initialize(MAPIINIT_0* init) const {
  return initialize_ ? initialize_(init) : MAPI_E_NOT_INITIALIZED;
}

void TMapiLibrary::Uninitialize() const {
  if (uninitialize_) uninitialize_();
}

HRESULT TMapiLibrary::LogonEx(ULONG_PTR ulUIParam, LPSTR profile, LPSTR password, ULONG flags,
                              LPMAPISESSION* session) const {
  return logonEx_ ? logonEx_(ulUIParam, profile, password, flags, session)
                  : MAPI_E_NOT_INITIALIZED;
}

void TMapiLibrary::FreeBuffer(void* buffer) const {
  if (freeBuffer_) freeBuffer_(buffer);
}
