// What the duplicate index finds and in which order, run against the engine
// itself and against QuopDB.dll across its binary interface.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "indexapi/CompareFields.h"
#include "tests/quopdb/IndexUnderTest.h"
#include "tests/quopdb/TestMessages.h"

using namespace testmsg;

namespace {

class MatchingTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(false); }

  void Open(bool tinyHash) {
    index_.reset();
    index_ = MakeIndexUnderTest(tinyHash);
    ASSERT_TRUE(index_);
    ASSERT_TRUE(index_->OpenDB(dir_.File("temp.dat")));
    index_->ClearDB();
  }

  void Search(const TMsgSet& set) {
    index_->SetMsgSet(set);
    index_->ClearDB();
  }

  void Add(const TQuopMsg& m) { ASSERT_TRUE(index_->AddMsg(m)); }

  TGroups Find() {
    index_->CommitDB();
    return ReadGroups(*index_);
  }

  TTempDir dir_;
  std::unique_ptr<TIndexUnderTest> index_;
};

const std::string A1 = EntryID('A', 1), A2 = EntryID('A', 2), A3 = EntryID('A', 3),
                  A4 = EntryID('A', 4), A5 = EntryID('A', 5), A6 = EntryID('A', 6);
const std::string B1 = EntryID('B', 1), B2 = EntryID('B', 2);

TEST_F(MatchingTest, GroupsInOrderOfEarliestAddedWithEarliestReceivedKept) {
  Search(Settings(DefaultFieldMask()));
  TQuopMsg m1 = Msg(A1.c_str(), "Lunch");
  m1.dtRecivedTime = 45000.5;
  TQuopMsg m2 = Msg(A2.c_str(), "Report", "b@example.com");
  TQuopMsg m3 = Msg(A3.c_str(), "Lunch");
  m3.dtRecivedTime = 45000.25;  // received first: the copy to keep
  TQuopMsg m4 = Msg(A4.c_str(), "Alone");
  TQuopMsg m5 = Msg(A5.c_str(), "Report", "b@example.com");
  TQuopMsg m6 = Msg(A6.c_str(), "Lunch");
  m6.dtRecivedTime = 45000.75;
  for (const TQuopMsg* m : {&m1, &m2, &m3, &m4, &m5, &m6}) Add(*m);
  EXPECT_EQ(index_->GetMsgCount(), 6);
  std::vector<TOutMsg> records;
  index_->CommitDB();
  const TGroups groups = ReadGroups(*index_, &records);
  EXPECT_EQ(groups, (TGroups{{A3, A1, A6}, {A2, A5}}));
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].subject, "Lunch");
  EXPECT_EQ(records[0].folder, "Inbox");
  EXPECT_EQ(records.back().nIndex, 6) << "progress ends at the message count";
}

TEST_F(MatchingTest, UnsetReceivedTimeIsNeverPreferredForKeeping) {
  Search(Settings(DefaultFieldMask()));
  TQuopMsg m1 = Msg(A1.c_str(), "x");  // no received time
  TQuopMsg m2 = Msg(A2.c_str(), "x");
  m2.dtRecivedTime = 45000.5;
  TQuopMsg m3 = Msg(A3.c_str(), "x");
  m3.dtRecivedTime = 45000.5;  // same time: the earlier added wins
  Add(m1), Add(m2), Add(m3);
  EXPECT_EQ(Find(), (TGroups{{A2, A1, A3}}));
}

TEST_F(MatchingTest, TextsCompareTrimmedAndSenderAddressWithoutCase) {
  Search(Settings(FIELD_SUBJECT | FIELD_SENDER_EMAIL));
  Add(Msg(A1.c_str(), "Budget 2026", "Anna@Example.COM"));
  Add(Msg(A2.c_str(), " \tBudget 2026\r\n", "anna@example.com "));
  Add(Msg(A3.c_str(), "budget 2026", "anna@example.com"));  // subject case matters
  Add(Msg(A4.c_str(), "Budget  2026", "anna@example.com"));  // inner blanks matter
  Add(Msg(A5.c_str(), nullptr, nullptr));
  Add(Msg(A6.c_str(), "", "  "));  // null equals empty
  EXPECT_EQ(Find(), (TGroups{{A1, A2}, {A5, A6}}));
}

// Each field on its own: two messages differing only in that field are not
// duplicates when it is selected, and are when every other field is.
struct TFieldCase {
  std::int32_t field;
  std::function<void(TQuopMsg&)> change;
};

TEST_F(MatchingTest, EverySelectedFieldMustAgree) {
  static char other[] = "other";
  const TFieldCase cases[] = {
      {FIELD_SUBJECT, [](TQuopMsg& m) { m.szSubject = other; }},
      {FIELD_FROM, [](TQuopMsg& m) { m.szSenderName = other; }},
      {FIELD_SENDER_EMAIL, [](TQuopMsg& m) { m.szSenderEmail = other; }},
      {FIELD_MESSAGE, [](TQuopMsg& m) { m.lBodyCrc = -5; }},
      {FIELD_SIZE, [](TQuopMsg& m) { m.nMsgSize = 1234; }},
      {FIELD_SENT_TO, [](TQuopMsg& m) { m.szTo = other; }},
      {FIELD_CC, [](TQuopMsg& m) { m.szCC = other; }},
      {FIELD_BCC, [](TQuopMsg& m) { m.szBCC = other; }},
      {FIELD_ATTACHMENT, [](TQuopMsg& m) { m.szAttached = other; }},
      {FIELD_SENT_DATE, [](TQuopMsg& m) { m.dtSendTime = 45001.0; }},
      {FIELD_UNREAD, [](TQuopMsg& m) { m.bRead = 1; }},
      {FIELD_RECEIVED_DATE, [](TQuopMsg& m) { m.dtRecivedTime = 45002.0; }},
  };
  for (const TFieldCase& c : cases) {
    SCOPED_TRACE(c.field);
    TQuopMsg base = Msg(A1.c_str(), "same");
    base.dtRecivedTime = base.dtSendTime = 45000.5;
    TQuopMsg changed = base;
    changed.szEntryID = const_cast<char*>(A2.c_str());
    c.change(changed);

    Search(Settings(c.field));
    Add(base), Add(changed);
    EXPECT_TRUE(Find().empty());

    Search(Settings(0xFFF & ~c.field));
    Add(base), Add(changed);
    EXPECT_EQ(Find(), (TGroups{{A1, A2}}));
  }
}

TEST_F(MatchingTest, DatesCompareToTheWholeSecond) {
  const double noon = 45000.5, second = 1.0 / 86400;
  Search(Settings(FIELD_SENT_DATE));
  TQuopMsg m1 = Msg(A1.c_str(), "a"), m2 = Msg(A2.c_str(), "b"), m3 = Msg(A3.c_str(), "c");
  m1.dtSendTime = noon + 0.2 * second;
  m2.dtSendTime = noon + 0.9 * second;  // same second, truncated
  m3.dtSendTime = noon + 1.0 * second - 1e-12;  // a hair below the next second counts as it
  Add(m1), Add(m2), Add(m3);
  EXPECT_EQ(Find(), (TGroups{{A1, A2}}));
}

TEST_F(MatchingTest, EachFolderSeparatelyNeverMixesFolders) {
  Search(Settings(FIELD_SUBJECT));
  Add(Msg(A1.c_str(), "x", "", 0, "Inbox"));
  Add(Msg(A2.c_str(), "x", "", 0, "Inbox"));
  Add(Msg(A3.c_str(), "x", "", 0, "Sent Items"));
  Add(Msg(B1.c_str(), "x", "", 0, "Inbox"));  // another store's Inbox
  Add(Msg(B2.c_str(), "x", "", 0, "Inbox"));
  Add(Msg(A4.c_str(), "x", "", 0, "Sent Items"));
  Add(Msg(A5.c_str(), "x", "", 0, "Sent Items"));
  EXPECT_EQ(Find(), (TGroups{{A1, A2}, {B1, B2}, {A4, A5}}))
      << "Sent Items read twice counts as two folders; the stores' Inboxes never merge";

  Search(Settings(FIELD_SUBJECT, true));
  for (const std::string* id : {&A1, &A2, &B1})
    Add(Msg(id->c_str(), "x", "", 0, id == &B1 ? "Inbox" : "Archive"));
  EXPECT_EQ(Find(), (TGroups{{A1, A2, B1}})) << "across folders everything compares";
}

TEST_F(MatchingTest, ReceivedDateRangeIsInclusiveWithWholeToDay) {
  const double mar1 = 46082, mar10 = 46091;
  TQuopMsg in[] = {Msg(A1.c_str(), "x"), Msg(A2.c_str(), "x"), Msg(A3.c_str(), "x"),
                   Msg(A4.c_str(), "x"), Msg(A5.c_str(), "x")};
  in[0].dtRecivedTime = mar1;          // the first instant of the range
  in[1].dtRecivedTime = mar10 + 0.99;  // late on the "to" day
  in[2].dtRecivedTime = mar1 - 0.01;   // before
  in[3].dtRecivedTime = mar10 + 1;     // the day after
  in[4].dtRecivedTime = 0;             // unknown: outside any range
  Search(Settings(FIELD_SUBJECT, false, mar1, mar10));
  for (const auto& m : in) Add(m);
  EXPECT_EQ(index_->GetMsgCount(), 5);
  EXPECT_EQ(Find(), (TGroups{{A1, A2}}));

  Search(Settings(FIELD_SUBJECT, false, mar10, mar1));  // reversed: put in order
  for (const auto& m : in) Add(m);
  EXPECT_EQ(Find(), (TGroups{{A1, A2}}));

  Search(Settings(FIELD_SUBJECT, false, 0, mar10 + 0.5));  // a time of day: up to it
  for (const auto& m : in) Add(m);
  EXPECT_EQ(Find(), (TGroups{{A3, A1}}));
}

TEST_F(MatchingTest, CollidingHashesNeverMergeDifferentMessages) {
  Open(true);
  Search(Settings(FIELD_SUBJECT));
  // Subjects s0..s9 cycle; with a 2-bit hash most unequal subjects collide.
  std::vector<std::string> ids, subjects;
  for (int i = 0; i < 40; ++i) {
    ids.push_back(EntryID('A', i));
    subjects.push_back("s" + std::to_string(i % 10));
  }
  subjects[39] = "unique";
  for (int i = 0; i < 40; ++i) Add(Msg(ids[i].c_str(), subjects[i].c_str()));
  TGroups expected(10);
  for (int i = 0; i < 39; ++i) expected[i % 10].push_back(ids[i]);
  EXPECT_EQ(Find(), expected);
}

TEST_F(MatchingTest, NewSettingsWithoutClearingApplyToTheNextSearch) {
  Search(Settings(FIELD_SUBJECT));
  Add(Msg(A1.c_str(), "x", "one@example.com"));
  Add(Msg(A2.c_str(), "x", "two@example.com"));
  EXPECT_EQ(Find(), (TGroups{{A1, A2}}));
  index_->SetMsgSet(Settings(FIELD_SUBJECT | FIELD_SENDER_EMAIL));
  EXPECT_TRUE(Find().empty());
  index_->SetMsgSet(Settings(FIELD_SUBJECT));
  Add(Msg(A3.c_str(), "x"));
  EXPECT_EQ(Find(), (TGroups{{A1, A2, A3}}));
}

TEST_F(MatchingTest, StopEndsTheStreamUntilTheNextSearch) {
  Search(Settings(FIELD_SUBJECT));
  Add(Msg(A1.c_str(), "x")), Add(Msg(A2.c_str(), "x"));
  Add(Msg(A3.c_str(), "y")), Add(Msg(A4.c_str(), "y"));
  index_->CommitDB();
  TQuopMsg* first = index_->FindFirstMsg();
  ASSERT_NE(first, nullptr);
  index_->StopFindMsg();
  EXPECT_EQ(index_->FindNextMsg(), nullptr);
  EXPECT_EQ(index_->FindFirstMsg(), nullptr) << "a stop holds until the next search begins";
  EXPECT_STREQ(first->szEntryID, A1.c_str()) << "a record stays valid until it is freed";
  index_->FreeQuopMsg(first);

  index_->SetMsgSet(Settings(FIELD_SUBJECT));
  EXPECT_EQ(Find(), (TGroups{{A1, A2}, {A3, A4}}));
  index_->StopFindMsg();
  index_->ClearDB();
  Add(Msg(A5.c_str(), "z")), Add(Msg(A6.c_str(), "z"));
  EXPECT_EQ(Find(), (TGroups{{A5, A6}}));
}

TEST_F(MatchingTest, StopFromAnotherThreadDuringASearch) {
  Search(Settings(FIELD_SUBJECT));
  std::vector<std::string> ids;
  for (int i = 0; i < 2000; ++i) ids.push_back(EntryID('A', i));
  for (int i = 0; i < 2000; ++i) Add(Msg(ids[i].c_str(), i % 2 ? "odd" : "even"));
  index_->CommitDB();
  int read = 0;
  for (TQuopMsg* m = index_->FindFirstMsg(); m; m = index_->FindNextMsg()) {
    if (++read == 10) std::thread([&] { index_->StopFindMsg(); }).join();
    index_->FreeQuopMsg(m);
  }
  EXPECT_EQ(read, 10) << "the stream ends at the stop";
  EXPECT_EQ(index_->FindFirstMsg(), nullptr);
  Search(Settings(FIELD_SUBJECT));
  Add(Msg(A1.c_str(), "x")), Add(Msg(A2.c_str(), "x"));
  EXPECT_EQ(Find(), (TGroups{{A1, A2}}));
}

TEST_F(MatchingTest, AwkwardTextsAreStoredWhole) {
  Search(Settings(FIELD_SUBJECT | FIELD_SENT_TO));
  const std::string longText(100000, 'q');
  TQuopMsg m1 = Msg(A1.c_str(), longText.c_str());
  m1.szTo = const_cast<char*>(longText.c_str());
  m1.szSenderEmail = m1.szFolder = nullptr;  // every text may be null
  TQuopMsg m2 = m1;
  m2.szEntryID = const_cast<char*>(A2.c_str());
  TQuopMsg empty = Msg(nullptr, nullptr, nullptr, 0, nullptr);
  empty.szEntryID = nullptr;
  Add(m1), Add(m2), Add(empty);
  index_->CommitDB();
  TQuopMsg* r = index_->FindFirstMsg();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::strlen(r->szSubject), longText.size());
  EXPECT_EQ(r->szFolder, nullptr) << "a null text comes back null";
  index_->FreeQuopMsg(r);
  r = index_->FindNextMsg();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::string(r->szTo), longText);
  index_->FreeQuopMsg(r);
  EXPECT_EQ(index_->FindNextMsg(), nullptr);
}

TEST_F(MatchingTest, CallsOutOfOrderGiveDefinedAnswers) {
  index_->CloseDB();
  EXPECT_EQ(index_->FindFirstMsg(), nullptr);
  EXPECT_EQ(index_->FindNextMsg(), nullptr);
  EXPECT_FALSE(index_->AddMsg(Msg(A1.c_str(), "x")));
  EXPECT_EQ(index_->GetMsgCount(), 0);
  index_->CommitDB();
  index_->ClearDB();
  index_->FreeQuopMsg(nullptr);
  index_->CloseDB();
  EXPECT_FALSE(index_->OpenDB(""));
  EXPECT_FALSE(index_->OpenDB(dir_.File("no-such-folder/temp.dat")));
  EXPECT_FALSE(index_->OpenDB(dir_.Path("").string())) << "a folder is no store";

  ASSERT_TRUE(index_->OpenDB(dir_.File("temp.dat")));
  index_->ClearDB();
  EXPECT_EQ(index_->FindNextMsg(), nullptr) << "no search begun";
  Add(Msg(A1.c_str(), "x")), Add(Msg(A2.c_str(), "x"));
  EXPECT_EQ(ReadGroups(*index_), (TGroups{{A1, A2}})) << "uncommitted messages are found too";
  TQuopMsg* r = index_->FindFirstMsg();
  ASSERT_NE(r, nullptr);
  index_->FreeQuopMsg(r);
  index_->FreeQuopMsg(r);  // twice: ignored
}

TEST_F(MatchingTest, StoreOutlivesCloseAndReopen) {
  Search(Settings(FIELD_SUBJECT));
  Add(Msg(A1.c_str(), "x")), Add(Msg(A2.c_str(), "y")), Add(Msg(A3.c_str(), "x"));
  index_->CloseDB();
  ASSERT_TRUE(index_->OpenDB(dir_.File("temp.dat")));
  EXPECT_EQ(index_->GetMsgCount(), 3);
  EXPECT_EQ(ReadGroups(*index_), (TGroups{{A1, A3}}));
  Add(Msg(A4.c_str(), "y"));
  EXPECT_EQ(ReadGroups(*index_), (TGroups{{A1, A3}, {A2, A4}}))
      << "folder runs continue after a reopen";
  ASSERT_TRUE(index_->OpenDB(dir_.File("temp.dat"))) << "open on an open index reopens";
  EXPECT_EQ(index_->GetMsgCount(), 4);
}

}  // namespace
