// The origins table: every recorded message answers its own folder, flag and
// attachment count (kept up to the most a slot holds),
// whatever the case of its hex id, and an unknown or ambiguous id is answered
// "not recorded", never with another message's origin.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mapi/MessageOrigins.h"

namespace {

std::string IdOf(int i) {
  char text[64];
  std::snprintf(text, sizeof text, "0000000038A1BB1005E5101AA1BB08002B2A56C2%08X", i);
  return text;
}

TEST(OriginsTable, EveryMessageFindsItsOwnFolderAndFlagBeforeAndAfterFinish) {
  TMessageOrigins origins;
  const std::uint32_t inbox = origins.AddFolder({"Mailbox", "Inbox", "F1"});
  const std::uint32_t archive = origins.AddFolder({"Archive 2024", "Inbox/Archive/2024", "F2"});
  constexpr int kCount = 5000;
  for (int i = 0; i < kCount; ++i) origins.Add(IdOf(i), i % 3 ? inbox : archive, i % 7 == 0, i % 300);
  for (bool finished : {false, true}) {
    if (finished) origins.Finish();
    for (int i : {0, 1, 2, 3, 7, 299, 4998, 4999}) {
      const TMessageOrigin o = origins.Find(IdOf(i));
      ASSERT_NE(o.folder, nullptr) << i << (finished ? " finished" : " scanning");
      EXPECT_EQ(o.folder->path, i % 3 ? "Inbox" : "Inbox/Archive/2024") << i;
      EXPECT_EQ(o.folder->store, i % 3 ? "Mailbox" : "Archive 2024") << i;
      EXPECT_EQ(o.flagged, i % 7 == 0) << i;
      EXPECT_EQ(o.attachments, std::min(i % 300, TMessageOrigins::kMaxAttachments)) << i;
    }
  }
  EXPECT_EQ(origins.Size(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount; ++i) ASSERT_NE(origins.Find(IdOf(i)).folder, nullptr) << i;
}

TEST(OriginsTable, LookupIgnoresHexCaseAndAnswersUnknownIdsAsNotRecorded) {
  TMessageOrigins origins;
  const std::uint32_t f = origins.AddFolder({"S", "Inbox", "F"});
  origins.Add("00ABCDEF", f, true);
  origins.Finish();
  EXPECT_NE(origins.Find("00abcdef").folder, nullptr);
  EXPECT_TRUE(origins.Find("00abcdef").flagged);
  for (const char* unknown : {"", "00ABCDE", "00ABCDEF00", "10ABCDEF"})
    EXPECT_EQ(origins.Find(unknown).folder, nullptr) << unknown;
}

TEST(OriginsTable, TheSameIdRecordedTwiceWithDifferentOriginsIsNotAnswered) {
  // Stands for a hash collision as well: one slot, two answers.
  TMessageOrigins origins;
  const std::uint32_t a = origins.AddFolder({"S", "A", "FA"});
  const std::uint32_t b = origins.AddFolder({"S", "B", "FB"});
  origins.Add("00AA", a, false);
  origins.Add("00AA", b, false);
  origins.Add("00BB", a, false);
  origins.Add("00BB", a, false);  // recorded twice alike: still known
  for (bool finished : {false, true}) {
    if (finished) origins.Finish();
    EXPECT_EQ(origins.Find("00AA").folder, nullptr);
    ASSERT_NE(origins.Find("00BB").folder, nullptr);
    EXPECT_EQ(origins.Find("00BB").folder->path, "A");
  }
  origins.Clear();
  EXPECT_EQ(origins.Size(), 0u);
  EXPECT_EQ(origins.Find("00BB").folder, nullptr);
}

}  // namespace
