// The collection run against the stand-in provider, filling QuopDB.dll (or
// a recording fake of it): what is read, in which order, what each failure
// skips, and the events handed to the owner's thread.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/mapi/CollectFixture.h"

namespace {

using namespace profile;

TEST_F(CollectTest, WalksEveryStoreDepthFirstThroughTickedMailFolders) {
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Meeting notes", "Lunch", "Old news",
                                                  "Hidden mail", "Meeting notes"}))
      << "Contacts is no mail folder, but its mail sub-folder is read";
  const std::vector<std::string> expected = {
      "0 [Top of Personal] ", "0 [Inbox] ", "1 [Inbox] Meeting notes", "2 [Inbox] Lunch",
      "2 [Old] ", "3 [Old] Old news", "3 [Mail in contacts] ", "4 [Mail in contacts] Hidden mail",
      "4 [Empty] ", "4 [Deleted Items] ", "4 [Sent Items] ", "4 [Outbox] ",
      "4 [Top of Archive] ", "4 [Inbox] ", "5 [Inbox] Meeting notes", "5 [Deleted Items] "};
  EXPECT_EQ(texts_, expected);
  EXPECT_EQ(steps_, 11) << "one step per ticked mail folder";
}

// With an interval, a message is reported only when that long has passed
// since the last one reported; every folder start still is, and every
// message is still read.
TEST_F(CollectTest, AProgressIntervalSparesMessageReportsButNotFolderStarts) {
  Session().SetProgressInterval(60 * 60 * 1000);
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects().size(), 5u);
  const std::vector<std::string> expected = {
      "0 [Top of Personal] ", "0 [Inbox] ", "1 [Inbox] Meeting notes", "2 [Old] ", "3 [Mail in contacts] ",
      "4 [Empty] ", "4 [Deleted Items] ", "4 [Sent Items] ", "4 [Outbox] ", "4 [Top of Archive] ",
      "4 [Inbox] ", "5 [Deleted Items] "};
  EXPECT_EQ(texts_, expected);
  EXPECT_EQ(steps_, 11);

  // The next run reports its own first message again.
  db_.ClearDB();
  ends_ = 0;
  texts_.clear();
  Run(DefaultFieldMask());
  EXPECT_EQ(texts_.at(2), "1 [Inbox] Meeting notes");
}

TEST_F(CollectTest, MaskDecidesWhichOptionalFieldsAreRead) {
  Run(0xFFF);
  std::vector<TRecord> all = Records();
  ASSERT_EQ(all.size(), 5u) << "a message without a Cc text has an empty one";
  EXPECT_TRUE(Skips().empty());
  const TRecord& m = all[0];
  EXPECT_EQ(m.senderName, "Anna Berg");
  EXPECT_EQ(m.senderEmail, "anna@example.com");
  EXPECT_EQ(m.attached, "a.txt10b.doc2048");
  EXPECT_EQ(m.to, "Tom");
  EXPECT_EQ(m.cc, "Sara");
  EXPECT_EQ(m.bcc, "Ola");
  EXPECT_EQ(m.crc, static_cast<std::int32_t>(StrCRC32(0, "Hello Tom")));
  EXPECT_EQ(m.received, 36526.0);
  EXPECT_DOUBLE_EQ(m.sent, 36526.0 - 1.0 / 24);
  EXPECT_EQ(m.size, 1234);
  EXPECT_EQ(m.folder, "Inbox");
  EXPECT_TRUE(m.read);
  EXPECT_EQ(all[1].subject, "Lunch");
  EXPECT_EQ(all[1].cc, "");
  EXPECT_EQ(all[4].subject, "Meeting notes");

  db_.ClearDB();
  ends_ = 0;
  texts_.clear();
  Run(FIELD_SUBJECT);
  all = Records();
  ASSERT_EQ(all.size(), 5u);
  EXPECT_FALSE(all[0].hasEmail);
  EXPECT_FALSE(all[0].hasTo);
  EXPECT_EQ(all[0].attached, "");
  EXPECT_EQ(all[0].crc, 0) << "no body read without the Message field";
  EXPECT_EQ(all[0].sent, 0);
  EXPECT_EQ(all[0].senderName, "Anna Berg") << "always read";
  EXPECT_EQ(all[0].received, 36526.0) << "always read";
  EXPECT_EQ(all[0].size, 1234);
  EXPECT_TRUE(all[0].read);
}

TEST_F(CollectTest, UntickedFoldersGiveNoMessagesButTheirSubFoldersAreWalked) {
  Session().AddFolderSet(Session().GetFolder(sxftInbox)->GetEntryIDString(), false);
  Session().RefreshFolders();
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Old news", "Hidden mail", "Meeting notes"}));
}

TEST_F(CollectTest, FailuresSkipWhatTheyHit) {
  // A message that cannot be read, a folder whose messages cannot be listed,
  // one whose children cannot be listed.
  standin_.AddFault("GetProps", "Lunch", MAPI_E_CALL_FAILED);
  standin_.AddFault("GetContentsTable", "Mail in contacts", MAPI_E_CALL_FAILED);
  standin_.AddFault("GetHierarchyTable", "Inbox", MAPI_E_CALL_FAILED, 0, 1);
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Meeting notes", "Meeting notes"}));
  EXPECT_NE(std::find(texts_.begin(), texts_.end(), "2 [Inbox] "), texts_.end())
      << "the unreadable message still counts";
  EXPECT_EQ(Skips(), (std::vector<std::string>{
                         "message|Lunch|Could not get properties!|MAPI_E_CALL_FAILED",
                         "folder|Inbox|Could not get the folder's hierarchy table!|MAPI_E_CALL_FAILED",
                         "folder|Mail in contacts|Could not get messages from folder!|MAPI_E_CALL_FAILED"}));
  EXPECT_EQ(Session().MsgCount(), 2);
}

TEST_F(CollectTest, WhatCannotBeOpenedIsListedAndTheRunGoesOn) {
  // A store, a child folder and a message that will not open.
  standin_.AddFault("OpenMsgStore", "Personal", MAPI_E_CALL_FAILED);
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Meeting notes"})) << "the next store is read";
  EXPECT_EQ(Skips(), (std::vector<std::string>{"store|Personal|Could not get Message Store!|MAPI_E_CALL_FAILED"}));

  db_.ClearDB();
  ends_ = 0;
  standin_.LoadProfile(StandardProfile());
  standin_.AddFault("OpenEntry", "Old", MAPI_E_NO_ACCESS);
  standin_.AddFault("OpenEntry", "Lunch", MAPI_E_CALL_FAILED);
  standin_.AddFault("GetProps", "Contacts", MAPI_E_CALL_FAILED, PR_CONTAINER_CLASS_W);
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Meeting notes", "Hidden mail", "Meeting notes"}))
      << "a folder whose class cannot be read is not taken for mail, but its sub-folders are walked";
  EXPECT_EQ(Skips(), (std::vector<std::string>{
                         "message|Lunch|Could not open message!|MAPI_E_CALL_FAILED",
                         "folder|Old|Could not get folder from Message Store or Parent Folder!|MAPI_E_NO_ACCESS",
                         "folder|Contacts|Could not get the folder's class!|MAPI_E_CALL_FAILED"}))
      << "the message is named by its table row, the folder by its parent's";
}

TEST_F(CollectTest, ABodyTooLargeForGetPropsIsStreamedAndOneUnreadableIsNeverEqual) {
  // Two different newsletters of 40 KB: same sender, same subject.
  const std::string a(40000, 'a'), b = std::string(39999, 'a') + "b";
  const auto letter = [](const std::string& body) {
    return Message("Newsletter", "\"senderName\": \"News\", \"senderEmail\": \"news@example.com\", \"body\": \"" +
                                     body + "\"");
  };
  standin_.LoadProfile(Profile(Store("Big", '3', true,
                                     Folder("Inbox", "IPF.Note", letter(a) + "," + letter(b) + "," + letter(a)))));
  Run(DefaultFieldMask());
  std::vector<TRecord> all = Records();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].crc, static_cast<std::int32_t>(StrCRC32(0, a.c_str())));
  EXPECT_EQ(all[1].crc, static_cast<std::int32_t>(StrCRC32(0, b.c_str())));
  EXPECT_EQ(all[2].crc, all[0].crc);
  EXPECT_TRUE(Skips().empty());

  // A large body whose stream cannot be read either: listed, not added.
  db_.ClearDB();
  ends_ = 0;
  standin_.AddFault("OpenProperty", "Newsletter", MAPI_E_CALL_FAILED, 0, 2);
  Run(DefaultFieldMask());
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_EQ(Skips(), (std::vector<std::string>{"message|Newsletter|Could not read the message body!|MAPI_E_CALL_FAILED"}));

  db_.ClearDB();
  ends_ = 0;
  standin_.AddFault("OpenProperty", "Newsletter", MAPI_E_CALL_FAILED);
  Run(FIELD_SUBJECT | FIELD_SENDER_EMAIL);
  EXPECT_EQ(Records().size(), 3u) << "without the Message field no body is read";
  EXPECT_TRUE(Skips().empty());
}

TEST_F(CollectTest, UnicodeTextsAndExchangeSendersReachTheIndexAsUtf8) {
  const std::string chinese = "\u4F1A\u8BAE\u8BB0\u5F55", cyrillic = "\u041E\u0442\u0447\u0435\u0442";
  const std::string dn = "/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP (FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=ANNA.BERG";
  const std::string inbox = Folder(
      "\u0412\u0445\u043E\u0434\u044F\u0449\u0438\u0435", "IPF.Note",
      Message(chinese, "\"senderName\": \"Anna\", \"senderAddrType\": \"EX\", \"senderEmail\": \"" + dn +
                           "\", \"senderSmtp\": \"Anna.Berg@quop.example\", \"body\": \"" + cyrillic + "\"") +
          "," + Message(cyrillic, "\"senderAddrType\": \"EX\", \"senderEmail\": \"" + dn + "\"") + "," +
          Message("plain", "\"senderAddrType\": \"SMTP\", \"senderEmail\": \"anna.berg@quop.example\""),
      "", "inbox");
  standin_.LoadProfile(Profile(Store("Mailbox", '4', true, inbox, "\"kind\": \"exchange-cached\"")));
  Run(DefaultFieldMask());
  std::vector<TRecord> all = Records();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].subject, "\xE4\xBC\x9A\xE8\xAE\xAE\xE8\xAE\xB0\xE5\xBD\x95");
  EXPECT_EQ(all[0].folder, "\xD0\x92\xD1\x85\xD0\xBE\xD0\xB4\xD1\x8F\xD1\x89\xD0\xB8\xD0\xB5");
  EXPECT_EQ(all[0].senderEmail, "Anna.Berg@quop.example") << "an EX sender goes by its SMTP address";
  EXPECT_EQ(all[0].crc, static_cast<std::int32_t>(StrCRC32(0, "\xD0\x9E\xD1\x82\xD1\x87\xD0\xB5\xD1\x82")))
      << "the body's CRC is over its UTF-8";
  EXPECT_EQ(all[1].subject, "\xD0\x9E\xD1\x82\xD1\x87\xD0\xB5\xD1\x82");
  EXPECT_EQ(all[1].senderEmail, dn) << "without an SMTP address the DN is all there is";
  EXPECT_EQ(all[2].senderEmail, "anna.berg@quop.example");
}

TEST_F(CollectTest, ABigOnlineFolderIsReadWithFewObjectsOpen) {
  std::string messages;
  for (int i = 0; i < 5000; ++i)
    messages += (i ? "," : "") + Message("m" + std::to_string(i % 2500),
                                         "\"senderEmail\": \"a@b.c\", \"body\": \"x" + std::to_string(i % 2500) +
                                             "\", \"attachments\": [{\"displayName\": \"a\", \"size\": 1}]");
  standin_.LoadProfile(Profile(
      Store("Online", '5', true, Folder("Inbox", "IPF.Note", messages, Folder("Sub", "IPF.Note", Message("s"))),
            "\"kind\": \"exchange-online\"")));
  standin_.ResetPeaks();
  Run(DefaultFieldMask() | FIELD_ATTACHMENT);
  EXPECT_EQ(Records().size(), 5001u);
  EXPECT_TRUE(Skips().empty()) << "the online store's 250-message limit is never reached";
  EXPECT_EQ(standin_.PeakOpen("message"), 1);
  EXPECT_LE(standin_.PeakOpen("attachment"), 1);
  EXPECT_LE(standin_.PeakOpen("table"), 3) << "the contents table and one message's attachment table";
  EXPECT_LE(standin_.PeakOpen("all"), 16);
}

TEST_F(CollectTest, AStoreWithoutIpmSubtreeIsSkipped) {
  standin_.LoadProfile(profile::Profile(
      "{\"name\": \"Public\", \"uid\": \"" + std::string(32, '9') + "\", \"default\": false}, " +
      profile::Store("Personal", '1', true,
                     profile::Folder("Inbox", "IPF.Note", profile::Message("Hello")))));
  Run(DefaultFieldMask());
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"Hello"}));
}

TEST_F(CollectTest, AProfileWithoutStoresEndsAtOnce) {
  standin_.LoadProfile(profile::Profile(""));
  Run(DefaultFieldMask());
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(texts_.empty());
  EXPECT_EQ(steps_, 0);
}

// Holds the worker inside its first event until the test lets it go.
class THoldingDispatcher : public TEventDispatcher {
 public:
  explicit THoldingDispatcher(TQueueDispatcher& queue) : queue_(queue) {}
  void Post(std::function<void()> event) override {
    std::unique_lock<std::mutex> hold(lock_);
    if (!first_) {
      first_ = true;
      changed_.notify_all();
      changed_.wait(hold, [this] { return released_; });
    }
    queue_.Post(std::move(event));
  }
  void WaitForFirst() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return first_; });
  }
  void Release() {
    std::lock_guard<std::mutex> hold(lock_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  TQueueDispatcher& queue_;
  std::mutex lock_;
  std::condition_variable changed_;
  bool first_ = false, released_ = false;
};

TEST_F(CollectTest, StopEndsTheWalkAtTheNextMessageFolderOrStore) {
  THoldingDispatcher holding(events_);
  TsxMAPI_Session& s = Session();
  s.SetDB(&db_);
  s.SetDispatcher(&holding);
  s.nSelFields = DefaultFieldMask();
  s.OnProgressMsg = [this](const std::string& text) { texts_.push_back(text); };
  s.OnTerminate = [this](TsxMAPI_Session*) { ++ends_; };
  ASSERT_TRUE(s.GetAllMessage());
  holding.WaitForFirst();  // the worker stands at the first folder of the first store
  s.StopGetAllMsg();
  holding.Release();
  ASSERT_TRUE(events_.PumpUntil([this] { return ends_ > 0; }));
  s.WaitForRun();
  EXPECT_EQ(ends_, 1);
  EXPECT_TRUE(Records().empty()) << "no message read after the stop";
  EXPECT_EQ(texts_, (std::vector<std::string>{"0 [Top of Personal] "}));
}

class CollectCommitTest : public CollectTest {
 protected:
  CollectCommitTest() { library_ = "fake_quopdb_full.dll"; }
};

TEST_F(CollectCommitTest, CommitsAfterTheFirstAndEveryThousandthMessage) {
  std::string messages;
  for (int i = 0; i < 2500; ++i)
    messages += (i ? "," : "") + profile::Message("m" + std::to_string(i));
  standin_.LoadProfile(profile::Profile(
      profile::Store("Big", '3', true, profile::Folder("Inbox", "IPF.Note", messages))));
  using TLog = const char*(QUOPDB_CALL*)();
  auto log = reinterpret_cast<TLog>(
      reinterpret_cast<void (*)()>(GetProcAddress(db_.Handle(), "FakeCallLog")));
  ASSERT_NE(log, nullptr);
  Run(DefaultFieldMask());
  std::vector<int> commitsAfter;
  int added = 0;
  const std::string calls = log();
  for (std::size_t at = 0; at < calls.size();) {
    const std::size_t end = calls.find(';', at);
    const std::string call = calls.substr(at, end - at);
    if (call == "AddMsg") ++added;
    if (call == "CommitDB") commitsAfter.push_back(added);
    at = end + 1;
  }
  EXPECT_EQ(added, 2500);
  EXPECT_EQ(commitsAfter, (std::vector<int>{1, 1001, 2001}));
}

}  // namespace
