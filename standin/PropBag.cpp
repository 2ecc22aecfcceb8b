#include "standin/PropBag.h"

#include <cstring>

namespace standin {

const Prop* PropBag::Find(ULONG tag) const {
  for (const Prop& p : FProps) {
    if (PROP_ID(p.tag) != PROP_ID(tag)) continue;
    if (PROP_TYPE(tag) == PT_UNSPECIFIED || PROP_TYPE(tag) == PROP_TYPE(p.tag)) return &p;
    return nullptr;
  }
  return nullptr;
}

void PropBag::Set(Prop prop) {
  for (Prop& p : FProps) {
    if (PROP_ID(p.tag) == PROP_ID(prop.tag)) {
      p = std::move(prop);
      return;
    }
  }
  FProps.push_back(std::move(prop));
}

void PropBag::Remove(ULONG tag) {
  std::erase_if(FProps, [tag](const Prop& p) { return PROP_ID(p.tag) == PROP_ID(tag); });
}

void CopyValue(Buffer& owner, const Prop& prop, SPropValue& out) {
  out.ulPropTag = prop.tag;
  out.dwAlignPad = 0;
  switch (PROP_TYPE(prop.tag)) {
    case PT_LONG:
      out.Value.l = static_cast<LONG>(prop.num);
      break;
    case PT_BOOLEAN:
      out.Value.b = prop.num != 0 ? 1 : 0;
      break;
    case PT_SYSTIME:
      out.Value.ft.dwLowDateTime = static_cast<DWORD>(prop.num & 0xFFFFFFFF);
      out.Value.ft.dwHighDateTime = static_cast<DWORD>(static_cast<ULONGLONG>(prop.num) >> 32);
      break;
    case PT_I8:
      out.Value.li.QuadPart = prop.num;
      break;
    case PT_STRING8:
      out.Value.lpszA = owner.CopyText(prop.data.data(), prop.data.size());
      break;
    case PT_BINARY:
      out.Value.bin.cb = static_cast<ULONG>(prop.data.size());
      out.Value.bin.lpb = reinterpret_cast<LPBYTE>(owner.CopyText(prop.data.data(), prop.data.size()));
      break;
    default:
      ErrorValue(prop.tag, MAPI_E_NOT_FOUND, out);
  }
}

void ErrorValue(ULONG tag, SCODE error, SPropValue& out) {
  out.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tag));
  out.dwAlignPad = 0;
  out.Value.err = error;
}

bool SameValue(const Prop& prop, const SPropValue& value) {
  if (PROP_TYPE(prop.tag) != PROP_TYPE(value.ulPropTag)) return false;
  switch (PROP_TYPE(prop.tag)) {
    case PT_LONG: return prop.num == value.Value.l;
    case PT_BOOLEAN: return (prop.num != 0) == (value.Value.b != 0);
    case PT_STRING8: return value.Value.lpszA != nullptr && prop.data == value.Value.lpszA;
    case PT_BINARY:
      return prop.data.size() == value.Value.bin.cb &&
             std::memcmp(prop.data.data(), value.Value.bin.lpb, value.Value.bin.cb) == 0;
    case PT_SYSTIME: {
      ULONGLONG ft = (static_cast<ULONGLONG>(value.Value.ft.dwHighDateTime) << 32) | value.Value.ft.dwLowDateTime;
      return static_cast<ULONGLONG>(prop.num) == ft;
    }
    default: return false;
  }
}

}  // namespace standin
