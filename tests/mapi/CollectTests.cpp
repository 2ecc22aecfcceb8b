// The collection run against the stand-in provider, filling QuopDB.dll (or
// a recording fake of it): what is read, in which order, what each failure
// skips, and the events handed to the owner's thread.
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "index/CompareFields.h"
#include "index/uDB.h"
#include "mapi/CnCRC32.h"
#include "mapi/QueueDispatcher.h"
#include "tests/mapi/MapiFixture.h"

namespace {

std::string BesideTest(const char* file) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1) + file;
}

struct TRecord {
  std::string entryID, senderName, senderEmail, subject, attached, to, cc, bcc, folder;
  bool hasEmail, hasTo;
  double received, sent;
  std::int32_t crc, size;
  bool read;
};

std::string S(const char* s) { return s ? s : ""; }

class CollectTest : public MapiTest {
 protected:
  void SetUp() override {
    MapiTest::SetUp();
    ASSERT_TRUE(db_.Init(BesideTest(library_)));
    store_ = BesideTest("collect-test.dat");
    ASSERT_TRUE(db_.OpenDB(store_));
    db_.ClearDB();
  }
  void TearDown() override {
    db_.UnInit();
    DeleteFileA(store_.c_str());
    MapiTest::TearDown();
  }

  // Runs a collection to its end, pumping its events on this thread.
  void Run(std::int32_t mask) {
    TsxMAPI_Session& s = Session();
    s.SetDB(&db_);
    s.SetDispatcher(&events_);
    s.nSelFields = mask;
    s.OnProgressMsg = [this](const std::string& text) { texts_.push_back(text); };
    s.OnProgressStep = [this](TsxMAPI_Session*) { ++steps_; };
    s.OnTerminate = [this](TsxMAPI_Session* sender) {
      EXPECT_EQ(sender, session_.get());
      EXPECT_EQ(GetCurrentThreadId(), owner_) << "events run on the owner's thread";
      ++ends_;
    };
    ASSERT_TRUE(s.GetAllMessage());
    ASSERT_TRUE(events_.PumpUntil([this] { return ends_ > 0; }));
    s.WaitForRun();
    events_.PumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(ends_, 1) << "the end is raised exactly once";
  }

  // The records added, in the order added.
  std::vector<TRecord> Records() {
    std::vector<TRecord> out;
    for (std::int32_t i = 0; i < db_.GetMsgCount(); ++i) {
      TQuopMsg* m = db_.Exports().FGetMsgAt(i);
      out.push_back({S(m->szEntryID), S(m->szSenderName), S(m->szSenderEmail), S(m->szSubject),
                     S(m->szAttached), S(m->szTo), S(m->szCC), S(m->szBCC), S(m->szFolder),
                     m->szSenderEmail != nullptr, m->szTo != nullptr, m->dtRecivedTime,
                     m->dtSendTime, m->lBodyCrc, m->nMsgSize, m->bRead != 0});
      db_.FreeQuopMsg(m);
    }
    return out;
  }

  std::vector<std::string> Subjects() {
    std::vector<std::string> subjects;
    for (const TRecord& r : Records()) subjects.push_back(r.subject);
    return subjects;
  }

  const char* library_ = "QuopDB.dll";
  TQuopDB db_;
  std::string store_;
  TQueueDispatcher events_;
  std::vector<std::string> texts_;
  int steps_ = 0, ends_ = 0;
  DWORD owner_ = GetCurrentThreadId();
};

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

TEST_F(CollectTest, MaskDecidesWhichOptionalFieldsAreRead) {
  Run(0xFFF);
  std::vector<TRecord> all = Records();
  ASSERT_EQ(all.size(), 2u) << "the messages without a Cc text are not added";
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
  EXPECT_EQ(all[1].subject, "Meeting notes");

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
}

TEST_F(CollectTest, AStoreThatCannotBeOpenedEndsTheRun) {
  standin_.AddFault("OpenMsgStore", "Personal", MAPI_E_CALL_FAILED);
  Run(DefaultFieldMask());
  EXPECT_TRUE(Records().empty()) << "the later store is not read either";
  EXPECT_TRUE(texts_.empty());
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
