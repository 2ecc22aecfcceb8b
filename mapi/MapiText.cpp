#include "mapi/MapiText.h"

#include "mapi/MapiProps.h"
#include "support/Utf8Text.h"

ULONG TextTag(ULONG tag, bool unicode) {
  const ULONG type = unicode ? PT_UNICODE : PT_STRING8;  // the macro does not bracket its arguments
  return CHANGE_PROP_TYPE(tag, type);
}

bool IsTextValue(const SPropValue& value, ULONG tag) {
  const ULONG type = PROP_TYPE(value.ulPropTag);
  return PROP_ID(value.ulPropTag) == PROP_ID(tag) && (type == PT_UNICODE || type == PT_STRING8);
}

std::string TextValue(const SPropValue& value) {
  switch (PROP_TYPE(value.ulPropTag)) {
    case PT_UNICODE:
      return value.Value.lpszW ? WideToUtf8(std::wstring_view(value.Value.lpszW)) : std::string();
    case PT_STRING8:
      return value.Value.lpszA ? AnsiToUtf8(value.Value.lpszA) : std::string();
    default:
      return {};
  }
}

std::string TextOrEmpty(const SPropValue& value, ULONG tag, const std::string& what) {
  if (IsTextValue(value, tag)) return TextValue(value);
  HasValue(value, tag, what);
  return {};
}

std::string AnsiToUtf8(std::string_view text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii || text.empty()) return std::string(text);
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return WideToUtf8(wide);
}

bool IsUnicodeMask(const SPropValue& mask) {
  return HasValue(mask, PR_STORE_SUPPORT_MASK, "Could not get the store's support mask!") &&
         (mask.Value.l & STORE_UNICODE_OK) != 0;
}

bool StoreIsUnicode(IMsgStore* store) {
  return IsUnicodeMask(*GetOneProp(store, PR_STORE_SUPPORT_MASK, "Could not get the store's support mask!").Get());
}
