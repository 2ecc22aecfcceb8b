// Treating many messages at once: each message's folder is looked up, the
// messages of one folder go to the store in lists of up to kBatchSize a call,
// and a list the store did not take whole is sorted out one message at a
// time, so that the outcome of every message is known. Afterwards the plan is
// checked against the stores: the treated messages gone from their folders,
// each target grown by what was put in it; and the moved messages' new
// identifiers are found in their targets for the journal.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "mapi/BatchJournal.h"
#include "mapi/MovedPairing.h"
#include "mapi/SearchKeyRows.h"
#include "mapi/sx_MAPI.h"

enum class TBatchAction { Delete, MoveToDeletedItems, Copy, Move };

// One message to treat, named by its entry-identifier text.
struct TBatchItem {
  std::string entryID;
  bool located = false;   // its folder is known (Locate)
  bool done = false;
  std::string error;      // why it was not done: the failed call's text
  std::string folderKey;  // the entry identifier (bytes) of its folder
  std::string searchKey;  // PR_SEARCH_KEY (bytes), which a moved copy keeps
  std::string traits;     // MessageTraits when located, which a move keeps
};

// A folder whose check after the treatment did not come out as planned: a
// target that grew by another count than was put in it, or a folder that
// could not be read for the check (`error`).
struct TFolderCheck {
  std::string folder;  // display name, UTF-8
  long expected = 0;
  long grown = 0;
  std::string error;
};

// Where a message named by its entry-identifier text is now: its folder's
// entry identifier and its search key (bytes). Both are empty when no store
// has the message any more, unless it must exist; other failures raise.
// `traits`, when given, gets its MessageTraits.
std::pair<std::string, std::string> FolderOfMessage(TsxMAPI_Session& session, const std::string& entryID,
                                                    bool mustExist, std::string* traits = nullptr);


class TBatchTreatment {
 public:
  static constexpr std::size_t kBatchSize = 100;

  // `target`: the entry-identifier text of the folder of a Copy or Move.
  // Nothing is opened here.
  TBatchTreatment(TsxMAPI_Session& session, TBatchAction action, std::string target = "");
  ~TBatchTreatment();
  TBatchTreatment(const TBatchTreatment&) = delete;
  TBatchTreatment& operator=(const TBatchTreatment&) = delete;

  // Finds the folder of each item; one that cannot be found gets its error.
  void Locate(std::span<TBatchItem> items);
  // Treats the located items, a list per folder; sets done or error.
  void Treat(std::span<TBatchItem> items);
  // After the last Treat, over every item: a delete or move whose message is
  // still in its folder is set back to not done; the folders that did not
  // come out as planned are returned. Journalled, the new identifiers of the
  // moved messages are found and written then.
  std::vector<TFolderCheck> Verify(std::span<TBatchItem> items);

  // Journals every list sent to a store from now on: its messages before
  // the call, its done mark after it, and once Verify ends the treatment the
  // moved messages' new identifiers. A list whose plan cannot be written is
  // not sent. Not owned; null journals nothing.
  void SetJournal(TBatchJournal* journal) { FJournal = journal; }
  // What went wrong with the journal after a list was sent (a done mark not
  // written, new identifiers not found); the messages were treated.
  const std::vector<std::string>& JournalProblems() const { return FJournalProblems; }
  // The moved messages (entry-identifier texts) that arrived among copies
  // they cannot be told apart from: they get no new identifier, and an undo
  // reports them and leaves them.
  const std::vector<std::string>& Ambiguous() const { return FAmbiguous; }

 private:
  struct TTarget;
  struct TSource;

  TSource& SourceOf(const std::string& key, std::span<TBatchItem* const> items);
  // The target by its entry identifier (bytes), opened by `open` the first time.
  TTarget& TargetOf(const std::string& key, const std::function<TComPtr<IMAPIFolder>()>& open);
  TTarget* DeletedItemsFor(std::span<TBatchItem* const> items);
  // Runs `use` on the store that holds the items' messages.
  template <typename TUse>
  auto WithStoreOf(std::span<TBatchItem* const> items, const TUse& use);
  HRESULT Send(TSource& source, ENTRYLIST& list);
  void TreatList(TSource& source, std::span<TBatchItem* const> items);
  void SendList(TSource& source, std::span<TBatchItem* const> items);
  // The journal's side of a list: the plan before it is sent.
  bool JournalPlan(const TSource& source, std::span<TBatchItem* const> items);
  // A moving treatment's new identifiers: each target's messages are read
  // once when it is first used and once at the end, never per list (a store
  // reads a whole folder to answer a restriction on it).
  bool Moves() const { return FAction == TBatchAction::Move || FAction == TBatchAction::MoveToDeletedItems; }
  void Snapshot(TTarget& target);
  void JournalNewIDs(std::span<const TBatchItem> items);
  void FindNewIDs(TTarget& target, const std::set<std::string>& done, std::vector<TBatchJournal::TNewID>& found);
  // Whether a message gone from its folder after a list was moved by it.
  using TKeySet = std::optional<std::set<std::string>>;
  bool ArrivedInTarget(TSource& source, const TBatchItem& item, TKeySet& targetKeys);
  void SortOut(TSource& source, TBatchItem& item, TKeySet& targetKeys);
  // A copy list the store did not take whole: each message by what arrived.
  void SortOutCopies(TSource& source, std::span<TBatchItem* const> items);
  TArrivedRows ArrivedFromList(TTarget& target, const std::set<std::string>& keys);
  void SendOne(TSource& source, TBatchItem& item);
  void CheckSource(const std::string& key, TSource& source, std::span<TBatchItem> items,
                   std::vector<TFolderCheck>& checks);
  // The folder that holds the message now (entry identifier bytes) and its
  // search key; the folder is empty when no store has the message any more
  // (unless it must exist). Other failures raise.
  std::pair<std::string, std::string> FolderNow(const std::string& entryID, bool mustExist,
                                                std::string* traits = nullptr);

  TsxMAPI_Session& FSession;
  TBatchAction FAction;
  std::string FTargetText;
  std::map<std::string, std::unique_ptr<TTarget>> FTargets;  // by entry identifier
  std::map<std::string, std::unique_ptr<TSource>> FSources;  // by entry identifier
  TBatchJournal* FJournal = nullptr;
  std::vector<std::string> FJournalProblems;
  std::vector<std::string> FAmbiguous;
  std::size_t FPlannedLists = 0;  // lists whose plan the journal took
};
