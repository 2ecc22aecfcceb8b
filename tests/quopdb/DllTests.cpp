// QuopDB.dll across its binary interface, loaded by the add-in's wrapper:
// the shared matching cases run through here, plus what only the DLL shows.
#include <gtest/gtest.h>

#include <windows.h>

#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "tests/quopdb/IndexUnderTest.h"
#include "tests/quopdb/ChildProcess.h"
#include "tests/quopdb/TestMessages.h"

using namespace testmsg;

namespace {


class TDllUnderTest : public TIndexUnderTest {
 public:
  explicit TDllUnderTest(bool tinyHash) {
    loaded_ = db_.Init(BesideTestProgram(tinyHash ? "QuopDBTinyHash.dll" : "QuopDB.dll"));
    EXPECT_TRUE(loaded_);
  }
  bool OpenDB(const std::string& path) override { return db_.OpenDB(path); }
  void CloseDB() override { db_.CloseDB(); }
  bool AddMsg(const TQuopMsg& msg) override { return db_.AddMsg(msg); }
  TQuopMsg* FindFirstMsg() override { return db_.FindFirstMsg(); }
  TQuopMsg* FindNextMsg() override { return db_.FindNextMsg(); }
  void FreeQuopMsg(TQuopMsg* msg) override { db_.FreeQuopMsg(msg); }
  std::int32_t GetMsgCount() override { return db_.GetMsgCount(); }
  void SetMsgSet(const TMsgSet& set) override { db_.SetMsgSet(set); }
  void CommitDB() override { db_.CommitDB(); }
  void StopFindMsg() override { db_.StopFindMsg(); }
  void ClearDB() override { db_.ClearDB(); }

  TQuopDB& Db() { return db_; }

 private:
  TQuopDB db_;
  bool loaded_ = false;
};

TEST(QuopDBLibraryTest, ResolvesEveryExportAndReadsBackByPosition) {
  TTempDir dir;
  TDllUnderTest dll(false);
  TQuopDB& db = dll.Db();
  ASSERT_NE(db.Exports().FGetMsgAt, nullptr);
  ASSERT_TRUE(db.OpenDB(dir.File("temp.dat")));
  db.ClearDB();
  const std::string id = EntryID('A', 1);
  TQuopMsg m = Msg(id.c_str(), "Quarterly report", "Anna@Example.com", -123456789, "Inbox");
  m.szSenderName = const_cast<char*>("Anna");
  m.szAttached = const_cast<char*>("2:a.pdf");
  m.dtRecivedTime = 45678.25;
  m.dtSendTime = 45678.125;
  m.szTo = const_cast<char*>("Tom");
  m.szCC = const_cast<char*>("Sara");
  m.szBCC = const_cast<char*>("Ola");
  m.nMsgSize = 98765;
  m.bRead = 1;
  ASSERT_TRUE(db.AddMsg(m));
  EXPECT_EQ(db.GetMsgCount(), 1);
  // Every field crossed the stack by value and comes back from the store.
  TQuopMsg* r = db.Exports().FGetMsgAt(0);
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->szEntryID, id.c_str());
  EXPECT_STREQ(r->szSenderName, "Anna");
  EXPECT_STREQ(r->szSenderEmail, "Anna@Example.com");
  EXPECT_STREQ(r->szSubject, "Quarterly report");
  EXPECT_STREQ(r->szAttached, "2:a.pdf");
  EXPECT_EQ(r->dtRecivedTime, 45678.25);
  EXPECT_EQ(r->dtSendTime, 45678.125);
  EXPECT_STREQ(r->szTo, "Tom");
  EXPECT_STREQ(r->szCC, "Sara");
  EXPECT_STREQ(r->szBCC, "Ola");
  EXPECT_STREQ(r->szFolder, "Inbox");
  EXPECT_EQ(r->lBodyCrc, -123456789);
  EXPECT_EQ(r->nMsgSize, 98765);
  EXPECT_EQ(r->bRead, 1);
  db.FreeQuopMsg(r);
  EXPECT_EQ(db.Exports().FGetMsgAt(1), nullptr);
  db.CloseDB();
}

TEST(QuopDBLibraryTest, NullPathAndGarbageCallsAnswerQuietly) {
  TDllUnderTest dll(false);
  TQuopDB& db = dll.Db();
  EXPECT_EQ(db.Exports().FOpenDB(nullptr), 0);
  db.Exports().FFreeQuopMsg(nullptr);
  EXPECT_EQ(db.Exports().FGetMsgAt(-5), nullptr);
  TMsgSet set = Settings(0);
  set.szSelEntryID = nullptr;
  db.SetMsgSet(set);
  EXPECT_EQ(db.GetMsgCount(), 0);
}

}  // namespace

std::unique_ptr<TIndexUnderTest> MakeIndexUnderTest(bool tinyHash) {
  return std::make_unique<TDllUnderTest>(tinyHash);
}
