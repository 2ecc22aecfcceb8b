#include "ui/TreatmentJournal.h"

#include <fstream>

TTreatmentJournal::TTreatmentJournal(std::filesystem::path folder, TJournalCommand command,
                                     std::string targetFolderEntryID)
    : FFolder(std::move(folder)), FWriter(FFolder), FCommand(command), FTarget(std::move(targetFolderEntryID)) {}

bool TTreatmentJournal::Writable() {
  std::error_code ignored;  // a folder that cannot be made fails the opening below
  std::filesystem::create_directories(FFolder, ignored);
  const std::filesystem::path file = TJournalWriter::FileIn(FFolder);
  if (std::ofstream(file, std::ios::binary | std::ios::app)) return true;
  FError = "cannot write the journal file " + std::string(reinterpret_cast<const char*>(file.u8string().c_str()));
  return false;
}

bool TTreatmentJournal::Planned(const std::vector<TPlannedMessage>& batch) {
  if (FWriter.CurrentRun().empty() && FWriter.StartRun(FCommand, FTarget).empty()) return false;
  std::vector<TJournalEntry> entries;
  entries.reserve(batch.size());
  const std::string time = JournalTimeNow();
  for (const TPlannedMessage& m : batch)
    entries.push_back({time, FCommand, m.storeEntryID, m.storeName, m.sourceFolderEntryID, m.entryIDBefore, {},
                       m.searchKey, m.olderCopies});
  FBatch = FWriter.WriteBatch(entries);
  if (FBatch < 0) return false;
  FBatches.push_back(FBatch);
  return true;
}

bool TTreatmentJournal::Done(const std::vector<std::pair<std::string, std::string>>& after) {
  return FWriter.MarkBatchDone(FBatch, after);
}

bool TTreatmentJournal::NewIDs(const std::vector<TNewID>& found) {
  if (found.empty()) return true;
  std::vector<std::pair<int, TEntryIDChange>> numbered;
  numbered.reserve(found.size());
  for (const TNewID& id : found) {
    if (id.batch >= FBatches.size()) {
      FError = "a new identifier for a batch that was never planned";
      return false;
    }
    numbered.push_back({FBatches[id.batch], {id.before, id.after}});
  }
  return FWriter.WriteNewIDs(numbered);
}

bool TTreatmentJournal::End() {
  if (FWriter.CurrentRun().empty()) return true;
  FEnded = true;
  return FWriter.EndRun();
}

std::vector<TUndoItem> UndoItemsOf(const TJournalRun& run) {
  std::vector<TUndoItem> items;
  for (const TJournalBatch& batch : run.batches)
    for (const TJournalEntry& e : batch.entries) {
      TUndoItem& item = items.emplace_back();
      item.storeEntryID = e.storeEntryID;
      item.storeName = e.storeName;
      item.sourceFolder = e.sourceFolderEntryID;
      item.entryIDBefore = e.entryIDBefore;
      item.entryIDAfter = e.entryIDAfter;
      item.searchKey = e.searchKey;
      item.olderCopies = e.olderCopies;
    }
  return items;
}

std::size_t MessageCountOf(const TJournalRun& run) {
  std::size_t count = 0;
  for (const TJournalBatch& batch : run.batches) count += batch.entries.size();
  return count;
}

bool OffersUndo(const TJournalRun& run) { return run.Undoable() && !run.undone && MessageCountOf(run) > 0; }
