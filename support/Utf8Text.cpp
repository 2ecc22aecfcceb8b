#include "support/Utf8Text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void PutUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void PutUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (c >> 10));
    out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
  }
}

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point that starts at `at`, moving `at` past it; a malformed or
// overlong sequence gives U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view s, std::size_t& at) {
  const auto b = static_cast<unsigned char>(s[at]);
  const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || at + extra >= s.size()) {
    ++at;
    return kReplacement;
  }
  char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
  for (int i = 1; i <= extra; ++i) {
    const auto n = static_cast<unsigned char>(s[at + i]);
    if ((n & 0xC0) != 0x80) {
      ++at;
      return kReplacement;
    }
    c = (c << 6) | (n & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++at;
    return kReplacement;
  }
  at += extra + 1;
  return c;
}

}  // namespace

void TUtf16ToUtf8::Append(const char16_t* units, std::size_t count, std::string& out) {
  for (std::size_t i = 0; i < count; ++i) {
    const char16_t u = units[i];
    if (FPendingHigh != 0) {
      const char16_t high = FPendingHigh;
      FPendingHigh = 0;
      if (IsLow(u)) {
        PutUtf8(0x10000 + ((char32_t(high) - 0xD800) << 10) + (u - 0xDC00), out);
        continue;
      }
      PutUtf8(kReplacement, out);
    }
    if (IsHigh(u)) FPendingHigh = u;
    else PutUtf8(IsLow(u) ? kReplacement : char32_t(u), out);
  }
}

void TUtf16ToUtf8::Finish(std::string& out) {
  if (FPendingHigh != 0) PutUtf8(kReplacement, out);
  FPendingHigh = 0;
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  TUtf16ToUtf8 converter;
  converter.Append(text.data(), text.size(), out);
  converter.Finish(out);
  return out;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t from = at;
    // A malformed sequence moves one byte; U+FFFD itself takes three.
    if (NextCodePoint(text, at) == kReplacement && at - from != 3) return false;
  }
  return true;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) PutUtf16(NextCodePoint(text, at), out);
  return out;
}
