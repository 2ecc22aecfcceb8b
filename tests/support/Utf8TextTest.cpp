// UTF-8 <-> UTF-16 conversions: round trips of every plane, broken input
// turning into U+FFFD rather than vanishing, and UTF-16 arriving in pieces.
#include <gtest/gtest.h>

#include "support/Utf8Text.h"

namespace {

TEST(Utf8Text, RoundTripsTextsOfEveryWidth) {
  const std::u16string samples[] = {u"", u"plain ASCII", u"\u00C5sa \u00D8stberg", u"\u041F\u0440\u0438\u0432\u0435\u0442",
                                    u"\u4F1A\u8BAE\u8BB0\u5F55", u"\U0001F600 smile", u"a\u0000b"};
  for (const std::u16string& s : samples) {
    const std::string utf8 = WideToUtf8(s);
    EXPECT_EQ(Utf8ToUtf16(utf8), s);
  }
  EXPECT_EQ(WideToUtf8(u"\u041F\u4F1A\U0001F600"), "\xD0\x9F\xE4\xBC\x9A\xF0\x9F\x98\x80");
}

TEST(Utf8Text, BrokenInputBecomesReplacementCharacters) {
  struct Case { std::string utf8; std::u16string wide; };
  const Case cases[] = {
      {"a\xFF" "b", u"a\uFFFDb"},             // a byte that starts nothing
      {"a\xE4\xBC", u"a\uFFFD\uFFFD"},         // cut at the end
      {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong '/'
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // an encoded surrogate
      {"\xE4" "x", u"\uFFFDx"},                // a lead byte without its tail
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.wide) << c.utf8;
    EXPECT_FALSE(IsUtf8(c.utf8)) << c.utf8;
  }
  for (const std::string good : {"", "plain", "\xEF\xBF\xBD", "\xF0\x9F\x98\x80\xD0\x9F"})
    EXPECT_TRUE(IsUtf8(good)) << good << ": U+FFFD itself and four-byte sequences are well formed";
  EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx") << "lone high";
  EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD") << "lone low";
}

TEST(Utf8Text, PiecesJoinSurrogatePairsAcrossTheCut) {
  const std::u16string text = u"ab\U0001F600cd\U0001F601";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    TUtf16ToUtf8 converter;
    std::string out;
    converter.Append(text.data(), cut, out);
    converter.Append(text.data() + cut, text.size() - cut, out);
    converter.Finish(out);
    EXPECT_EQ(out, WideToUtf8(text)) << "cut at " << cut;
  }
  TUtf16ToUtf8 converter;
  std::string out;
  const char16_t high = 0xD83D;
  converter.Append(&high, 1, out);
  converter.Finish(out);
  EXPECT_EQ(out, "\xEF\xBF\xBD") << "a pair cut off at the end";
}

}  // namespace
