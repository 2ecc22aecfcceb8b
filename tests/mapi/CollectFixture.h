// The collection run against the stand-in provider: a fixture that runs it
// to its end, pumping its events on the test's thread, and reads back the
// records it added.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "mapi/CnCRC32.h"
#include "mapi/QueueDispatcher.h"
#include "tests/mapi/MapiFixture.h"

inline std::string BesideTest(const char* file) {
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
  bool operator==(const TRecord&) const = default;
};

inline std::string S(const char* s) { return s ? s : ""; }

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

  // The skipped list as "kind|name|reason|error" lines.
  std::vector<std::string> Skips() {
    std::vector<std::string> out;
    for (const TSkippedItem& i : Session().Skipped().Items())
      out.push_back(i.strKind + "|" + i.strName + "|" + i.strReason + "|" + i.strError);
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
