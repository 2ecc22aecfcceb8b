// The results loader against QuopDB.dll: what it hands over, in which order,
// its progress steps, its end report, and stopping it at any point.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "mapi/QueueDispatcher.h"
#include "tests/quopdb/ChildProcess.h"
#include "tests/quopdb/TestMessages.h"
#include "ui/EmailList.h"
#include "ui/uLoadEmails.h"

using namespace testmsg;

namespace {

// Runs every event queued so far on this thread.
void Drain(TQueueDispatcher& dispatcher) {
  dispatcher.PumpUntil([] { return false; }, std::chrono::milliseconds(0));
}

struct TDelivered {
  std::string entryID;
  bool bFirst;
  std::int32_t nIndex;
  bool operator==(const TDelivered&) const = default;
};

// What the owner saw, in the order the events ran.
struct TOwner {
  std::vector<TDelivered> records;
  std::vector<std::size_t> batchSizes;
  std::vector<std::size_t> recordsAtStep;  // records received when each step came
  int terminations = 0;
  bool eventAfterEnd = false;
  TEmailList list;

  TLoadEmailsEvents Events() {
    TLoadEmailsEvents events;
    events.OnAddEmails = [this](std::vector<TOwnedQuopMsg>& batch) {
      eventAfterEnd |= terminations > 0;
      batchSizes.push_back(batch.size());
      for (const TOwnedQuopMsg& m : batch) {
        const TQuopMsg& r = m.Get();
        records.push_back({r.szEntryID ? r.szEntryID : "", r.bFirst != 0, r.nIndex});
        list.AddEmail(r);
      }
    };
    events.OnProgressStep = [this] {
      eventAfterEnd |= terminations > 0;
      recordsAtStep.push_back(records.size());
    };
    events.OnTerminate = [this] { ++terminations; };
    return events;
  }
};

// An index holding `groups` duplicate groups of 2 to 4 messages of one
// folder, added interleaved round by round, with a message of its own after
// every group member of the first round. Nothing is received, so each group keeps its
// earliest-added message and the groups come in the order of their first
// messages.
class LoadEmailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db_.Init(BesideTestProgram("QuopDB.dll")));
    ASSERT_TRUE(db_.OpenDB(dir_.File("temp.dat")));
    db_.SetMsgSet(Settings(DefaultFieldMask()));
    db_.ClearDB();
  }
  void TearDown() override { db_.CloseDB(); }

  static int GroupSize(int g) { return 2 + g % 3; }
  static std::string Id(int g, int member) { return EntryID('A', g * 10 + member); }

  void Fill(int groups) {
    std::vector<std::string> subjects;
    for (int g = 0; g < groups; ++g) subjects.push_back("Subject " + std::to_string(g));
    for (int member = 0; member < 4; ++member)
      for (int g = 0; g < groups; ++g) {
        if (member >= GroupSize(g)) continue;
        ASSERT_TRUE(db_.AddMsg(Msg(Id(g, member).c_str(), subjects[g].c_str())));
        if (member == 0) {
          const std::string single = EntryID('A', 100000 + g);
          const std::string subject = "Alone " + std::to_string(g);
          ASSERT_TRUE(db_.AddMsg(Msg(single.c_str(), subject.c_str())));
        }
      }
    db_.CommitDB();
  }

  // The entry identifiers and bFirst flags the index must return.
  static std::vector<std::pair<std::string, bool>> Expected(int groups) {
    std::vector<std::pair<std::string, bool>> expected;
    for (int g = 0; g < groups; ++g)
      for (int member = 0; member < GroupSize(g); ++member)
        expected.emplace_back(Id(g, member), member == 0);
    return expected;
  }

  static std::vector<std::pair<std::string, bool>> Seen(const TOwner& owner) {
    std::vector<std::pair<std::string, bool>> seen;
    for (const TDelivered& d : owner.records) seen.emplace_back(d.entryID, d.bFirst);
    return seen;
  }

  // What was delivered is the start of the expected stream.
  static void ExpectStartOf(const TOwner& owner, const std::vector<std::pair<std::string, bool>>& expected) {
    ASSERT_FALSE(owner.records.empty());
    ASSERT_LE(owner.records.size(), expected.size());
    EXPECT_EQ(Seen(owner), decltype(Seen(owner))(expected.begin(), expected.begin() + owner.records.size()));
  }

  // Runs a loader over the index with `events` on this thread until it has
  // reported its end, joins it and runs what it left queued; the end must be
  // reported exactly once. `starting` sees the loader before it starts.
  void RunLoader(const TOwner& owner, TLoadEmailsEvents events,
                 const std::function<void(TLoadEmails&)>& starting = nullptr) {
    TQueueDispatcher dispatcher;
    TLoadEmails loader(db_, dispatcher, std::move(events));
    if (starting) starting(loader);
    loader.Start();
    ASSERT_TRUE(dispatcher.PumpUntil([&] { return owner.terminations > 0; }));
    loader.WaitFor();
    Drain(dispatcher);
    EXPECT_EQ(owner.terminations, 1);
  }

  TTempDir dir_;
  TQuopDB db_;
};

TEST_F(LoadEmailsTest, DeliversEveryRecordInOrderAndEndsOnce) {
  constexpr int groups = 700;
  Fill(groups);
  const auto expected = Expected(groups);
  TOwner owner;
  RunLoader(owner, owner.Events());
  if (HasFatalFailure()) return;

  EXPECT_FALSE(owner.eventAfterEnd);
  EXPECT_EQ(Seen(owner), expected);
  ASSERT_FALSE(owner.records.empty());
  EXPECT_EQ(owner.records.back().nIndex, db_.GetMsgCount());
  for (std::size_t size : owner.batchSizes) {
    EXPECT_GE(size, 1u);
    EXPECT_LE(size, 256u);
  }

  // The window's list built from the batches has one group row per group.
  ASSERT_EQ(owner.list.GroupCount(), static_cast<std::size_t>(groups));
  for (int g = 0; g < groups; ++g) {
    const TEmailNode& row = *owner.list.Roots()[g];
    ASSERT_EQ(row.Children.size(), static_cast<std::size_t>(GroupSize(g))) << g;
    EXPECT_EQ(row.Data.txMsg.szEntryID, Id(g, 0));
  }

  // One step whenever nIndex * 50 / count passes the step counter, at most
  // one per record, and each after the record that caused it was read.
  const std::int64_t count = db_.GetMsgCount();
  std::size_t expectedSteps = 0;
  std::vector<std::size_t> causedBy;
  for (std::size_t i = 0, step = 1; i < owner.records.size(); ++i)
    if (owner.records[i].nIndex * 50 / count > static_cast<std::int64_t>(step)) {
      ++step;
      ++expectedSteps;
      causedBy.push_back(i + 1);
    }
  EXPECT_EQ(owner.recordsAtStep.size(), expectedSteps);
  EXPECT_LE(owner.recordsAtStep.size(), 50u);
  EXPECT_GE(owner.recordsAtStep.size(), 40u) << "progress reported over the whole run";
  for (std::size_t s = 1; s < owner.recordsAtStep.size(); ++s)
    EXPECT_LE(owner.recordsAtStep[s - 1], owner.recordsAtStep[s]);
  // A step is posted before the batch holding its record is handed over.
  for (std::size_t s = 0; s < owner.recordsAtStep.size() && s < causedBy.size(); ++s)
    EXPECT_LT(owner.recordsAtStep[s], causedBy[s]) << "step " << s;
}

TEST_F(LoadEmailsTest, NothingToReadEndsOnceWithoutRecords) {
  const struct {
    const char* name;
    void (*fill)(TQuopDB&);
  } cases[] = {
      {"empty index", [](TQuopDB&) {}},
      {"messages without duplicates",
       [](TQuopDB& db) {
         for (int i = 0; i < 20; ++i) {
           const std::string id = EntryID('C', i), subject = "Only " + std::to_string(i);
           ASSERT_TRUE(db.AddMsg(Msg(id.c_str(), subject.c_str())));
         }
         db.CommitDB();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    db_.ClearDB();
    c.fill(db_);
    TOwner owner;
    RunLoader(owner, owner.Events());
    EXPECT_TRUE(owner.records.empty());
    EXPECT_TRUE(owner.recordsAtStep.empty());
  }
}

TEST_F(LoadEmailsTest, TerminateDuringTheLoadStopsEarlyAndEndsOnce) {
  constexpr int groups = 1500;
  Fill(groups);
  const auto expected = Expected(groups);
  for (bool stopFind : {false, true}) {
    SCOPED_TRACE(stopFind ? "with StopFindMsg" : "Terminate alone");
    TOwner owner;
    TLoadEmails* self = nullptr;
    TLoadEmailsEvents events = owner.Events();
    // The window stops the loader while it holds the first batch.
    events.OnAddEmails = [&, add = events.OnAddEmails](std::vector<TOwnedQuopMsg>& batch) {
      add(batch);
      self->Terminate();
      if (stopFind) db_.StopFindMsg();
    };
    RunLoader(owner, std::move(events), [&](TLoadEmails& loader) { self = &loader; });
    if (HasFatalFailure()) return;

    EXPECT_FALSE(owner.eventAfterEnd);
    EXPECT_EQ(owner.batchSizes.size(), 1u) << "no batch after the stop";
    EXPECT_LT(owner.records.size(), expected.size()) << "stopped early";
    ExpectStartOf(owner, expected);
  }
}

// Queues events and lets a test wait until a posted event meets a condition.
class TWatchedDispatcher : public TEventDispatcher {
 public:
  void Post(std::function<void()> event) override {
    queue.Post(std::move(event));
    {
      std::lock_guard<std::mutex> hold(lock_);
      ++posts_;
    }
    posted_.notify_all();
  }
  // False when ten seconds pass first.
  template <typename TCondition>
  bool WaitUntil(TCondition condition) {
    std::unique_lock<std::mutex> hold(lock_);
    return posted_.wait_for(hold, std::chrono::seconds(10), condition);
  }

  TQueueDispatcher queue;

 private:
  std::mutex lock_;
  std::condition_variable posted_;
  int posts_ = 0;
};

// The loader destroyed while its first batch waits unrun in the queue.
// `token` is held by the loader's events and by each batch event posted.
TEST_F(LoadEmailsTest, DestroyedWithABatchUndelivered) {
  constexpr int groups = 400;
  Fill(groups);
  const auto expected = Expected(groups);
  for (bool pumpAfterwards : {false, true}) {
    SCOPED_TRACE(pumpAfterwards ? "the batch runs later" : "the batch is thrown away");
    auto token = std::make_shared<int>(0);
    TOwner owner;
    {
      TWatchedDispatcher dispatcher;
      {
        TLoadEmailsEvents events = owner.Events();
        events.OnAddEmails = [token, add = events.OnAddEmails](std::vector<TOwnedQuopMsg>& b) {
          add(b);
        };
        TLoadEmails loader(db_, dispatcher, std::move(events));
        loader.Start();
        // Held here, by the loader's events, and now by a posted batch.
        ASSERT_TRUE(dispatcher.WaitUntil([&] { return token.use_count() > 2; }));
      }  // the loader terminates and its thread ends, nothing pumped
      EXPECT_GE(token.use_count(), 2) << "the posted batch lives on in the queue";
      if (pumpAfterwards) {
        Drain(dispatcher.queue);
        EXPECT_EQ(owner.terminations, 1);
        EXPECT_EQ(owner.batchSizes.size(), 1u);
        SCOPED_TRACE("the batch was intact when it ran");
        ExpectStartOf(owner, expected);
      }
    }  // the queue goes with whatever is left in it
    EXPECT_EQ(token.use_count(), 1) << "nothing still holds a batch";
    if (!pumpAfterwards) {
      EXPECT_TRUE(owner.records.empty());
    }
  }
}

// The loader reads ahead while the owner takes a batch, but never more than
// one batch waits for the owner: an owner that takes nothing holds it up.
TEST_F(LoadEmailsTest, OneBatchAtATimeWaitsForTheOwner) {
  constexpr int groups = 400;  // well over three batches of records
  Fill(groups);
  auto token = std::make_shared<int>(0);
  TOwner owner;
  TWatchedDispatcher dispatcher;
  TLoadEmailsEvents events = owner.Events();
  events.OnAddEmails = [token, add = events.OnAddEmails](std::vector<TOwnedQuopMsg>& b) { add(b); };
  TLoadEmails loader(db_, dispatcher, std::move(events));
  loader.Start();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    // Held here, by the loader's events, and by each batch posted unrun.
    ASSERT_TRUE(dispatcher.WaitUntil([&] { return token.use_count() > 2; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(token.use_count(), 3) << "batches posted while the first waits";
    // Exactly the one batch: draining the queue could also take the batches
    // the loader posts meanwhile, and leave the next round nothing to see.
    const std::size_t taken = owner.batchSizes.size();
    ASSERT_TRUE(dispatcher.queue.PumpUntil([&] { return owner.batchSizes.size() > taken; },
                                           std::chrono::seconds(10)));
  }
  ASSERT_TRUE(dispatcher.queue.PumpUntil([&] { return owner.terminations > 0; }));
  loader.WaitFor();
  Drain(dispatcher.queue);
  EXPECT_EQ(owner.terminations, 1);
  EXPECT_EQ(Seen(owner), Expected(groups));
  EXPECT_FALSE(owner.eventAfterEnd);
}

}  // namespace
