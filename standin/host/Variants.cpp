#include "standin/host/Variants.h"

#include <cwchar>

namespace host {
namespace {

// v converted to `type` in `out` (which the caller clears).
bool Convert(const VARIANT& v, VARTYPE type, VARIANT* out) {
  VariantInit(out);
  return SUCCEEDED(VariantChangeType(out, const_cast<VARIANT*>(&v), 0, type));
}

}  // namespace

bool IsOmitted(const VARIANT& v) {
  return v.vt == VT_EMPTY || (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
}

bool ReadLong(const VARIANT& v, long fallback, long* out) {
  if (IsOmitted(v)) {
    *out = fallback;
    return true;
  }
  VARIANT value;
  if (!Convert(v, VT_I4, &value)) return false;
  *out = value.lVal;
  return true;
}

bool ReadBool(const VARIANT& v, bool fallback, bool* out) {
  if (IsOmitted(v)) {
    *out = fallback;
    return true;
  }
  VARIANT value;
  if (!Convert(v, VT_BOOL, &value)) return false;
  *out = value.boolVal != VARIANT_FALSE;
  return true;
}

bool ReadText(const VARIANT& v, const std::wstring& fallback, std::wstring* out) {
  if (IsOmitted(v)) {
    *out = fallback;
    return true;
  }
  VARIANT value;
  if (!Convert(v, VT_BSTR, &value)) return false;
  *out = TextOf(value.bstrVal);
  VariantClear(&value);
  return true;
}

HRESULT GiveText(const std::wstring& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

std::wstring TextOf(BSTR text) { return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

std::wstring HexCode(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

}  // namespace host
