// Property values as the profile keeps them, and their copies into MAPI
// buffers for GetProps and table rows.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

#include "standin/Buffers.h"

namespace standin {

using Bytes = std::string;  // binary values and entry identifiers

// One value: `num` for PT_LONG, PT_BOOLEAN, PT_SYSTIME and PT_I8, `data` for
// PT_STRING8 and PT_BINARY. The type is the tag's.
struct Prop {
  ULONG tag = 0;
  LONGLONG num = 0;
  std::string data;
};

class PropBag {
 public:
  // The value with the tag's identifier and type; null when absent.
  const Prop* Find(ULONG tag) const;
  void Set(Prop prop);
  void Remove(ULONG tag);
  const std::vector<Prop>& All() const { return FProps; }

  static Prop Text(ULONG tag, std::string text) { return {tag, 0, std::move(text)}; }
  static Prop Binary(ULONG tag, Bytes bytes) { return {tag, 0, std::move(bytes)}; }
  static Prop Number(ULONG tag, LONGLONG value) { return {tag, value, {}}; }

 private:
  std::vector<Prop> FProps;
};

// Fills `out` with `prop`, texts and bytes copied into `owner`.
void CopyValue(Buffer& owner, const Prop& prop, SPropValue& out);
// A PT_ERROR value of the tag's identifier.
void ErrorValue(ULONG tag, SCODE error, SPropValue& out);
// Whether a stored value equals a value given by the caller (restrictions).
bool SameValue(const Prop& prop, const SPropValue& value);

}  // namespace standin
