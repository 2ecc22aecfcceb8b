// The portable helpers of the mail-store layer: CRC-32, MAPI times and the
// entry-identifier text, with known answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mapi/CnCRC32.h"
#include "mapi/EntryIDText.h"
#include "mapi/MapiTime.h"

namespace {

TEST(CRC32, KnownAnswersWithSeedZeroAndNoInversion) {
  EXPECT_EQ(StrCRC32(0, "abc"), 0xCA6598D0u);
  EXPECT_EQ(static_cast<std::int32_t>(StrCRC32(0, "abc")), -899311408);
  // One zero byte from seed 1 reads table entry 1, 0x77073096 for this polynomial.
  const unsigned char zero = 0;
  EXPECT_EQ(CRC32Calc(1, &zero, 1), 0x77073096u);
}

TEST(CRC32, EmptyInputKeepsTheSeedAndChunksChain) {
  EXPECT_EQ(CRC32Calc(1234, nullptr, 5), 1234u);
  EXPECT_EQ(CRC32Calc(1234, "x", 0), 1234u);
  EXPECT_EQ(StrCRC32(77, ""), 77u);
  EXPECT_EQ(StrCRC32(77, nullptr), 77u);
  const char text[] = "Meeting notes for Tuesday";
  const std::uint32_t whole = StrCRC32(0, text);
  EXPECT_EQ(CRC32Calc(CRC32Calc(0, text, 10), text + 10, std::strlen(text) - 10), whole);
}

TEST(MapiTime, FileTimesBecomeDaysSince1899) {
  struct {
    std::uint64_t fileTime;
    double expected;
  } const cases[] = {
      {0, -109205.0},
      {125911584000000000ULL, 36526.0},            // 1 January 2000 00:00 UTC
      {116444736000000000ULL, 25569.0},            // 1 January 1970
      {125911584000000000ULL + 432000000000ULL, 36526.5},  // noon
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fileTime);
    EXPECT_EQ(FileDateTimeToDateTime(static_cast<std::uint32_t>(c.fileTime),
                                     static_cast<std::uint32_t>(c.fileTime >> 32)),
              c.expected);
  }
}

TEST(EntryIDText, UppercaseHexBothWays) {
  const unsigned char id[] = {0x00, 0x00, 0x00, 0x00, 0x38, 0xA1, 0xBB, 0x10};
  EXPECT_EQ(EntryIDToText(id, sizeof id), "0000000038A1BB10");
  EXPECT_EQ(EntryIDToText(id, 0), "");
  EXPECT_EQ(EntryIDToText(nullptr, 4), "");
  EXPECT_EQ(TextToEntryID("0000000038a1Bb10"), std::vector<unsigned char>(id, id + sizeof id));
}

TEST(EntryIDText, DecodingStopsAtTheFirstNonHexDigit) {
  const struct {
    const char* text;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"", {}},
      {"AB", {0xAB}},
      {"AB1", {0xAB}},        // an odd digit at the end
      {"AB1G22", {0xAB}},     // a pair broken by G
      {"ABCD,EF", {0xAB, 0xCD}},
      {" AB", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToEntryID(c.text), c.bytes) << c.text;
}

TEST(EntryIDText, LongIdentifiersAreWrittenWhole) {
  std::vector<unsigned char> id(600);
  for (std::size_t i = 0; i < id.size(); ++i) id[i] = static_cast<unsigned char>(i * 7);
  const std::string text = EntryIDToText(id.data(), id.size());
  EXPECT_EQ(text.size(), 1200u);
  EXPECT_EQ(TextToEntryID(text), id);
}

}  // namespace
