#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "support/WinHandles.h"
#include "index/uDB.h"
#include "tests/index/FakeLibrary.h"
#if defined(__i386__)
#include "tests/index/StackProbe.h"
#endif

namespace {

constexpr const char* kExportNames[12] = {
    "OpenDB",   "CloseDB",  "AddMsg",      "FindFirstMsg", "FindNextMsg", "FreeQuopMsg",
    "GetMsgAt", "CommitDB", "GetMsgCount", "SetMsgSet",    "StopFindMsg", "ClearDB"};

// The wrapper's entries in the library's order.
std::array<const void*, 12> Entries(const TQuopDB& db) {
  const TQuopDBExports& e = db.Exports();
  auto address = [](auto fn) { return reinterpret_cast<const void*>(fn); };
  return {address(e.FOpenDB),       address(e.FCloseDB),     address(e.FAddMsg),
          address(e.FFindFirstMsg), address(e.FFindNextMsg), address(e.FFreeQuopMsg),
          address(e.FGetMsgAt),     address(e.FCommitDB),    address(e.FGetMsgCount),
          address(e.FSetMsgSet),    address(e.FStopFindMsg), address(e.FClearDB)};
}

// The first nResolved entries hold the library's exports, the others are null.
void ExpectResolvedPrefix(const TQuopDB& db, int nResolved) {
  const auto entries = Entries(db);
  for (int i = 0; i < 12; ++i) {
    const void* expected =
        i < nResolved ? reinterpret_cast<const void*>(GetProcAddress(db.Handle(), kExportNames[i]))
                      : nullptr;
    EXPECT_EQ(entries[i], expected) << kExportNames[i];
    if (i < nResolved) {
      EXPECT_NE(entries[i], nullptr) << kExportNames[i];
    }
  }
}

bool IsLoaded(const char* szFake) { return GetModuleHandleA((std::string(szFake) + ".dll").c_str()); }

TQuopMsg MsgWithResult(std::int32_t nResult) {
  TQuopMsg msg{};
  msg.nIndex = nResult;  // the fake's AddMsg answers it as its result word
  return msg;
}

class WrapperTest : public ::testing::Test {
 protected:
  void TearDown() override { db.UnInit(); }

  // Loads a fake, expecting Init to report bComplete, and empties its log.
  void Load(const char* szFake, bool bComplete = true) {
    ASSERT_EQ(db.Init(FakeLibraryPath(szFake)), bComplete) << szFake;
    ASSERT_NE(db.Handle(), nullptr);
    ClearCallLog(db.Handle());
  }
  std::string Log() const { return CallLog(db.Handle()); }

  TQuopDB db;
};

// Every wrapper answers false, null or 0 and calls nothing.
void ExpectInert(TQuopDB& db) {
  EXPECT_EQ(db.Handle(), nullptr);
  for (const void* entry : Entries(db)) EXPECT_EQ(entry, nullptr);
  EXPECT_FALSE(db.OpenDB("store.dat"));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(db.AddMsg(MsgWithResult(1)));
  EXPECT_EQ(db.FindFirstMsg(), nullptr);
  EXPECT_EQ(db.FindNextMsg(), nullptr);
  EXPECT_EQ(db.GetMsgCount(), 0);
  TMsgSet set{};
  db.SetMsgSet(set);
  db.FreeQuopMsg(nullptr);
  db.CommitDB();
  db.StopFindMsg();
  db.ClearDB();
  db.CloseDB();
}

TEST_F(WrapperTest, WithoutALibraryEverythingAnswersNothing) {
  {
    SCOPED_TRACE("new object");
    ExpectInert(db);
  }
  {
    SCOPED_TRACE("library file missing");
    EXPECT_FALSE(db.Init(FakeLibraryPath("no_such_library")));
    ExpectInert(db);
  }
  {
    SCOPED_TRACE("a loaded library replaced by a missing one");
    Load("fake_quopdb_full");
    EXPECT_FALSE(db.Init(FakeLibraryPath("no_such_library")));
    EXPECT_FALSE(IsLoaded("fake_quopdb_full"));
    ExpectInert(db);
  }
}

TEST_F(WrapperTest, CompleteLibraryResolvesAllTwelveByName) {
  Load("fake_quopdb_full");
  ExpectResolvedPrefix(db, 12);
  EXPECT_FALSE(db.IsOpen());
}

TEST_F(WrapperTest, MissingExportStopsResolvingThere) {
  struct Case { const char* szFake; int nResolved; };
  for (const Case& c : {Case{"fake_quopdb_no_cleardb", 11}, Case{"fake_quopdb_no_findnextmsg", 4}}) {
    SCOPED_TRACE(c.szFake);
    Load(c.szFake, false);
    ExpectResolvedPrefix(db, c.nResolved);
  }
}

TEST_F(WrapperTest, LibraryWithoutClearDBStillOpensAddsAndFinds) {
  Load("fake_quopdb_no_cleardb", false);
  EXPECT_TRUE(db.OpenDB("store.dat"));
  EXPECT_TRUE(db.AddMsg(MsgWithResult(1)));
  EXPECT_NE(db.FindFirstMsg(), nullptr);
  db.ClearDB();
  EXPECT_EQ(Log(), "OpenDB(store.dat);AddMsg;FindFirstMsg;");
}

TEST_F(WrapperTest, EntriesAfterAMissingOneAreNotCalled) {
  Load("fake_quopdb_no_findnextmsg", false);
  ASSERT_TRUE(db.OpenDB("store.dat"));
  EXPECT_NE(db.FindFirstMsg(), nullptr);
  EXPECT_EQ(db.FindNextMsg(), nullptr);
  EXPECT_EQ(db.GetMsgCount(), 0);
  db.CommitDB();
  db.ClearDB();
  EXPECT_EQ(Log(), "OpenDB(store.dat);FindFirstMsg;");
}

TEST_F(WrapperTest, OpenDBOnAnOpenIndexClosesFirst) {
  Load("fake_quopdb_full");
  EXPECT_TRUE(db.OpenDB("a.dat"));
  EXPECT_TRUE(db.OpenDB("b.dat"));
  EXPECT_TRUE(db.IsOpen());
  EXPECT_EQ(Log(), "OpenDB(a.dat);CloseDB;OpenDB(b.dat);");
}

TEST_F(WrapperTest, CloseDBCallsTheLibraryOnlyWhenOpen) {
  Load("fake_quopdb_full");
  db.CloseDB();
  EXPECT_EQ(Log(), "");
  ASSERT_TRUE(db.OpenDB("a.dat"));
  db.CloseDB();
  EXPECT_FALSE(db.IsOpen());
  db.CloseDB();
  EXPECT_EQ(Log(), "OpenDB(a.dat);CloseDB;");
}

TEST_F(WrapperTest, OnAClosedIndexAddAndFindDoNotReachTheLibrary) {
  Load("fake_quopdb_full");
  EXPECT_FALSE(db.AddMsg(MsgWithResult(1)));
  EXPECT_EQ(db.FindFirstMsg(), nullptr);
  EXPECT_EQ(db.FindNextMsg(), nullptr);
  EXPECT_EQ(Log(), "");
}

TEST_F(WrapperTest, FailedOpenLeavesTheIndexClosedButForwardsTheRest) {
  Load("fake_quopdb_full");
  EXPECT_FALSE(db.OpenDB("fail"));  // the fake answers 0xFFFFFF00: low byte 0
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(db.AddMsg(MsgWithResult(1)));
  EXPECT_EQ(db.FindFirstMsg(), nullptr);
  db.CloseDB();
  TMsgSet set{};
  char szIDs[] = "0A";
  set.szSelEntryID = szIDs;
  db.SetMsgSet(set);
  db.ClearDB();
  db.CommitDB();
  EXPECT_EQ(db.GetMsgCount(), 0);
  db.StopFindMsg();
  db.FreeQuopMsg(nullptr);
  EXPECT_EQ(Log(), "OpenDB(fail);SetMsgSet(0A);ClearDB;CommitDB;GetMsgCount;StopFindMsg;FreeQuopMsg(-1);");
}

TEST_F(WrapperTest, BooleanResultIsTheLowByte) {
  Load("fake_quopdb_full");
  ASSERT_TRUE(db.OpenDB("a.dat"));
  struct Case { std::int32_t nWord; bool bExpected; };
  const Case cases[] = {{0, false}, {1, true}, {0xFF, true}, {0x100, false},
                        {0x7FFFFF00, false}, {0x12345601, true}};
  for (const Case& c : cases) EXPECT_EQ(db.AddMsg(MsgWithResult(c.nWord)), c.bExpected) << c.nWord;
}

TEST_F(WrapperTest, FoundRecordsComeFromTheLibraryAndGoBack) {
  Load("fake_quopdb_full");
  ASSERT_TRUE(db.OpenDB("a.dat"));
  db.AddMsg(MsgWithResult(1));
  db.AddMsg(MsgWithResult(1));
  EXPECT_EQ(db.GetMsgCount(), 2);
  TQuopMsg* first = db.FindFirstMsg();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->szSubject, "first");
  EXPECT_EQ(first->bFirst, 1);
  db.FreeQuopMsg(first);
  TQuopMsg* second = db.FindNextMsg();
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(second->szSubject, "second");
  EXPECT_EQ(second->bFirst, 0);
  db.FreeQuopMsg(second);
  EXPECT_EQ(db.FindNextMsg(), nullptr);
  EXPECT_EQ(Log(),
            "OpenDB(a.dat);AddMsg;AddMsg;GetMsgCount;FindFirstMsg;FreeQuopMsg(1);"
            "FindNextMsg;FreeQuopMsg(2);FindNextMsg;");
}

// A record whose every field differs from its neighbours'.
struct TDistinctMsg {
  char szStrings[9][4] = {"id", "snd", "@", "sub", "att", "to", "cc", "bcc", "fld"};
  TQuopMsg msg;
  explicit TDistinctMsg(std::int32_t nSeed) {
    char** fields[9] = {&msg.szEntryID, &msg.szSenderName, &msg.szSenderEmail,
                        &msg.szSubject, &msg.szAttached,   &msg.szTo,
                        &msg.szCC,      &msg.szBCC,        &msg.szFolder};
    for (int i = 0; i < 9; ++i) *fields[i] = szStrings[i];
    msg.dtRecivedTime = 45351.25 + nSeed;
    msg.dtSendTime = 45350.75 + nSeed;
    msg.lBodyCrc = static_cast<std::int32_t>(0x89ABCDEF) + nSeed;
    msg.nMsgSize = 0x01020304 + nSeed;
    msg.bRead = 0x7E;
    msg.bFirst = 0x81;
    msg.nIndex = 0x11223301 + (nSeed << 8);  // low byte 1: the fake answers true
  }
};

void ExpectSameFields(const TQuopMsg& got, const TQuopMsg& sent) {
  EXPECT_EQ(got.szEntryID, sent.szEntryID);
  EXPECT_EQ(got.szSenderName, sent.szSenderName);
  EXPECT_EQ(got.szSenderEmail, sent.szSenderEmail);
  EXPECT_EQ(got.szSubject, sent.szSubject);
  EXPECT_EQ(got.szAttached, sent.szAttached);
  EXPECT_EQ(got.dtRecivedTime, sent.dtRecivedTime);
  EXPECT_EQ(got.dtSendTime, sent.dtSendTime);
  EXPECT_EQ(got.szTo, sent.szTo);
  EXPECT_EQ(got.szCC, sent.szCC);
  EXPECT_EQ(got.szBCC, sent.szBCC);
  EXPECT_EQ(got.szFolder, sent.szFolder);
  EXPECT_EQ(got.lBodyCrc, sent.lBodyCrc);
  EXPECT_EQ(got.nMsgSize, sent.nMsgSize);
  EXPECT_EQ(got.bRead, sent.bRead);
  EXPECT_EQ(got.bFirst, sent.bFirst);
  EXPECT_EQ(got.nIndex, sent.nIndex);
}

TEST_F(WrapperTest, RecordsPassedByValueArriveIntact) {
  Load("fake_quopdb_full");
  ASSERT_TRUE(db.OpenDB("a.dat"));
  const TDistinctMsg sent(3);
  EXPECT_TRUE(db.AddMsg(sent.msg));
  ExpectSameFields(LastMsg(db.Handle()), sent.msg);

  char szIDs[] = "0A,0B";
  TMsgSet set;
  set.szSelEntryID = szIDs;
  set.nSelFields = 0x0A5C;
  set.dtReceivedFrom = 45000.5;
  set.dtReceivedTo = 45351.0;
  set.bSearchOverFolders = 1;
  db.SetMsgSet(set);
  const TMsgSet& got = LastMsgSet(db.Handle());
  EXPECT_EQ(got.szSelEntryID, szIDs);
  EXPECT_EQ(got.nSelFields, 0x0A5C);
  EXPECT_EQ(got.dtReceivedFrom, 45000.5);
  EXPECT_EQ(got.dtReceivedTo, 45351.0);
  EXPECT_EQ(got.bSearchOverFolders, 1);
}

#if defined(__i386__)
TEST_F(WrapperTest, TheLibraryRemovesRecordsPassedByValue) {
  Load("fake_quopdb_full");
  const TDistinctMsg sent(0);
  TMsgSet set{};
  EXPECT_EQ(BytesLeftOnStack(reinterpret_cast<const void*>(db.Exports().FAddMsg), &sent.msg, 18), 0);
  EXPECT_EQ(BytesLeftOnStack(reinterpret_cast<const void*>(db.Exports().FSetMsgSet), &set, 8), 0);
  ExpectSameFields(LastMsg(db.Handle()), sent.msg);
}
#endif

TEST_F(WrapperTest, ManyCallsThroughTheWrapperKeepTheStack) {
  Load("fake_quopdb_full");
  ASSERT_TRUE(db.OpenDB("a.dat"));
  char szIDs[] = "0A";
  TMsgSet set{};
  set.szSelEntryID = szIDs;
  // A drift of even 4 bytes per call would leave the stack after 300,000 calls.
  for (std::int32_t i = 0; i < 100000; ++i) {
    const TDistinctMsg sent(i);
    ASSERT_TRUE(db.AddMsg(sent.msg)) << i;
    set.nSelFields = i;
    db.SetMsgSet(set);
    if (i % 9973 == 0) {
      ExpectSameFields(LastMsg(db.Handle()), sent.msg);
      ASSERT_EQ(LastMsgSet(db.Handle()).nSelFields, i);
    }
  }
  EXPECT_EQ(db.GetMsgCount(), 100000);
}

TEST_F(WrapperTest, UnInitClosesAndUnloads) {
  Load("fake_quopdb_full");
  TModuleHandle keep(LoadLibraryA(FakeLibraryPath("fake_quopdb_full").c_str()));
  ASSERT_TRUE(db.OpenDB("a.dat"));
  db.UnInit();
  EXPECT_FALSE(db.IsOpen());
  ExpectInert(db);
  db.UnInit();
  EXPECT_EQ(CallLog(keep.Get()), "OpenDB(a.dat);CloseDB;");
  keep.Reset();
  EXPECT_FALSE(IsLoaded("fake_quopdb_full"));
}

TEST_F(WrapperTest, DestructionClosesAndUnloads) {
  TModuleHandle keep(LoadLibraryA(FakeLibraryPath("fake_quopdb_full").c_str()));
  ClearCallLog(keep.Get());
  {
    TQuopDB local;
    ASSERT_TRUE(local.Init(FakeLibraryPath("fake_quopdb_full")));
    ASSERT_TRUE(local.OpenDB("a.dat"));
  }
  EXPECT_EQ(CallLog(keep.Get()), "OpenDB(a.dat);CloseDB;");
  keep.Reset();
  EXPECT_FALSE(IsLoaded("fake_quopdb_full"));
}

TEST_F(WrapperTest, InitAgainReleasesTheFormerLibrary) {
  Load("fake_quopdb_full");
  ASSERT_TRUE(db.OpenDB("a.dat"));
  Load("fake_quopdb_no_cleardb", false);
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(IsLoaded("fake_quopdb_full"));
  ExpectResolvedPrefix(db, 11);
}

TEST_F(WrapperTest, ExceptionInsideAddMsgGivesFalse) {
  for (const char* szFake : {"fake_quopdb_raising", "fake_quopdb_faulting"}) {
    SCOPED_TRACE(szFake);
    Load(szFake);
    ASSERT_TRUE(db.OpenDB("a.dat"));
    const TDistinctMsg sent(0);
    EXPECT_FALSE(db.AddMsg(sent.msg));
    EXPECT_FALSE(db.AddMsg(sent.msg));
    EXPECT_TRUE(db.IsOpen());
    db.CommitDB();
    EXPECT_EQ(Log(), "OpenDB(a.dat);AddMsg;AddMsg;CommitDB;");
  }
}

TEST(WrapperDefaultPath, EmptyPathLoadsQuopDBNextToTheProgram) {
  const std::string strLibrary = TestFolder() + "\\QuopDB.dll";
  if (GetFileAttributesA(strLibrary.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << strLibrary << " is not built";
  }
  TQuopDB db;
  ASSERT_TRUE(db.Init(""));
  char szLoaded[MAX_PATH] = {};
  GetModuleFileNameA(db.Handle(), szLoaded, MAX_PATH);
  EXPECT_STRCASEEQ(szLoaded, strLibrary.c_str());
  ExpectResolvedPrefix(db, 12);
}

}  // namespace
