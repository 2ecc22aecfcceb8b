// Reading the optional VARIANT arguments of the Office object model: an
// omitted argument comes as VT_ERROR with DISP_E_PARAMNOTFOUND (or empty).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace host {

bool IsOmitted(const VARIANT& v);
// The value as a 32-bit integer or boolean; false when it cannot be read.
bool ReadLong(const VARIANT& v, long fallback, long* out);
bool ReadBool(const VARIANT& v, bool fallback, bool* out);
bool ReadText(const VARIANT& v, const std::wstring& fallback, std::wstring* out);

// A BSTR copy of text for an out parameter (E_POINTER for null).
HRESULT GiveText(const std::wstring& text, BSTR* out);
// A value for an out parameter of its type (E_POINTER for null).
template <class TOut, class TValue>
HRESULT GiveValue(TValue value, TOut* out) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<TOut>(value);
  return S_OK;
}
std::wstring TextOf(BSTR text);
// "0x" and the code in eight hexadecimal digits, for the log.
std::wstring HexCode(HRESULT hr);

}  // namespace host
