// Property values as the profile keeps them: texts as UTF-8 under a
// PT_UNICODE tag, whatever width a caller asks them in.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

namespace standin {

using Bytes = std::string;  // binary values and entry identifiers

// One value: `num` for PT_LONG, PT_BOOLEAN, PT_SYSTIME and PT_I8, `data` for
// texts (UTF-8) and PT_BINARY. The type is the tag's.
struct Prop {
  ULONG tag = 0;
  LONGLONG num = 0;
  std::string data;
};

class PropBag {
 public:
  // The value with the tag's identifier when its type answers the tag's
  // (the same, PT_UNSPECIFIED, or either width for a text); else null.
  const Prop* Find(ULONG tag) const;
  void Set(Prop prop);
  void Remove(ULONG tag);
  void Reserve(size_t values) { FProps.reserve(values); }
  const std::vector<Prop>& All() const { return FProps; }

  static Prop Text(ULONG tag, std::string utf8) { return {CHANGE_PROP_TYPE(tag, PT_UNICODE), 0, std::move(utf8)}; }
  static Prop Binary(ULONG tag, Bytes bytes) { return {tag, 0, std::move(bytes)}; }
  static Prop Number(ULONG tag, LONGLONG value) { return {tag, value, {}}; }

 private:
  std::vector<Prop> FProps;
};

bool IsText(ULONG tag);

}  // namespace standin
