#include "mapi/MapiErrors.h"

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
