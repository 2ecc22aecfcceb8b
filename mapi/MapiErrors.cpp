#include "mapi/MapiErrors.h"

#include <cstdio>

std::string SystemErrorText(HRESULT hr) {
  char buf[257] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, static_cast<DWORD>(hr), 0, buf, 256, nullptr);
  std::string text(buf, n > 256 ? 256 : n);
  while (!text.empty()) {
    const unsigned char c = static_cast<unsigned char>(text.back());
    if (c > ' ' && c != '.') break;
    text.pop_back();
  }
  return text;
}

void CheckForError(HRESULT hr, const std::string& text) {
  if (FAILED(hr)) throw EHeapException(text + "\r\n" + SystemErrorText(hr), hr);
}

void CheckValue(const SPropValue* value, ULONG tag, const std::string& text) {
  if (value && value->ulPropTag == tag) return;
  HRESULT hr = MAPI_E_NOT_FOUND;
  if (value && PROP_TYPE(value->ulPropTag) == PT_ERROR && FAILED(value->Value.err))
    hr = value->Value.err;
  throw EHeapException(text + "\r\n" + SystemErrorText(hr), hr);
}

namespace {

struct TErrorName {
  HRESULT hr;
  const char* name;
};

constexpr TErrorName kErrorNames[] = {
    {MAPI_E_CALL_FAILED, "MAPI_E_CALL_FAILED"},
    {MAPI_E_NOT_ENOUGH_MEMORY, "MAPI_E_NOT_ENOUGH_MEMORY"},
    {MAPI_E_INVALID_PARAMETER, "MAPI_E_INVALID_PARAMETER"},
    {MAPI_E_INTERFACE_NOT_SUPPORTED, "MAPI_E_INTERFACE_NOT_SUPPORTED"},
    {MAPI_E_NO_ACCESS, "MAPI_E_NO_ACCESS"},
    {MAPI_E_NO_SUPPORT, "MAPI_E_NO_SUPPORT"},
    {MAPI_E_BAD_CHARWIDTH, "MAPI_E_BAD_CHARWIDTH"},
    {MAPI_E_STRING_TOO_LONG, "MAPI_E_STRING_TOO_LONG"},
    {MAPI_E_UNKNOWN_FLAGS, "MAPI_E_UNKNOWN_FLAGS"},
    {MAPI_E_INVALID_ENTRYID, "MAPI_E_INVALID_ENTRYID"},
    {MAPI_E_INVALID_OBJECT, "MAPI_E_INVALID_OBJECT"},
    {MAPI_E_OBJECT_CHANGED, "MAPI_E_OBJECT_CHANGED"},
    {MAPI_E_OBJECT_DELETED, "MAPI_E_OBJECT_DELETED"},
    {MAPI_E_BUSY, "MAPI_E_BUSY"},
    {MAPI_E_NOT_ENOUGH_DISK, "MAPI_E_NOT_ENOUGH_DISK"},
    {MAPI_E_NOT_ENOUGH_RESOURCES, "MAPI_E_NOT_ENOUGH_RESOURCES"},
    {MAPI_E_NOT_FOUND, "MAPI_E_NOT_FOUND"},
    {MAPI_E_VERSION, "MAPI_E_VERSION"},
    {MAPI_E_LOGON_FAILED, "MAPI_E_LOGON_FAILED"},
    {MAPI_E_TOO_BIG, "MAPI_E_TOO_BIG"},
    {MAPI_E_UNKNOWN_ENTRYID, "MAPI_E_UNKNOWN_ENTRYID"},
    {MAPI_E_CORRUPT_DATA, "MAPI_E_CORRUPT_DATA"},
    {MAPI_E_TIMEOUT, "MAPI_E_TIMEOUT"},
    {MAPI_E_NETWORK_ERROR, "MAPI_E_NETWORK_ERROR"},
    {MAPI_E_DISK_ERROR, "MAPI_E_DISK_ERROR"},
    {MAPI_E_END_OF_SESSION, "MAPI_E_END_OF_SESSION"},
    {MAPI_E_NOT_INITIALIZED, "MAPI_E_NOT_INITIALIZED"},
    {MAPI_E_TABLE_TOO_BIG, "MAPI_E_TABLE_TOO_BIG"},
    {MAPI_E_TOO_COMPLEX, "MAPI_E_TOO_COMPLEX"},
    {MAPI_E_USER_CANCEL, "MAPI_E_USER_CANCEL"},
    {E_UNEXPECTED, "E_UNEXPECTED"},
    {MAPI_W_PARTIAL_COMPLETION, "MAPI_W_PARTIAL_COMPLETION"},
};

}  // namespace

std::string MapiErrorName(HRESULT hr) {
  for (const TErrorName& e : kErrorNames)
    if (e.hr == hr) return e.name;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::string FailureReason(const std::exception& e) {
  const std::string text = e.what();
  return text.substr(0, text.find("\r\n"));
}
