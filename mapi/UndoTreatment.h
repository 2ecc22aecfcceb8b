// Putting back what a soft delete or a move took away: each message, found by
// the identifier it got from the move, goes back into the folder it came
// from. The messages of one folder that go back into one folder travel in
// lists of up to kBatchSize a call; a list the store did not take whole is
// sorted out one message at a time. A message whose new identifier is not
// known (its batch was cut short, or the identifier was not found) is looked
// for where it was: still in its folder it needs nothing, else it is found
// among the messages the treatment moved it into, by its search key. Only a
// message where the treatment put it goes back: one moved on since is left.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "mapi/sx_MAPI.h"

enum class TUndoOutcome {
  Pending,
  Restored,      // moved back into its folder
  NotMoved,      // already in its folder: never moved, or put back before
  Purged,        // no store has it any more (emptied from Deleted Items, or moved on)
  MovedElsewhere,  // moved on since the treatment, out of where it put it: left there
  KeyInFolder,   // not where the treatment put it, but its folder holds a message
                 // with its search key: perhaps put back before (an undo cut short)
  FolderGone,    // the folder it came from no longer exists
  Failed,        // a store call failed; `error` says which and why
  Stopped,       // the undo was stopped before its list
};

// One message of the run to put back; identifiers are entry-identifier texts.
struct TUndoItem {
  std::string storeEntryID;
  std::string storeName;  // UTF-8, for the report
  std::string sourceFolder;
  std::string entryIDBefore;
  std::string entryIDAfter;  // empty when not known
  std::string searchKey;     // hex; empty when not known
  // Rows of the target that had the search key before the treatment (texts):
  // never taken for the message.
  std::vector<std::string> olderCopies;
  TUndoOutcome outcome = TUndoOutcome::Pending;
  std::string error;  // for Failed: the operation's text, "\r\n", the system's
  // Where the message is before it goes back, when found: its folder and
  // its identifier there.
  std::string now;
  std::string entryIDNow;
};

class TUndoTreatment {
 public:
  static constexpr std::size_t kBatchSize = 100;

  // `movedTo`: the entry-identifier text of the folder a move took the
  // messages to; empty for a soft delete, whose messages went to the Deleted
  // Items of their own store.
  TUndoTreatment(TsxMAPI_Session& session, std::string movedTo);

  // Puts the items back, setting each one's outcome. `progress` is called
  // with the count of items dealt with after each list; `stop` is asked
  // before each list, and once it says so the items not yet sent end as
  // Stopped.
  void Run(std::span<TUndoItem> items, const std::function<void(std::size_t)>& progress,
           const std::function<bool()>& stop);

 private:
  struct TMove;
  void Locate(TUndoItem& item);
  void FindByKeys(std::span<TUndoItem*> unknown, std::span<TUndoItem> all);
  // The folder the treatment put the item's message in.
  const std::string& PutIn(const TUndoItem& item);
  void LeaveMovedOn(std::span<TUndoItem> items);
  void LookInSourceFolders(std::span<TUndoItem> items);
  std::string DeletedItemsOf(const std::string& storeEntryID);
  void MoveBack(TMove& move, std::span<TUndoItem* const> items);
  void SortOut(TMove& move, TUndoItem& item, std::vector<std::string>* arrived);

  TsxMAPI_Session& FSession;
  std::string FMovedTo;
  std::map<std::string, std::string> FDeletedItems;  // by store
};

// The outcome in English, for a report line.
const char* UndoOutcomeText(TUndoOutcome outcome);
