// Large text and binary properties read through OpenProperty(IID_IStream) in chunks,
// for values a store will not hand out through GetProps (PT_ERROR with
// MAPI_E_NOT_ENOUGH_MEMORY). The text arrives as UTF-8 pieces, so a 100 MB
// body never has to be held whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "mapi/MapiHeaders.h"

// Whether a GetProps slot says "too large for this call, open it as a stream".
bool IsTooLargeValue(const SPropValue& value);

// Reads text property `tag` (PT_UNICODE or PT_STRING8) of `prop` through a
// stream and hands its UTF-8 on in pieces; the text ends at its first zero
// character, as a text read through GetProps does. `sink` returns false to
// stop early. A failed open or read raises EHeapException with `what`.
void ReadTextStream(IMAPIProp* prop, ULONG tag, const std::string& what,
                    const std::function<bool(std::string_view)>& sink);

// Reads binary property `tag` of `prop` through a stream and hands its bytes
// on in pieces, unchanged; `sink` returns false to stop early. A failed open
// or read raises EHeapException with `what`.
void ReadBytesStream(IMAPIProp* prop, ULONG tag, const std::string& what,
                     const std::function<bool(std::string_view)>& sink);

// The whole text, for values that must be compared whole (To, Cc, ...).
std::string ReadTextStream(IMAPIProp* prop, ULONG tag, const std::string& what);
