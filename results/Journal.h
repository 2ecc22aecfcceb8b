// The treatment journal: a UTF-8 text file that records every treatment run
// message by message, so that the last soft delete or move can be undone even
// after the program was closed or crashed.
//
// One record a line, fields separated by tabs (tabs, line breaks and
// backslashes inside a field are escaped). Kinds of line:
//   R  run id, time, command, target folder entry id      (run header)
//   P  run id, batch, time, command, store entry id, store name,
//      source folder entry id, message entry id before,
//      search key (optional), entry ids of the rows of the target that had
//      that search key before the treatment, space-separated (optional)
//                                                         (planned, written
//      BEFORE the batch is carried out)
//   A  run id, batch, entry id before, entry id after     (new id after a move;
//      with its batch's done mark, or later, once the whole treatment is over)
//   D  run id, batch, time                                (batch done)
//   E  run id, time                                       (run ended)
//   U  run id, time                                       (run undone)
// A batch with planned lines and no done mark was cut short: some, all or
// none of its messages may have been treated; undo checks the stores.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class TJournalCommand { Delete, SoftDelete, Move, Copy };

std::string_view JournalCommandName(TJournalCommand c);
std::optional<TJournalCommand> JournalCommandFromName(std::string_view name);

// One message of a batch as planned; entryIDAfter is empty until known.
struct TJournalEntry {
  std::string time;  // ISO 8601 UTC, "2026-12-11T00:05:12Z"
  TJournalCommand command = TJournalCommand::Delete;
  std::string storeEntryID;
  std::string storeName;
  std::string sourceFolderEntryID;
  std::string entryIDBefore;
  std::string entryIDAfter;
  // The message's search key (hex), which a move keeps: it finds the message
  // in its target when the batch was cut short before its new id was known.
  std::string searchKey;
  // The target's rows that already had the search key before the treatment
  // (older copies): never taken for the message.
  std::vector<std::string> olderCopies;
};

struct TJournalBatch {
  int number = 0;
  bool done = false;
  std::vector<TJournalEntry> entries;
};

struct TJournalRun {
  std::string runID;
  std::string time;
  TJournalCommand command = TJournalCommand::Delete;
  std::string targetFolderEntryID;
  std::vector<TJournalBatch> batches;
  bool ended = false;
  bool undone = false;

  // Ended with every batch marked done. A run that is not finished was cut
  // short (a crash or a kill) and is offered for undo on the next start.
  bool Finished() const;
  // A soft delete or a move can be put back; a delete or a copy cannot.
  bool Undoable() const;
};

struct TJournalContents {
  std::vector<TJournalRun> runs;  // in the order they were started
  std::size_t skippedLines = 0;   // malformed or cut-off lines, not used
};

// Pair of entry ids of one message: before and after the batch.
using TEntryIDChange = std::pair<std::string, std::string>;

// The current time, ISO 8601 UTC to the second.
std::string JournalTimeNow();

// Appends to the journal file in a folder given by the caller. Every write is
// flushed at once: the bytes are then with the operating system, which keeps
// them when this process crashes (a power loss is not guarded against; that
// would need a sync per batch, too slow for the gain).
class TJournalWriter {
 public:
  explicit TJournalWriter(std::filesystem::path folder);

  // The journal file inside a folder.
  static std::filesystem::path FileIn(const std::filesystem::path& folder);

  // Starts a run; empty when the file cannot be written (see Error()).
  std::string StartRun(TJournalCommand command, std::string_view targetFolderEntryID);
  // Writes the planned lines of the next batch of the current run before it
  // is carried out; returns its number, or -1 on a write error.
  int WriteBatch(const std::vector<TJournalEntry>& planned);
  // Marks a batch done, with the new entry ids of the messages that got one;
  // refused for a batch this writer did not write (a failed write's -1).
  bool MarkBatchDone(int batch, const std::vector<TEntryIDChange>& after);
  // Writes new entry ids learnt after their batches were marked done, each
  // with the number of its batch, all in one write.
  bool WriteNewIDs(const std::vector<std::pair<int, TEntryIDChange>>& found);
  bool EndRun();
  // Marks any run (by id) undone; works without a current run.
  bool MarkRunUndone(std::string_view runID);

  const std::string& CurrentRun() const { return run_; }
  const std::string& Error() const { return error_; }

 private:
  bool Append(const std::vector<std::vector<std::string>>& lines);

  std::filesystem::path file_;
  std::string run_;
  int nextBatch_ = 0;
  std::set<int> written_;  // batches of the current run whose planned lines were written
  std::string error_;
};

// Reads the whole journal; a missing file is an empty journal. A last line
// without its line break (the write was cut off) is skipped and counted.
TJournalContents ReadJournal(const std::filesystem::path& folder);

// The last run in the journal, if any.
std::optional<TJournalRun> LastJournalRun(const std::filesystem::path& folder);
