// The treatment journal as the window keeps it: the store layer's batch
// journal written into the journal file, and a journalled run turned back
// into the messages an undo puts back.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "mapi/BatchJournal.h"
#include "mapi/UndoTreatment.h"
#include "results/Journal.h"

// The run is started by its first batch, so that a treatment the user calls
// off before anything is sent leaves no run behind (an empty last run would
// hide the one before from "&Undo last treatment").
class TTreatmentJournal : public TBatchJournal {
 public:
  TTreatmentJournal(std::filesystem::path folder, TJournalCommand command, std::string targetFolderEntryID);

  // Whether the journal file can be written: its folder made, the file
  // opened for appending; false with Error() when not.
  bool Writable();
  bool Planned(const std::vector<TPlannedMessage>& batch) override;
  bool Done(const std::vector<std::pair<std::string, std::string>>& after) override;
  bool NewIDs(const std::vector<TNewID>& found) override;
  // Marks the run ended, if one was started; false on a write error.
  bool End();
  std::string Error() const override { return FError.empty() ? FWriter.Error() : FError; }
  bool Started() const { return !FWriter.CurrentRun().empty() || FEnded; }

 private:
  std::filesystem::path FFolder;
  TJournalWriter FWriter;
  TJournalCommand FCommand;
  std::string FTarget;
  int FBatch = -1;
  std::vector<int> FBatches;  // the file's number of each batch planned, in order
  bool FEnded = false;
  std::string FError;
};

// The messages of a run, every batch's, as an undo takes them.
std::vector<TUndoItem> UndoItemsOf(const TJournalRun& run);
std::size_t MessageCountOf(const TJournalRun& run);
// Whether the run is one the window offers to undo: a soft delete or a move
// not undone yet.
bool OffersUndo(const TJournalRun& run);
