// Texts read from a store. A store that keeps Unicode (STORE_UNICODE_OK) is
// asked for PT_UNICODE, any other for PT_STRING8 in the system code page;
// either way the text travels on as UTF-8. Asking a Unicode store for
// PT_STRING8 would turn every character the code page lacks into '?', and
// two different subjects could then compare equal.
#pragma once

#include <string>
#include <string_view>

#include "mapi/MapiHeaders.h"

// The tag of a text property with the type the store wants.
ULONG TextTag(ULONG tag, bool unicode);
// Whether the value is a text of the tag's identifier (either width).
bool IsTextValue(const SPropValue& value, ULONG tag);
// The text of a PT_UNICODE or PT_STRING8 value as UTF-8; "" for anything else.
std::string TextValue(const SPropValue& value);
// The text of a value asked for as `tag` (either width): "" when the object
// lacks it; any other error value raises with `what` (see HasValue).
std::string TextOrEmpty(const SPropValue& value, ULONG tag, const std::string& what);
// A text in the system code page as UTF-8.
std::string AnsiToUtf8(std::string_view text);
// Whether a store's PR_STORE_SUPPORT_MASK says STORE_UNICODE_OK; a store
// without a mask keeps 8-bit texts. A mask that cannot be read raises:
// taken for 8-bit, a Unicode store's texts would turn into '?'.
bool IsUnicodeMask(const SPropValue& mask);
bool StoreIsUnicode(IMsgStore* store);
