// The INI rules, as the system's profile functions apply them.
#include "support/IniDocument.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct TReadCase {
  const char* szText;
  const char* szSection;
  const char* szKey;
  std::optional<std::string> expected;  // none: the default would be returned
};

const char kTricky[] =
    "top=1\r\n"
    "; a comment\r\n"
    "[ Sec ]\n"
    "  key = \"quoted value\"  \n"
    "line without equals\n"
    "empty=\n"
    "dup=first\n"
    "dup=second\n"
    "eq=a=b\n"
    "single='one'\n"
    "odd=\"abc\n"
    "mixed='abc\"\n"
    "lone=\"\n"
    "pair=\"\"\n"
    "inner=\" spaced \"\n"
    " a b = c d \t\n"
    "=no name\n"
    "[sec]\n"
    "other=hidden behind the first [Sec]\n"
    "[b]c]junk\n"
    "k=bracket\n"
    "[unterminated\n"
    "cr=1\rcr2=2\x1a\n"
    "[Last]\n"
    "tail=no final newline";

TEST(IniDocumentRead, TrickyFileReadsLikeTheProfileFunctions) {
  const TReadCase cases[] = {
      {kTricky, "", "top", "1"},
      {kTricky, "", "; a comment", std::nullopt},
      {kTricky, "Sec", "key", "quoted value"},
      {kTricky, "  SEC\t", " KEY ", "quoted value"},
      {kTricky, "Sec", "line without equals", std::nullopt},
      {kTricky, "Sec", "empty", ""},
      {kTricky, "Sec", "dup", "first"},
      {kTricky, "Sec", "eq", "a=b"},
      {kTricky, "Sec", "single", "one"},
      {kTricky, "Sec", "odd", "\"abc"},
      {kTricky, "Sec", "mixed", "'abc\""},
      {kTricky, "Sec", "lone", "\""},
      {kTricky, "Sec", "pair", ""},
      {kTricky, "Sec", "inner", " spaced "},
      {kTricky, "Sec", "a b", "c d"},
      {kTricky, "Sec", "", "no name"},
      {kTricky, "Sec", "other", std::nullopt},
      {kTricky, "b]c", "k", "bracket"},
      {kTricky, "unterminated", "cr", std::nullopt},
      {kTricky, "b]c", "cr", "1"},
      {kTricky, "b]c", "cr2", "2"},
      {kTricky, "Last", "tail", "no final newline"},
      {kTricky, "Missing", "top", std::nullopt},
  };
  for (const TReadCase& c : cases) {
    const auto stored = TIniDocument::Parse(c.szText).RawValue(c.szSection, c.szKey);
    const std::optional<std::string> read = stored ? std::optional(ValueAsRead(*stored)) : std::nullopt;
    EXPECT_EQ(read, c.expected) << "[" << c.szSection << "] " << c.szKey;
  }
}

TEST(IniDocumentRead, LongValuesStopAt2047CharactersWithTheQuoteQuirks) {
  const std::string x2046(2046, 'x'), x2047(2047, 'x'), x2048(2048, 'x');
  struct {
    std::string stored, expected;
  } const cases[] = {
      {x2047, x2047},
      {x2048 + "yz", x2047},
      {"\"" + x2046 + "\"", x2046},
      // The closing mark does not fit: the last character copied goes.
      {"\"" + x2047 + "\"", x2046},
      {"\"" + x2048 + "\"", x2047},
  };
  for (const auto& c : cases) EXPECT_EQ(ValueAsRead(c.stored), c.expected) << c.stored.size();
}

struct TWriteCase {
  const char* szName;
  const char* szBefore;
  const char* szSection;
  const char* szKey;
  const char* szValue;
  const char* szAfter;  // null: the text is not rewritten
};

TEST(IniDocumentWrite, RewritesTheNormalisedTextLikeTheProfileFunctions) {
  const TWriteCase cases[] = {
      {"new file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"new key at the end of its section", "[s]\nk=1\n\n[t]\nk=2", "S", "new", "5",
       "[s]\r\nk=1\r\nnew=5\r\n[t]\r\nk=2\r\n"},
      {"new section at the end", "x=1\n", "s", "k", "v", "x=1\r\n[s]\r\nk=v\r\n"},
      {"unchanged value", "[s]\n k = v \n", "s", "K", "v", nullptr},
      {"case of a value counts", "[s]\nk=v\n", "s", "k", "V", "[s]\r\nk=V\r\n"},
      {"line without equals gets a value", "[s]\nk\n", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"first of two keys", "[s]\nk=1\nK=2\n", "s", "k", "3", "[s]\r\nk=3\r\nK=2\r\n"},
      {"first of two sections", "[s]\na=1\n[S]\nb=2\n", "S", "b", "3", "[s]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"},
      {"blanks before the value go, after it stay", "[s]\n", "s", " k ", " \tv w \t",
       "[s]\r\nk=v w \t\r\n"},
      {"comments stay, blank lines go", "; c\r\n\r\n[ s ]\r\n\r\n;x\r\n", "s", "k", "v",
       "; c\r\n[s]\r\n;x\r\nk=v\r\n"},
      {"only ASCII letters ignore case", "[\xc4]\nk=1\n", "\xe4", "k", "2", "[\xc4]\r\nk=1\r\n[\xe4]\r\nk=2\r\n"},
      {"bytes above 127 pass through", "[\xc4]\n\xe9=\xe8\n", "\xc4", "\xe9", "\xff\x80", "[\xc4]\r\n\xe9=\xff\x80\r\n"},
  };
  for (const TWriteCase& c : cases) {
    TIniDocument doc = TIniDocument::Parse(c.szBefore);
    const bool bChanged = doc.SetValue(c.szSection, c.szKey, c.szValue);
    EXPECT_EQ(bChanged, c.szAfter != nullptr) << c.szName;
    if (c.szAfter != nullptr) {
      EXPECT_EQ(doc.Serialize(), c.szAfter) << c.szName;
    }
  }
}

TEST(IniInteger, DecimalOrHexadecimalAndNothingElse) {
  struct {
    const char* szText;
    std::optional<int> expected;
  } const cases[] = {
      {"0", 0}, {"12", 12}, {"-7", -7}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"0x0409", 0x409}, {"0XfF", 255}, {"0xFFFFFFFF", -1},
      {"", std::nullopt}, {"2147483648", std::nullopt}, {"12a", std::nullopt}, {"a12", std::nullopt},
      {"0x", std::nullopt}, {"0x1G", std::nullopt}, {"0x100000000", std::nullopt}, {"-0x5", std::nullopt},
      {"+5", std::nullopt}, {" 5", std::nullopt}, {"5.0", std::nullopt}, {"-", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.szText), c.expected) << c.szText;
}

}  // namespace
