#include "mapi/EntryIDText.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EntryIDToText(const void* data, std::size_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  if (!data) return text;
  const auto* p = static_cast<const unsigned char*>(data);
  text.resize(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    text[2 * i] = kDigits[p[i] >> 4];
    text[2 * i + 1] = kDigits[p[i] & 0xF];
  }
  return text;
}

std::vector<unsigned char> TextToEntryID(std::string_view text) {
  std::vector<unsigned char> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    bytes.push_back(static_cast<unsigned char>(hi << 4 | lo));
  }
  return bytes;
}
