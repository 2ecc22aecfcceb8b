// The content of an INI file as the system's profile functions see it: lines
// end at CR or LF, blank lines vanish, blanks around names and values are
// dropped, text before the first section header forms a section without a
// name. Rewriting gives the same normalised text that those functions write.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The buffer size the profile functions are used with: a value reads up to
// 2,047 characters.
inline constexpr std::size_t kIniValueBufferSize = 2048;

struct TIniKey {
  std::string strName;
  std::optional<std::string> value;  // none for a line without "="
};

struct TIniSection {
  std::string strName;  // empty for the text before the first header
  std::vector<TIniKey> keys;
};

class TIniDocument {
 public:
  static TIniDocument Parse(std::string_view text);
  std::string Serialize() const;

  // The first section of that name (case-insensitive, blanks around the
  // name ignored); null when there is none.
  const TIniSection* FindSection(std::string_view section) const;

  // The stored value of the first key of that name in the first section of
  // that name; none when either is missing or the line has no "=".
  std::optional<std::string> RawValue(std::string_view section, std::string_view key) const;

  // Sets a value the way the profile functions do (blanks before the value
  // dropped, a new key at the end of its section, a new section at the end).
  // False when the key already held exactly this value.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);

 private:
  // The first section of that (trimmed) name, appended when missing.
  TIniSection& SectionForWrite(std::string_view section);

  std::vector<TIniSection> FSections;  // the first one has no name
};

// What a read of a stored value gives: enclosing quotation marks (a pair of
// " or ') dropped and the text cut to fit a buffer of nBufferSize characters,
// with the quirks of the profile functions at the limit.
std::string ValueAsRead(std::string_view stored, std::size_t nBufferSize = kIniValueBufferSize);

// Names compare without regard to the case of ASCII letters; other bytes
// must be equal, as with the profile functions under Wine.
bool SameIniName(std::string_view a, std::string_view b);

// Blanks as the profile functions see them.
bool IsIniBlank(char c);
std::string_view TrimIniBlanks(std::string_view text);

// A decimal or "0x" hexadecimal 32-bit integer; none for any other text.
std::optional<int> ParseIniInteger(std::string_view text);
