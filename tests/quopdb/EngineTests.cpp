// The engine on its own: its store file in every state a disk can leave it,
// the lock against a second opener, and the records it hands out.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "indexapi/CompareFields.h"
#include "quopdb/IndexEngine.h"
#include "tests/quopdb/ChildProcess.h"
#include "tests/quopdb/IndexUnderTest.h"
#include "tests/quopdb/TestMessages.h"

using namespace testmsg;
using quopdb::TIndexEngine;

namespace {

class TEngineUnderTest : public TIndexUnderTest {
 public:
  explicit TEngineUnderTest(bool tinyHash) : engine_(tinyHash ? 3 : ~std::uint64_t{0}) {}
  ~TEngineUnderTest() override { EXPECT_EQ(engine_.LiveRecords(), 0u) << "records not freed"; }
  bool OpenDB(const std::string& path) override { return engine_.OpenDB(path.c_str()); }
  void CloseDB() override { engine_.CloseDB(); }
  bool AddMsg(const TQuopMsg& msg) override { return engine_.AddMsg(msg); }
  TQuopMsg* FindFirstMsg() override { return engine_.FindFirstMsg(); }
  TQuopMsg* FindNextMsg() override { return engine_.FindNextMsg(); }
  void FreeQuopMsg(TQuopMsg* msg) override { engine_.FreeQuopMsg(msg); }
  std::int32_t GetMsgCount() override { return engine_.GetMsgCount(); }
  void SetMsgSet(const TMsgSet& set) override { engine_.SetMsgSet(set); }
  void CommitDB() override { engine_.CommitDB(); }
  void StopFindMsg() override { engine_.StopFindMsg(); }
  void ClearDB() override { engine_.ClearDB(); }

 private:
  TIndexEngine engine_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

// A closed store with two duplicates and one other message.
std::string MakeStore(const TTempDir& dir) {
  const std::string path = dir.File("temp.dat");
  TIndexEngine engine;
  EXPECT_TRUE(engine.OpenDB(path.c_str()));
  engine.SetMsgSet(Settings(FIELD_SUBJECT));
  for (int i = 0; i < 3; ++i) {
    const std::string id = EntryID('A', i);
    EXPECT_TRUE(engine.AddMsg(Msg(id.c_str(), i == 1 ? "other" : "same")));
  }
  engine.CloseDB();
  return path;
}

// Opens a damaged store: it must open, hold no message and work afterwards.
void ExpectRecreated(const std::string& path) {
  TIndexEngine engine;
  ASSERT_TRUE(engine.OpenDB(path.c_str()));
  EXPECT_EQ(engine.GetMsgCount(), 0);
  EXPECT_EQ(engine.FindFirstMsg(), nullptr);
  const std::string a = EntryID('A', 1), b = EntryID('A', 2);
  ASSERT_TRUE(engine.AddMsg(Msg(a.c_str(), "x")));
  ASSERT_TRUE(engine.AddMsg(Msg(b.c_str(), "x")));
  int n = 0;
  for (TQuopMsg* m = engine.FindFirstMsg(); m; m = engine.FindNextMsg(), ++n)
    engine.FreeQuopMsg(m);
  EXPECT_EQ(n, 2);
}

TEST(StoreFileTest, DamagedStoresAreRecreated) {
  struct TDamage {
    const char* what;
    std::string (*damage)(std::string);
  };
  const TDamage cases[] = {
      {"empty file", [](std::string) { return std::string(); }},
      {"header cut", [](std::string s) { return s.substr(0, 30); }},
      {"last block cut", [](std::string s) { return s.substr(0, s.size() - 20); }},
      {"foreign file", [](std::string s) { return std::string(s.size(), 'Z'); }},
      {"text byte flipped", [](std::string s) { s[s.size() - 30] ^= 0x20; return s; }},
      {"header count too big", [](std::string s) { s[16] = 9; return s; }},
      {"block length huge",
       [](std::string s) { s[64 + 3] = '\x7f'; return s; }},
  };
  for (const TDamage& c : cases) {
    SCOPED_TRACE(c.what);
    TTempDir dir;
    const std::string path = MakeStore(dir);
    WriteFile(path, c.damage(ReadFile(path)));
    ExpectRecreated(path);
  }
}

TEST(StoreFileTest, RandomDamageIsEitherHarmlessOrRecreated) {
  TTempDir dir;
  const std::string path = MakeStore(dir);
  const std::string good = ReadFile(path);
  std::mt19937 rng(20261210);
  for (int round = 0; round < 300; ++round) {
    std::string bad = good;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int f = 0; f < flips; ++f) bad[rng() % bad.size()] ^= static_cast<char>(1 + rng() % 255);
    if (round % 3 == 0) bad.resize(rng() % bad.size());
    WriteFile(path, bad);
    TIndexEngine engine;
    ASSERT_TRUE(engine.OpenDB(path.c_str()));
    const std::int32_t count = engine.GetMsgCount();
    ASSERT_TRUE(count == 0 || count == 3) << "round " << round;
    for (TQuopMsg* m = engine.FindFirstMsg(); m; m = engine.FindNextMsg()) {
      EXPECT_STREQ(m->szSubject, "same");
      engine.FreeQuopMsg(m);
    }
  }
}

TEST(StoreFileTest, MissingFileIsCreatedAndUncommittedTailDropped) {
  TTempDir dir;
  const std::string path = dir.File("temp.dat");
  {
    TIndexEngine engine;
    ASSERT_TRUE(engine.OpenDB(path.c_str()));
    EXPECT_EQ(engine.GetMsgCount(), 0);
  }
  const std::string committed = ReadFile(MakeStore(dir));
  // Bytes past the committed end, as a crash while writing leaves them.
  WriteFile(path, committed + std::string(100, '\x01'));
  TIndexEngine engine;
  ASSERT_TRUE(engine.OpenDB(path.c_str()));
  EXPECT_EQ(engine.GetMsgCount(), 3);
  engine.CloseDB();
  EXPECT_EQ(ReadFile(path), committed) << "close leaves the committed store";
}

TEST(StoreFileTest, MessagesLargerThanAReadChunkSurviveAReopen) {
  TTempDir dir;
  const std::string path = dir.File("temp.dat");
  const std::string huge(5u << 20, 'h');  // past the scan chunk and the block cache
  const std::string a = EntryID('A', 1), b = EntryID('A', 2), c = EntryID('A', 3);
  {
    TIndexEngine engine;
    ASSERT_TRUE(engine.OpenDB(path.c_str()));
    engine.SetMsgSet(Settings(FIELD_SUBJECT));
    ASSERT_TRUE(engine.AddMsg(Msg(a.c_str(), "small")));
    ASSERT_TRUE(engine.AddMsg(Msg(b.c_str(), huge.c_str())));
    ASSERT_TRUE(engine.AddMsg(Msg(c.c_str(), huge.c_str())));
  }
  TIndexEngine engine;
  ASSERT_TRUE(engine.OpenDB(path.c_str()));
  engine.SetMsgSet(Settings(FIELD_SUBJECT));
  ASSERT_EQ(engine.GetMsgCount(), 3);
  int n = 0;
  for (TQuopMsg* m = engine.FindFirstMsg(); m; m = engine.FindNextMsg(), ++n) {
    EXPECT_EQ(std::strlen(m->szSubject), huge.size());
    engine.FreeQuopMsg(m);
  }
  EXPECT_EQ(n, 2);
}

TEST(StoreFileTest, SecondOpenerIsRefusedUntilTheFirstCloses) {
  TTempDir dir;
  const std::string path = MakeStore(dir);
  TIndexEngine first, second;
  ASSERT_TRUE(first.OpenDB(path.c_str()));
  EXPECT_FALSE(second.OpenDB(path.c_str()));
  const std::string id = EntryID('A', 9);
  EXPECT_FALSE(second.AddMsg(Msg(id.c_str(), "x")));
  EXPECT_EQ(first.GetMsgCount(), 3) << "the refused opener did no harm";
  first.CloseDB();
  ASSERT_TRUE(second.OpenDB(path.c_str()));
  EXPECT_EQ(second.GetMsgCount(), 3);
}

TEST(StoreFileTest, AnotherProcessCannotOpenAStoreInUse) {
  TTempDir dir;
  const std::string path = MakeStore(dir);
  const std::vector<std::string> args = {"--store", path, "--messages", "10"};
  {
    TIndexEngine engine;
    ASSERT_TRUE(engine.OpenDB(path.c_str()));
    // The benchmark opens the store through the library, in a process of its own.
    EXPECT_EQ(RunProgramBeside("index_bench", args), 1) << "refused while in use";
    EXPECT_EQ(engine.GetMsgCount(), 3);
  }
  EXPECT_EQ(RunProgramBeside("index_bench", args), 0) << "free again once closed";
}

TEST(EngineTest, RecordsLeftUnfreedAreReleasedWithTheEngine) {
  TTempDir dir;
  const std::string path = MakeStore(dir);
  TIndexEngine engine;
  ASSERT_TRUE(engine.OpenDB(path.c_str()));
  engine.SetMsgSet(Settings(FIELD_SUBJECT));
  TQuopMsg* kept = engine.FindFirstMsg();
  ASSERT_NE(kept, nullptr);
  TQuopMsg* at = engine.GetMsgAt(1);
  ASSERT_NE(at, nullptr);
  EXPECT_STREQ(at->szSubject, "other");
  EXPECT_EQ(at->nIndex, 1);
  EXPECT_EQ(engine.GetMsgAt(3), nullptr);
  EXPECT_EQ(engine.GetMsgAt(-1), nullptr);
  engine.ClearDB();
  engine.CloseDB();
  EXPECT_STREQ(kept->szSubject, "same") << "a record outlives clear and close";
  EXPECT_EQ(engine.LiveRecords(), 2u);
  TQuopMsg foreign{};
  engine.FreeQuopMsg(&foreign);  // not ours: ignored
  engine.FreeQuopMsg(at);
  EXPECT_EQ(engine.LiveRecords(), 1u);
}  // `kept` goes with the engine; the sanitizer build would report a leak

TEST(EngineTest, SettingsAreCopiedDuringTheCall) {
  TIndexEngine engine;
  {
    std::string ids = EntryID('F', 1) + "," + EntryID('F', 2);
    TMsgSet set = Settings(FIELD_SUBJECT);
    set.szSelEntryID = ids.data();
    engine.SetMsgSet(set);
    ids.assign(ids.size(), 'x');  // the caller's buffer changes and dies
  }
  EXPECT_EQ(engine.SelectedEntryIDs(), EntryID('F', 1) + "," + EntryID('F', 2));
  TMsgSet none = Settings(FIELD_SUBJECT);
  none.szSelEntryID = nullptr;
  engine.SetMsgSet(none);
  EXPECT_EQ(engine.SelectedEntryIDs(), "");
}

TEST(EngineTest, ResidentMemoryStaysSmallPerMessage) {
  TTempDir dir;
  TIndexEngine engine;
  ASSERT_TRUE(engine.OpenDB(dir.File("temp.dat").c_str()));
  std::string id;
  for (int i = 0; i < 200000; ++i) {
    id = EntryID('A', i);
    const std::string subject = "Subject " + std::to_string(i % 150000);
    ASSERT_TRUE(engine.AddMsg(Msg(id.c_str(), subject.c_str())));
  }
  EXPECT_LE(engine.ResidentBytes() / 200000, 32u);
  TQuopMsg* m = engine.FindFirstMsg();
  ASSERT_NE(m, nullptr);
  EXPECT_LE(engine.ResidentBytes() / 200000, 32u) << "while searching";
  engine.FreeQuopMsg(m);
}

}  // namespace

std::unique_ptr<TIndexUnderTest> MakeIndexUnderTest(bool tinyHash) {
  return std::make_unique<TEngineUnderTest>(tinyHash);
}
