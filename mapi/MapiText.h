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
// A text in the system code page as UTF-8.
std::string AnsiToUtf8(std::string_view text);
// Whether the store's support mask says STORE_UNICODE_OK; false when it cannot be read.
bool StoreIsUnicode(IMsgStore* store);
