#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "indexapi/CompareFields.h"
#include "index/MsgSetFill.h"
#include "support/DateTime.h"

namespace {

TSearchChoices ChoicesFor(const std::vector<TFolderPick>& folders) {
  TSearchChoices choices;
  choices.Folders = folders;
  choices.nSelFields = DefaultFieldMask();
  choices.dtToday = EncodeDate(2024, 6, 12);
  return choices;
}

TEST(MsgSetFill, DefaultsSendTheDefaultMaskOverAllTimes) {
  const std::vector<TFolderPick> folders = {{"A1", true}};
  const TMsgSetData data = FillMsgSet(ChoicesFor(folders));
  const TMsgSet set = data.Record();
  EXPECT_TRUE(data.ShouldSend());
  EXPECT_STREQ(set.szSelEntryID, "A1");
  EXPECT_EQ(set.nSelFields, 0x00D);
  EXPECT_EQ(set.dtReceivedFrom, 0);
  EXPECT_EQ(set.dtReceivedTo, 0);
  EXPECT_EQ(set.bSearchOverFolders, 0);
}

TEST(MsgSetFill, JoinsCheckedEntryIDsInListOrder) {
  struct Case { const char* szName; std::vector<TFolderPick> folders; const char* szExpected; };
  const Case cases[] = {
      {"three", {{"0A", true}, {"0B", true}, {"0C", true}}, "0A,0B,0C"},
      {"one", {{"0A", true}}, "0A"},
      {"unchecked skipped", {{"0A", false}, {"0B", true}, {"0C", false}, {"0D", true}}, "0B,0D"},
      {"empty skipped", {{"", true}, {"0A", true}, {"", true}, {"0B", true}, {"", true}}, "0A,0B"},
      {"none checked", {{"0A", false}}, ""},
      {"no folders", {}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinCheckedEntryIDs(c.folders), c.szExpected) << c.szName;
    EXPECT_STREQ(FillMsgSet(ChoicesFor(c.folders)).Record().szSelEntryID, c.szExpected) << c.szName;
  }
}

TEST(MsgSetFill, SentOnlyWithAFolderAndAField) {
  const std::vector<TFolderPick> checked = {{"0A", true}};
  const std::vector<TFolderPick> unchecked = {{"0A", false}, {"", true}};
  TSearchChoices choices = ChoicesFor(checked);
  EXPECT_TRUE(FillMsgSet(choices).ShouldSend());
  choices.nSelFields = 0;
  EXPECT_FALSE(FillMsgSet(choices).ShouldSend());
  choices = ChoicesFor(unchecked);
  EXPECT_FALSE(FillMsgSet(choices).ShouldSend());
  choices.nSelFields = FIELD_UNREAD;
  EXPECT_FALSE(FillMsgSet(choices).ShouldSend());
}

TEST(MsgSetFill, CarriesMaskAndSearchMode) {
  const std::vector<TFolderPick> folders = {{"0A", true}};
  TSearchChoices choices = ChoicesFor(folders);
  choices.nSelFields = FIELD_SIZE | FIELD_RECEIVED_DATE;
  choices.bSearchOverFolders = true;
  const TMsgSet set = FillMsgSet(choices).Record();
  EXPECT_EQ(set.nSelFields, 0x810);
  EXPECT_EQ(set.bSearchOverFolders, 1);
}

TEST(MsgSetFill, ReceivedDateRanges) {
  struct Case {
    const char* szName;
    TReceivedRange range;
    TCalendarDate today;
    TCalendarDate expectedFrom;
  };
  const Case cases[] = {
      {"week", TReceivedRange::WithinLastWeek, {2024, 3, 5}, {2024, 2, 27}},
      {"month on 31 March", TReceivedRange::PastMonth, {2023, 3, 31}, {2023, 2, 28}},
      {"month on 31 March of a leap year", TReceivedRange::PastMonth, {2024, 3, 31}, {2024, 2, 29}},
      {"month on 15 January", TReceivedRange::PastMonth, {2024, 1, 15}, {2023, 12, 15}},
      {"year on 29 February", TReceivedRange::PastYear, {2024, 2, 29}, {2023, 2, 28}},
      {"year on 10 March", TReceivedRange::PastYear, {2024, 3, 10}, {2023, 3, 10}},
  };
  const std::vector<TFolderPick> folders = {{"0A", true}};
  for (const Case& c : cases) {
    TSearchChoices choices = ChoicesFor(folders);
    choices.ReceivedRange = c.range;
    choices.dtToday = EncodeDate(c.today.nYear, c.today.nMonth, c.today.nDay);
    const TMsgSet set = FillMsgSet(choices).Record();
    EXPECT_EQ(DecodeDate(set.dtReceivedFrom), c.expectedFrom) << c.szName;
    EXPECT_EQ(set.dtReceivedTo, choices.dtToday) << c.szName;
  }
}

TEST(MsgSetFill, SpecifiedDatesInEitherOrder) {
  const TDateTime dtFirst = EncodeDate(2024, 3, 1);
  const TDateTime dtTenth = EncodeDate(2024, 3, 10);
  for (const auto& [dtFromField, dtToField] : {std::pair{dtTenth, dtFirst}, std::pair{dtFirst, dtTenth}}) {
    const TDateRange range =
        ReceivedDateRange(TReceivedRange::SpecifyDates, EncodeDate(2024, 6, 1), dtFromField, dtToField);
    EXPECT_EQ(range.dtFrom, dtFirst);
    EXPECT_EQ(range.dtTo, dtTenth);
  }
}

TEST(MsgSetFill, AllTimesIgnoresTheDateFields) {
  const TDateRange range = ReceivedDateRange(TReceivedRange::AllTimes, EncodeDate(2024, 6, 1),
                                             EncodeDate(2024, 3, 1), EncodeDate(2024, 3, 10));
  EXPECT_EQ(range.dtFrom, 0);
  EXPECT_EQ(range.dtTo, 0);
}

TEST(MsgSetFill, RecordPointsIntoTheDataThatOwnsIt) {
  std::vector<TFolderPick> folders = {{"0A", true}, {"0B", true}};
  const TMsgSetData data = FillMsgSet(ChoicesFor(folders));
  folders.clear();  // the choices may go away
  const TMsgSetData copy = data;
  EXPECT_STREQ(copy.Record().szSelEntryID, "0A,0B");
  EXPECT_NE(copy.Record().szSelEntryID, data.Record().szSelEntryID);
}

}  // namespace
