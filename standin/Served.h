// A kept value as one call serves it: a text converted to the width the
// caller asked for, and the copy of that into MAPI memory.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>

#include "standin/Buffers.h"
#include "standin/PropBag.h"

namespace standin {

struct ServedValue {
  ULONG tag = 0;  // as it goes out; PT_ERROR for an error value
  SCODE error = S_OK;
  LONGLONG num = 0;
  // PT_STRING8: ANSI bytes, PT_UNICODE: UTF-16LE bytes, PT_BINARY: the
  // bytes; never a terminator. Its size is what the size rules count.
  std::string bytes;
  bool IsVariable() const;  // a string or binary value
};

// The type a kept value goes out as when asked with `wanted`: a text asked
// with PT_UNSPECIFIED (or listed by a null tag array) comes as PT_UNICODE
// when the caller passed MAPI_UNICODE, else as PT_STRING8.
ULONG ServedType(ULONG kept, ULONG wanted, bool unicode);
ServedValue Serve(const Prop& prop, ULONG type);
// The same into `into`, whose bytes keep their room for the next value.
void ServeInto(const Prop& prop, ULONG type, ServedValue& into);
ServedValue ErrorServed(ULONG tag, SCODE error);
// Cuts a string or binary value to `units` characters (UTF-16 units for
// PT_UNICODE) or bytes.
void CutTo(ServedValue& value, size_t units);

// Fills `out`; texts (terminated) and bytes copied into `owner`.
void CopyServed(Buffer& owner, const ServedValue& value, SPropValue& out);
// The room CopyServed takes for a value's text or bytes (8-byte multiples),
// and the same copy into room of that size at `room`, which it passes.
size_t ServedRoom(const ServedValue& value);
void CopyServed(char*& room, const ServedValue& value, SPropValue& out);
// A PT_ERROR value of the tag's identifier.
void ErrorValue(ULONG tag, SCODE error, SPropValue& out);
// Whether a kept value equals a value given by the caller (restrictions).
bool SameValue(const Prop& prop, const SPropValue& value);

}  // namespace standin
