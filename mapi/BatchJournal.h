// What a treatment tells its journal, batch by batch: the messages it is
// about to treat (written before the store is asked) and the batch done;
// once the treatment is over, which of them got a new entry identifier (a
// move, a move to Deleted Items). The window implements it over the journal
// file; the store layer sees only this.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// One message of a batch as planned. Identifiers and the search key are
// entry-identifier texts (hex).
struct TPlannedMessage {
  std::string storeEntryID;
  std::string storeName;  // UTF-8
  std::string sourceFolderEntryID;
  std::string entryIDBefore;
  std::string searchKey;  // finds the message in its target should the batch be cut short
  // The target's rows that had the search key before the treatment: an
  // undo looking for the message by its key never takes them.
  std::vector<std::string> olderCopies;
};

class TBatchJournal {
 public:
  virtual ~TBatchJournal() = default;
  // Records the batch before it is carried out; false when that could not
  // be written (the batch is then not treated; Error() says why).
  virtual bool Planned(const std::vector<TPlannedMessage>& batch) = 0;
  // Marks the last planned batch done, with (entry id before, entry id
  // after) of each message already known to have a new one; false on a
  // write error.
  virtual bool Done(const std::vector<std::pair<std::string, std::string>>& after) = 0;
  // Adds the new entry identifiers found after the batches were done.
  // `batch` counts the batches Planned took in this treatment, from 0.
  struct TNewID {
    std::size_t batch = 0;
    std::string before, after;
  };
  virtual bool NewIDs(const std::vector<TNewID>& found) = 0;
  virtual std::string Error() const = 0;
};
