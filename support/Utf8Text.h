// UTF-8 and UTF-16 conversions of the texts the product carries: message
// texts travel as UTF-8 in the index records and reach the window as UTF-16.
// A lone surrogate or a broken UTF-8 sequence becomes U+FFFD, never a
// dropped character, so two different texts never convert to equal ones by
// losing characters.
#pragma once

#include <string>
#include <string_view>

std::string WideToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Whether the bytes are well-formed UTF-8: no broken, overlong or surrogate
// sequence and nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

// Converts UTF-16 that arrives in pieces (a stream read in chunks): a high
// surrogate at the end of one piece waits for the next.
class TUtf16ToUtf8 {
 public:
  // Appends the UTF-8 of `units` to `out`.
  void Append(const char16_t* units, std::size_t count, std::string& out);
  // Ends the text: a high surrogate still waiting becomes U+FFFD.
  void Finish(std::string& out);

 private:
  char16_t FPendingHigh = 0;
};

#ifdef _WIN32
#include <cwchar>
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline std::string WideToUtf8(std::wstring_view text) {
  return WideToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
inline std::wstring Utf8ToWide(std::string_view text) {
  const std::u16string u = Utf8ToUtf16(text);
  return std::wstring(reinterpret_cast<const wchar_t*>(u.data()), u.size());
}
#endif
