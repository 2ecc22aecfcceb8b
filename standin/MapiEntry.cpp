// The Extended MAPI entry points that MAPI32.DLL forwards to the provider.
#include "standin/Buffers.h"
#include "standin/Calls.h"
#include "standin/Objects.h"
#include "standin/ProfileLoad.h"
#include "standin/State.h"
#include "standin/Text.h"

using namespace standin;

namespace {

// A logon argument for the log: with MAPI_UNICODE the pointer is to UTF-16.
std::string LogonText(LPSTR text, ULONG flags) {
  if (text == nullptr || (flags & MAPI_UNICODE) == 0) return Quoted(text);
  return Quoted(WideToUtf8(reinterpret_cast<LPCWSTR>(text)).c_str());
}

}  // namespace

extern "C" {

HRESULT WINAPI MAPIInitialize(LPVOID init) {
  auto lock = LockState();
  const auto* i = static_cast<const MAPIINIT_0*>(init);
  LogCall(i != nullptr ? "MAPIInitialize version=" + std::to_string(i->ulVersion) + " flags=" + Hex(i->ulFlags)
                       : std::string("MAPIInitialize null"));
  if (HRESULT hr = ServeCall("MAPIInitialize", "session"); FAILED(hr)) return hr;
  ++Global().initCount;
  return S_OK;
}

void WINAPI MAPIUninitialize(void) {
  auto lock = LockState();
  LogCall("MAPIUninitialize");
  if (Global().initCount > 0) --Global().initCount;
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR ui, LPSTR profile, LPSTR password, ULONG flags, LPMAPISESSION* session) {
  auto lock = LockState();
  LogCall("MAPILogonEx ui=" + Hex(static_cast<ULONG>(ui)) + " profile=" + LogonText(profile, flags) +
          " password=" + LogonText(password, flags) + " flags=" + Hex(flags));
  if (session == nullptr) return MAPI_E_INVALID_PARAMETER;
  *session = nullptr;
  if (Global().initCount == 0) return MAPI_E_NOT_INITIALIZED;
  if (FAILED(EnsureProfile())) return MAPI_E_LOGON_FAILED;
  if (HRESULT hr = ServeCall("MAPILogonEx", "session"); FAILED(hr)) return hr;
  *session = NewSession();
  return S_OK;
}

SCODE WINAPI MAPIAllocateBuffer(ULONG size, LPVOID* buffer) { return AllocateBuffer(size, buffer); }
SCODE WINAPI MAPIAllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) { return AllocateMore(size, parent, buffer); }
ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) { return FreeBuffer(buffer); }

}  // extern "C"
