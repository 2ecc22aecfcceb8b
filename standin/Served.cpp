#include "standin/Served.h"

#include <cstring>

#include "standin/Text.h"

namespace standin {

bool ServedValue::IsVariable() const {
  const ULONG type = PROP_TYPE(tag);
  return type == PT_STRING8 || type == PT_UNICODE || type == PT_BINARY;
}

ULONG ServedType(ULONG kept, ULONG wanted, bool unicode) {
  if (!IsText(kept)) return PROP_TYPE(kept);
  if (IsText(wanted)) return PROP_TYPE(wanted);
  return unicode ? PT_UNICODE : PT_STRING8;
}

namespace {

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

ServedValue Serve(const Prop& prop, ULONG type) {
  ServedValue v;
  ServeInto(prop, type, v);
  return v;
}

// ASCII is itself in every ANSI code page and one UTF-16 unit a character:
// most texts are, and need no conversion call.
void ServeInto(const Prop& prop, ULONG type, ServedValue& v) {
  v.tag = CHANGE_PROP_TYPE(prop.tag, type);
  v.error = S_OK;
  v.num = prop.num;
  const std::string& text = prop.data;
  if (type == PT_STRING8) {
    if (IsAscii(text)) v.bytes.assign(text);
    else v.bytes = Utf8ToAnsi(text);
  } else if (type == PT_UNICODE) {
    if (IsAscii(text)) {
      v.bytes.resize(text.size() * sizeof(wchar_t));
      for (size_t i = 0; i < text.size(); ++i) {
        v.bytes[2 * i] = text[i];
        v.bytes[2 * i + 1] = '\0';
      }
    } else {
      const std::wstring wide = Utf8ToWide(text);
      v.bytes.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    }
  } else if (type == PT_BINARY) {
    v.bytes.assign(text);
  } else {
    v.bytes.clear();
  }
}

ServedValue ErrorServed(ULONG tag, SCODE error) {
  ServedValue v;
  v.tag = PROP_TAG(PT_ERROR, PROP_ID(tag));
  v.error = error;
  return v;
}

void CutTo(ServedValue& value, size_t units) {
  if (!value.IsVariable()) return;
  const size_t unitSize = PROP_TYPE(value.tag) == PT_UNICODE ? sizeof(wchar_t) : 1;
  if (value.bytes.size() > units * unitSize) value.bytes.resize(units * unitSize);
}

size_t ServedRoom(const ServedValue& value) {
  const ULONG type = PROP_TYPE(value.tag);
  if (type != PT_STRING8 && type != PT_UNICODE && type != PT_BINARY) return 0;
  const size_t terminated = value.bytes.size() + (type == PT_UNICODE ? sizeof(wchar_t) : 1);
  return (terminated + 7) / 8 * 8;
}

void CopyServed(Buffer& owner, const ServedValue& value, SPropValue& out) {
  const size_t room = ServedRoom(value);
  char* at = room != 0 ? static_cast<char*>(owner.More(static_cast<ULONG>(room))) : nullptr;
  CopyServed(at, value, out);
}

void CopyServed(char*& room, const ServedValue& value, SPropValue& out) {
  out.ulPropTag = value.tag;
  out.dwAlignPad = 0;
  const size_t n = value.bytes.size();
  char* const at = room;
  room += ServedRoom(value);
  switch (PROP_TYPE(value.tag)) {
    case PT_LONG:
      out.Value.l = static_cast<LONG>(value.num);
      break;
    case PT_BOOLEAN:
      out.Value.b = value.num != 0 ? 1 : 0;
      break;
    case PT_SYSTIME:
      out.Value.ft.dwLowDateTime = static_cast<DWORD>(value.num & 0xFFFFFFFF);
      out.Value.ft.dwHighDateTime = static_cast<DWORD>(static_cast<ULONGLONG>(value.num) >> 32);
      break;
    case PT_I8:
      out.Value.li.QuadPart = value.num;
      break;
    case PT_STRING8:
      std::memcpy(at, value.bytes.data(), n);
      at[n] = '\0';
      out.Value.lpszA = at;
      break;
    case PT_UNICODE: {
      auto* text = reinterpret_cast<wchar_t*>(at);
      std::memcpy(text, value.bytes.data(), n);
      text[n / sizeof(wchar_t)] = L'\0';
      out.Value.lpszW = text;
      break;
    }
    case PT_BINARY:
      std::memcpy(at, value.bytes.data(), n);
      at[n] = '\0';
      out.Value.bin.cb = static_cast<ULONG>(n);
      out.Value.bin.lpb = reinterpret_cast<LPBYTE>(at);
      break;
    case PT_ERROR:
      ErrorValue(value.tag, value.error, out);
      break;
    default:
      ErrorValue(value.tag, MAPI_E_NOT_FOUND, out);
  }
}

void ErrorValue(ULONG tag, SCODE error, SPropValue& out) {
  out.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tag));
  out.dwAlignPad = 0;
  out.Value.err = error;
}

bool SameValue(const Prop& prop, const SPropValue& value) {
  const ULONG type = PROP_TYPE(value.ulPropTag);
  if (IsText(prop.tag)) {
    if (type == PT_STRING8) return value.Value.lpszA != nullptr && Utf8ToAnsi(prop.data) == value.Value.lpszA;
    if (type == PT_UNICODE) return value.Value.lpszW != nullptr && Utf8ToWide(prop.data) == value.Value.lpszW;
    return false;
  }
  if (PROP_TYPE(prop.tag) != type) return false;
  switch (type) {
    case PT_LONG: return prop.num == value.Value.l;
    case PT_BOOLEAN: return (prop.num != 0) == (value.Value.b != 0);
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
