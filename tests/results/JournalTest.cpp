// The treatment journal across a simulated restart: every check reads the
// file back with a fresh reader, as the next start of the program would.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "results/Journal.h"

namespace {

namespace fs = std::filesystem;

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("quop-journal-") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void AppendRaw(const std::string& text) {
    std::ofstream out(TJournalWriter::FileIn(folder_), std::ios::binary | std::ios::app);
    out << text;
  }

  static TJournalEntry Entry(TJournalCommand c, std::string store, std::string folder, std::string id) {
    TJournalEntry e;
    e.command = c;
    e.storeEntryID = "00AA" + store;
    e.storeName = std::move(store);
    e.sourceFolderEntryID = std::move(folder);
    e.entryIDBefore = std::move(id);
    return e;
  }

  fs::path folder_;
};

TEST_F(JournalTest, MoveRunReadsBackAfterRestartWithNewEntryIDs) {
  {
    TJournalWriter w(folder_);
    ASSERT_FALSE(w.StartRun(TJournalCommand::Move, "F0TARGET").empty()) << w.Error();
    // A store name with a tab, a backslash and non-ASCII text must survive.
    const int b1 = w.WriteBatch({Entry(TJournalCommand::Move, "Archiv\t\\Ü", "F1", "M1"),
                                 Entry(TJournalCommand::Move, "Archiv\t\\Ü", "F2", "M2")});
    ASSERT_EQ(b1, 1);
    ASSERT_TRUE(w.MarkBatchDone(b1, {{"M1", "N1"}, {"M2", "N2"}}));
    const int b2 = w.WriteBatch({Entry(TJournalCommand::Move, "Mailbox", "F3", "M3")});
    ASSERT_EQ(b2, 2);
    ASSERT_TRUE(w.MarkBatchDone(b2, {}));
    ASSERT_TRUE(w.EndRun());
  }
  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 0u);
  ASSERT_EQ(j.runs.size(), 1u);
  const TJournalRun& run = j.runs[0];
  EXPECT_EQ(run.command, TJournalCommand::Move);
  EXPECT_EQ(run.targetFolderEntryID, "F0TARGET");
  EXPECT_TRUE(run.Finished());
  EXPECT_FALSE(run.undone);
  ASSERT_EQ(run.batches.size(), 2u);
  ASSERT_EQ(run.batches[0].entries.size(), 2u);
  const TJournalEntry& e = run.batches[0].entries[1];
  EXPECT_EQ(e.storeName, "Archiv\t\\Ü");
  EXPECT_EQ(e.storeEntryID, "00AAArchiv\t\\Ü");
  EXPECT_EQ(e.sourceFolderEntryID, "F2");
  EXPECT_EQ(e.entryIDBefore, "M2");
  EXPECT_EQ(e.entryIDAfter, "N2");
  EXPECT_EQ(e.time.size(), std::string("2026-12-11T00:05:12Z").size());
  EXPECT_EQ(e.time.back(), 'Z');
  // No after-id given: stays empty rather than borrowing another message's.
  EXPECT_EQ(run.batches[1].entries[0].entryIDAfter, "");
}

// A move's new ids are found once the whole treatment is over, so they come
// after later batches' done marks: each still lands on its own batch's
// message, and one naming a batch or message it does not belong to is
// skipped rather than given to another message.
TEST_F(JournalTest, NewEntryIDsWrittenAfterLaterBatchesLandOnTheirOwnBatch) {
  {
    TJournalWriter w(folder_);
    ASSERT_FALSE(w.StartRun(TJournalCommand::SoftDelete, "DELETED").empty()) << w.Error();
    const int b1 = w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F1", "M1"),
                                 Entry(TJournalCommand::SoftDelete, "S", "F1", "M2")});
    ASSERT_TRUE(w.MarkBatchDone(b1, {}));
    const int b2 = w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F2", "M3")});
    ASSERT_TRUE(w.MarkBatchDone(b2, {}));
    ASSERT_TRUE(w.WriteNewIDs({{b2, {"M3", "N3"}}, {b1, {"M2", "N2"}}, {b1, {"M3", "WRONG"}}, {7, {"M1", "WRONG"}}}))
        << w.Error();
    ASSERT_TRUE(w.WriteNewIDs({}));
    ASSERT_TRUE(w.EndRun());
  }
  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 2u);
  ASSERT_EQ(j.runs.size(), 1u);
  EXPECT_TRUE(j.runs[0].Finished());
  ASSERT_EQ(j.runs[0].batches.size(), 2u);
  std::vector<std::pair<std::string, std::string>> ids;
  for (const TJournalBatch& b : j.runs[0].batches)
    for (const TJournalEntry& e : b.entries) ids.emplace_back(e.entryIDBefore, e.entryIDAfter);
  EXPECT_EQ(ids, (std::vector<std::pair<std::string, std::string>>{{"M1", ""}, {"M2", "N2"}, {"M3", "N3"}}));
}

TEST_F(JournalTest, RunCutShortIsUnfinishedAndCanBeMarkedUndoneAfterRestart) {
  std::string id;
  {
    TJournalWriter w(folder_);
    id = w.StartRun(TJournalCommand::SoftDelete, "DELETED");
    const int b1 = w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F1", "M1")});
    ASSERT_TRUE(w.MarkBatchDone(b1, {{"M1", "N1"}}));
    ASSERT_EQ(w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F1", "M2")}), 2);
    // The process dies here: no done mark for batch 2, no end mark.
  }
  auto run = LastJournalRun(folder_);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->runID, id);
  EXPECT_FALSE(run->Finished());
  ASSERT_EQ(run->batches.size(), 2u);
  EXPECT_TRUE(run->batches[0].done);
  EXPECT_FALSE(run->batches[1].done);
  EXPECT_EQ(run->batches[1].entries[0].entryIDBefore, "M2");

  TJournalWriter after(folder_);
  ASSERT_TRUE(after.MarkRunUndone(id)) << after.Error();
  run = LastJournalRun(folder_);
  ASSERT_TRUE(run);
  EXPECT_TRUE(run->undone);
  EXPECT_FALSE(run->Finished());
}

// The search key finds a message of a batch cut short in its target; lines
// written without one (an older journal) still read, with the key empty.
TEST_F(JournalTest, SearchKeyTravelsWithThePlanAndLinesWithoutOneStillRead) {
  {
    TJournalWriter w(folder_);
    w.StartRun(TJournalCommand::SoftDelete, "DELETED");
    TJournalEntry e = Entry(TJournalCommand::SoftDelete, "S", "F1", "M1");
    e.searchKey = "5B01";
    ASSERT_EQ(w.WriteBatch({e}), 1);
  }
  const std::string runID = LastJournalRun(folder_)->runID;
  AppendRaw("P\t" + runID + "\t2\tT\tsoft-delete\tS\tS\tF1\tM2\n");
  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 0u);
  ASSERT_EQ(j.runs.size(), 1u);
  ASSERT_EQ(j.runs[0].batches.size(), 2u);
  EXPECT_EQ(j.runs[0].batches[0].entries[0].searchKey, "5B01");
  EXPECT_EQ(j.runs[0].batches[1].entries[0].entryIDBefore, "M2");
  EXPECT_EQ(j.runs[0].batches[1].entries[0].searchKey, "");
}

// The target's rows that had a message's search key before the treatment
// travel with its plan, so that an undo never takes one of them for it.
TEST_F(JournalTest, RowsThatHadTheKeyBeforeTravelWithThePlan) {
  const std::vector<std::vector<std::string>> cases = {{}, {"00AB"}, {"00AB", "00CD", "00EF"}};
  {
    TJournalWriter w(folder_);
    w.StartRun(TJournalCommand::Move, "T");
    std::vector<TJournalEntry> planned;
    for (std::size_t i = 0; i < cases.size(); ++i) {
      TJournalEntry e = Entry(TJournalCommand::Move, "S", "F1", "M" + std::to_string(i));
      e.searchKey = "5B01";
      e.olderCopies = cases[i];
      planned.push_back(e);
    }
    ASSERT_EQ(w.WriteBatch(planned), 1);
  }
  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 0u);
  ASSERT_EQ(j.runs.size(), 1u);
  ASSERT_EQ(j.runs[0].batches.size(), 1u);
  ASSERT_EQ(j.runs[0].batches[0].entries.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(j.runs[0].batches[0].entries[i].olderCopies, cases[i]) << i;
    EXPECT_EQ(j.runs[0].batches[0].entries[i].searchKey, "5B01");
  }
}

TEST_F(JournalTest, AllBatchesDoneButNoEndMarkIsNotFinished) {
  TJournalWriter w(folder_);
  w.StartRun(TJournalCommand::Move, "T");
  ASSERT_TRUE(w.MarkBatchDone(w.WriteBatch({Entry(TJournalCommand::Move, "S", "F", "M")}), {}));
  // Cut between two batches: the next batch was never planned.
  EXPECT_FALSE(LastJournalRun(folder_)->Finished());
  ASSERT_TRUE(w.EndRun());
  EXPECT_TRUE(LastJournalRun(folder_)->Finished());
}

TEST_F(JournalTest, TruncatedOrMalformedLinesAreSkippedAndCounted) {
  {
    TJournalWriter w(folder_);
    w.StartRun(TJournalCommand::SoftDelete, "DELETED");
    const int b = w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F1", "M1")});
    ASSERT_TRUE(w.MarkBatchDone(b, {{"M1", "N1"}}));
  }
  const std::string runID = LastJournalRun(folder_)->runID;
  AppendRaw("X\tnot a kind\n");                         // unknown kind
  AppendRaw("P\tno-such-run\t1\tT\tmove\tS\tS\tF\tM\n");  // unknown run
  AppendRaw("D\t" + runID + "\tnot-a-number\tT\n");     // bad batch number
  AppendRaw("P\t" + runID + "\t2\tT\tsoft-delete\tS\tS\tF1\tM2\n");
  AppendRaw("D\t" + runID + "\t2");                     // cut off mid-line

  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 4u);
  ASSERT_EQ(j.runs.size(), 1u);
  ASSERT_EQ(j.runs[0].batches.size(), 2u);
  EXPECT_TRUE(j.runs[0].batches[0].done);
  EXPECT_EQ(j.runs[0].batches[0].entries[0].entryIDAfter, "N1");
  // The done mark of batch 2 was cut off, so batch 2 counts as cut short.
  EXPECT_FALSE(j.runs[0].batches[1].done);
  EXPECT_FALSE(j.runs[0].Finished());
}

// A crash can leave a line without its line break. The next write must not
// run on from it: the next run's header, its batches and a later undone mark
// all read back, and the cut line alone is skipped.
TEST_F(JournalTest, WritesAfterALineCutByACrashStartOnALineOfTheirOwn) {
  std::string first;
  {
    TJournalWriter w(folder_);
    first = w.StartRun(TJournalCommand::Move, "T1");
    ASSERT_EQ(w.WriteBatch({Entry(TJournalCommand::Move, "S", "F1", "M1")}), 1);
  }
  AppendRaw("D\t" + first + "\t1");  // cut off mid-line
  std::string second;
  {
    TJournalWriter w(folder_);
    second = w.StartRun(TJournalCommand::SoftDelete, "DELETED");
    ASSERT_FALSE(second.empty()) << w.Error();
    ASSERT_TRUE(w.MarkBatchDone(w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F2", "M2")}), {}));
    ASSERT_TRUE(w.EndRun());
  }
  const auto last = LastJournalRun(folder_);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->runID, second);
  EXPECT_TRUE(last->Finished());
  ASSERT_EQ(last->batches.size(), 1u);
  EXPECT_EQ(last->batches[0].entries.at(0).entryIDBefore, "M2");

  AppendRaw("E\t" + second);  // cut again, then the undone mark
  TJournalWriter after(folder_);
  ASSERT_TRUE(after.MarkRunUndone(second)) << after.Error();
  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 2u);
  ASSERT_EQ(j.runs.size(), 2u);
  EXPECT_FALSE(j.runs[0].batches.at(0).done);
  EXPECT_TRUE(j.runs[1].undone);
}

// A run counts as what its lines prove: a batch whose planned lines failed to
// be written, or that this writer never wrote, cannot be marked done.
TEST_F(JournalTest, ABatchThatWasNotWrittenCannotBeMarkedDone) {
  TJournalWriter w(folder_);
  const std::string id = w.StartRun(TJournalCommand::SoftDelete, "DELETED");
  ASSERT_FALSE(id.empty());
  const int written = w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F1", "M1")});
  ASSERT_EQ(written, 1);
  for (const int batch : {-1, 0, 2, 7}) {
    EXPECT_FALSE(w.MarkBatchDone(batch, {})) << batch;
    EXPECT_FALSE(w.Error().empty()) << batch;
  }
  EXPECT_TRUE(w.MarkBatchDone(written, {})) << w.Error();

  // The file cannot be written any more: the batch's write fails, and so
  // must its done mark, even once the file can be written again.
  fs::rename(TJournalWriter::FileIn(folder_), folder_ / "aside");
  fs::create_directory(TJournalWriter::FileIn(folder_));
  const int failed = w.WriteBatch({Entry(TJournalCommand::SoftDelete, "S", "F1", "M2")});
  EXPECT_EQ(failed, -1);
  fs::remove(TJournalWriter::FileIn(folder_));
  fs::rename(folder_ / "aside", TJournalWriter::FileIn(folder_));
  EXPECT_FALSE(w.MarkBatchDone(failed, {}));
  EXPECT_FALSE(w.MarkBatchDone(2, {}));
  ASSERT_TRUE(w.EndRun());
  const TJournalContents j = ReadJournal(folder_);
  EXPECT_EQ(j.skippedLines, 0u);
  ASSERT_EQ(j.runs.size(), 1u);
  ASSERT_EQ(j.runs[0].batches.size(), 1u);
  EXPECT_TRUE(j.runs[0].Finished());
}

TEST_F(JournalTest, LastRunIsTheLatestAndRunIDsAreUnique) {
  EXPECT_FALSE(LastJournalRun(folder_));  // no file yet
  TJournalWriter w(folder_);
  const std::string first = w.StartRun(TJournalCommand::Delete, "");
  ASSERT_TRUE(w.EndRun());
  TJournalWriter again(folder_);
  const std::string second = again.StartRun(TJournalCommand::Copy, "T2");
  EXPECT_NE(first, second);
  const TJournalContents j = ReadJournal(folder_);
  ASSERT_EQ(j.runs.size(), 2u);
  EXPECT_EQ(j.runs[0].command, TJournalCommand::Delete);
  EXPECT_TRUE(j.runs[0].Finished());
  EXPECT_EQ(LastJournalRun(folder_)->runID, second);
  EXPECT_EQ(LastJournalRun(folder_)->targetFolderEntryID, "T2");
}

TEST_F(JournalTest, CommandsNamesAndWhichCanBeUndone) {
  struct Case {
    TJournalCommand command;
    const char* name;
    bool undoable;
  };
  const Case cases[] = {{TJournalCommand::Delete, "delete", false},
                        {TJournalCommand::SoftDelete, "soft-delete", true},
                        {TJournalCommand::Move, "move", true},
                        {TJournalCommand::Copy, "copy", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(JournalCommandName(c.command), c.name);
    EXPECT_EQ(JournalCommandFromName(c.name), c.command);
    TJournalRun run;
    run.command = c.command;
    EXPECT_EQ(run.Undoable(), c.undoable) << c.name;
  }
  EXPECT_FALSE(JournalCommandFromName("purge"));
}

TEST_F(JournalTest, WritesFailVisiblyWithoutARunOrAWritableFolder) {
  TJournalWriter noRun(folder_);
  EXPECT_EQ(noRun.WriteBatch({}), -1);
  EXPECT_FALSE(noRun.Error().empty());
  EXPECT_FALSE(noRun.MarkBatchDone(1, {}));
  EXPECT_FALSE(noRun.WriteNewIDs({{1, {"M1", "N1"}}}));
  EXPECT_FALSE(noRun.EndRun());

  TJournalWriter missing(folder_ / "no" / "such" / "folder");
  EXPECT_TRUE(missing.StartRun(TJournalCommand::Move, "T").empty());
  EXPECT_FALSE(missing.Error().empty());
  EXPECT_TRUE(missing.CurrentRun().empty());
}

}  // namespace
