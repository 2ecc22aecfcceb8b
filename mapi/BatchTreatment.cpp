#include "mapi/BatchTreatment.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_set>

#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/MovedPairing.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const char kGone[] = "The message is no longer in its folder!";

// The folder's name for a check's line; a name that cannot be read is left
// empty, as the check's own error says what went wrong.
std::string NameOf(TsxMAPI_Folder& folder) {
  try {
    return folder.GetFolderName();
  } catch (const std::exception&) {
    return {};
  }
}

std::string Bytes(const SBinary& bin) { return std::string(reinterpret_cast<const char*>(bin.lpb), bin.cb); }

// Whether an OpenEntry answer says the identifier names nothing (any more).
bool NamesNothing(HRESULT hr) {
  return hr == MAPI_E_NOT_FOUND || hr == MAPI_E_INVALID_ENTRYID || hr == MAPI_E_UNKNOWN_ENTRYID;
}

// The identifiers of the items as one ENTRYLIST; the list points into `ids`.
struct TEntryList {
  explicit TEntryList(std::span<TBatchItem* const> items) {
    ids.reserve(items.size());
    bins.reserve(items.size());
    for (const TBatchItem* item : items) {
      ids.push_back(TextToEntryID(item->entryID));
      bins.push_back({static_cast<ULONG>(ids.back().size()), ids.back().data()});
    }
    list = {static_cast<ULONG>(bins.size()), bins.data()};
  }
  std::vector<std::vector<unsigned char>> ids;
  std::vector<SBinary> bins;
  ENTRYLIST list;
};

// Every row of the folder's contents table with the given columns, read a
// page at a time.
void ReadContents(TsxMAPI_Folder& folder, std::initializer_list<ULONG> tags,
                  const std::function<void(const SRow&)>& use) {
  TComPtr<IMAPITable> table;
  CheckForError(folder.Folder()->GetContentsTable(0, &table), "Could not get messages from folder!");
  const auto columns = MakeTagArray(tags);
  TTableReader(std::move(table), columns.Get()).ForEachRow([&](const SRow& row) {
    use(row);
    return true;
  });
}

// A binary column's bytes; empty when the row lacks it.
std::string BinaryColumn(const SRow& row, ULONG column, ULONG tag) {
  const SPropValue* value = Column(row, column);
  return value && value->ulPropTag == tag ? Bytes(value->Value.bin) : std::string();
}

const char kNewIDsUnknown[] = "Could not find the moved messages' new identifiers!\r\n";

}  // namespace

struct TBatchTreatment::TTarget {
  std::unique_ptr<TsxMAPI_Folder> folder;
  ULONG countBefore = 0;
  long put = 0;  // messages put here by this treatment
  // For the journal of a move: the entry identifiers (bytes) the folder held
  // before the treatment (none when they could not be read), and the
  // messages sent here, with the list each went in.
  std::optional<std::unordered_set<std::string>> before;
  std::string beforeError;  // why `before` could not be read
  TKeyedRows keysBefore;  // the same rows by search key, for the plan's older copies
  std::vector<TMovedMessage> moved;
  // A copy's sort-out: the rows already told to be a message's, and the
  // messages copied by lists taken whole (their rows are not told).
  std::set<std::string> taken;
  std::vector<TMovedMessage> copiedWhole;
};

struct TBatchTreatment::TSource {
  std::unique_ptr<TsxMAPI_Folder> folder;
  TTarget* target = nullptr;  // none for a permanent delete
  std::string storeEntryID, storeName;  // for the journal: texts
};

// The store is told by asking the stores for one of the messages; a message
// whose store cannot tell passes the question on to the next. Raises the
// first failure when none could.
template <typename TUse>
auto TBatchTreatment::WithStoreOf(std::span<TBatchItem* const> items, const TUse& use) {
  std::optional<std::runtime_error> failure;
  for (const TBatchItem* item : items) {
    try {
      const TComPtr<IMsgStore> store = FSession.StoreHolding(item->entryID);
      return use(store.Get());
    } catch (const std::exception& e) {
      if (!failure) failure.emplace(e.what());
    }
  }
  throw failure ? *failure : std::runtime_error("No message to find the store by!");
}

TBatchTreatment::TBatchTreatment(TsxMAPI_Session& session, TBatchAction action, std::string target)
    : FSession(session), FAction(action), FTargetText(std::move(target)) {}

TBatchTreatment::~TBatchTreatment() = default;

std::pair<std::string, std::string> FolderOfMessage(TsxMAPI_Session& session, const std::string& entryID,
                                                    bool mustExist, std::string* traits) {
  const std::vector<unsigned char> id = TextToEntryID(entryID);
  if (id.empty()) throw Exception("No message entry identifier given!");
  if (!session.GetActive()) session.Logon();
  // Read-only: a message held open for writing could not be moved meanwhile.
  TComPtr<IMessage> message;
  ULONG type = 0;
  const TEntryIDRef ref = RefTo(id);
  const HRESULT hr = session.Session()->OpenEntry(ref.cb, ref.lpb, &IID_IMessage, 0, &type, message.As<IUnknown>());
  if (!mustExist && NamesNothing(hr)) return {};
  CheckForError(SUCCEEDED(hr) && !message ? MAPI_E_CALL_FAILED : hr, "Could not open message!");
  static const std::string kWhat = "Could not get the message's parent folder!";
  enum { colParent, colSearchKey, colSize, colModified };
  const auto tags = MakeTagArray({PR_PARENT_ENTRYID, PR_SEARCH_KEY, PR_MESSAGE_SIZE, PR_LAST_MODIFICATION_TIME});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(message->GetProps(tags.Get(), 0, &count, &values), kWhat);
  if (!values || count != 4) CheckValue(nullptr, PR_PARENT_ENTRYID, kWhat);
  const SPropValue& searchKey = values.Get()[colSearchKey];
  if (traits) *traits = MessageTraits(&values.Get()[colSize], &values.Get()[colModified]);
  return {Bytes(EntryIDOf(&values.Get()[colParent], PR_PARENT_ENTRYID, kWhat)),
          searchKey.ulPropTag == PR_SEARCH_KEY ? Bytes(searchKey.Value.bin) : std::string()};
}

std::pair<std::string, std::string> TBatchTreatment::FolderNow(const std::string& entryID, bool mustExist,
                                                               std::string* traits) {
  return FolderOfMessage(FSession, entryID, mustExist, traits);
}

void TBatchTreatment::Locate(std::span<TBatchItem> items) {
  for (TBatchItem& item : items) {
    item.located = item.done = false;
    item.error.clear();
    try {
      std::tie(item.folderKey, item.searchKey) = FolderNow(item.entryID, true, &item.traits);
      item.located = true;
    } catch (const std::exception& e) {
      item.error = e.what();
    }
  }
}

TBatchTreatment::TTarget& TBatchTreatment::TargetOf(const std::string& key,
                                                    const std::function<TComPtr<IMAPIFolder>()>& open) {
  // Kept only once whole: the check afterwards reads every kept target.
  if (const auto known = FTargets.find(key); known != FTargets.end()) return *known->second;
  auto target = std::make_unique<TTarget>();
  const TComPtr<IMAPIFolder> folder = open();
  target->folder = std::make_unique<TsxMAPI_Folder>(folder.Get(), &FSession);
  target->countBefore = target->folder->ContentCount();
  // A copy reads it too: a list it did not take whole is sorted out by it.
  if ((FJournal && Moves()) || FAction == TBatchAction::Copy) Snapshot(*target);
  return *FTargets.emplace(key, std::move(target)).first->second;
}

void TBatchTreatment::Snapshot(TTarget& target) {
  try {
    enum { colEntryID, colSearchKey };
    std::unordered_set<std::string> ids;
    TKeyedRows keys;
    ids.reserve(target.countBefore);
    ReadContents(*target.folder, {PR_ENTRYID, PR_SEARCH_KEY}, [&](const SRow& row) {
      std::string id = BinaryColumn(row, colEntryID, PR_ENTRYID);
      if (id.empty()) return;
      if (std::string key = BinaryColumn(row, colSearchKey, PR_SEARCH_KEY); !key.empty()) keys[key].push_back(id);
      ids.insert(std::move(id));
    });
    target.before = std::move(ids);
    target.keysBefore = std::move(keys);
  } catch (const std::exception& e) {
    target.beforeError = e.what();
    if (Moves()) FJournalProblems.push_back(kNewIDsUnknown + target.beforeError);
  }
}

// The Deleted Items of the store that holds the folder's messages, told by
// asking the stores for one of them; should no store tell, nothing of the
// folder is moved: another store's Deleted Items would carry it across.
TBatchTreatment::TTarget* TBatchTreatment::DeletedItemsFor(std::span<TBatchItem* const> items) {
  return WithStoreOf(items, [&](IMsgStore* store) {
    static const std::string kWhat = "Could not get EntryID for folder!";
    const TMapiBuffer<SPropValue> value = GetOneProp(store, PR_IPM_WASTEBASKET_ENTRYID, kWhat);
    const SBinary& id = EntryIDOf(value.Get(), PR_IPM_WASTEBASKET_ENTRYID, kWhat);
    return &TargetOf(Bytes(id), [&] { return OpenFolderEntry(store, RefTo(id), MAPI_BEST_ACCESS); });
  });
}

TBatchTreatment::TSource& TBatchTreatment::SourceOf(const std::string& key, std::span<TBatchItem* const> items) {
  if (const auto known = FSources.find(key); known != FSources.end()) return *known->second;
  auto source = std::make_unique<TSource>();
  {
    const TComPtr<IMAPIFolder> folder = OpenFolderEntry(FSession.Session(), RefTo(key), MAPI_BEST_ACCESS);
    source->folder = std::make_unique<TsxMAPI_Folder>(folder.Get(), &FSession);
  }
  if (FJournal)
    std::tie(source->storeEntryID, source->storeName) = WithStoreOf(items, [](IMsgStore* store) {
      static const std::string kWhat = "Could not get the store's name!";
      const TMapiBuffer<SPropValue> id = GetOneProp(store, PR_ENTRYID, kWhat);
      const SBinary& bytes = EntryIDOf(id.Get(), PR_ENTRYID, kWhat);
      const ULONG nameTag = TextTag(PR_DISPLAY_NAME, StoreIsUnicode(store));
      const TMapiBuffer<SPropValue> name = GetOneProp(store, nameTag, kWhat);
      return std::pair(EntryIDToText(bytes.lpb, bytes.cb), TextOrEmpty(*name.Get(), nameTag, kWhat));
    });
  if (FAction == TBatchAction::MoveToDeletedItems) {
    source->target = DeletedItemsFor(items);
  } else if (FAction != TBatchAction::Delete) {
    const std::vector<unsigned char> target = TextToEntryID(FTargetText);
    if (target.empty()) throw Exception("No target folder given!");
    source->target = &TargetOf(std::string(target.begin(), target.end()), [&] {
      return OpenFolderEntry(FSession.Session(), RefTo(target), MAPI_BEST_ACCESS);
    });
  }
  return *FSources.emplace(key, std::move(source)).first->second;
}

HRESULT TBatchTreatment::Send(TSource& source, ENTRYLIST& list) {
  switch (FAction) {
    case TBatchAction::Delete: return source.folder->DeleteMessages(list);
    case TBatchAction::Copy: return source.folder->CopyMessages(list, *source.target->folder, 0);
    default: return source.folder->CopyMessages(list, *source.target->folder, MESSAGE_MOVE);
  }
}

void TBatchTreatment::Treat(std::span<TBatchItem> items) {
  // The located items by folder, in the order the folders first come.
  std::vector<std::pair<std::string, std::vector<TBatchItem*>>> folders;
  for (TBatchItem& item : items) {
    if (!item.located || item.done) continue;
    auto it = std::find_if(folders.begin(), folders.end(), [&](const auto& f) { return f.first == item.folderKey; });
    if (it == folders.end()) it = folders.insert(folders.end(), {item.folderKey, {}});
    it->second.push_back(&item);
  }
  for (auto& [key, members] : folders) {
    TSource* source = nullptr;
    try {
      source = &SourceOf(key, members);
    } catch (const std::exception& e) {
      for (TBatchItem* item : members) item->error = e.what();
      continue;
    }
    for (std::size_t at = 0; at < members.size(); at += kBatchSize)
      TreatList(*source, std::span(members).subspan(at, std::min(kBatchSize, members.size() - at)));
  }
}

void TBatchTreatment::TreatList(TSource& source, std::span<TBatchItem* const> items) {
  if (!FJournal) return SendList(source, items);
  if (!JournalPlan(source, items)) {
    const std::string error = "Could not write the treatment journal!\r\n" + FJournal->Error();
    for (TBatchItem* item : items) item->error = error;
    return;
  }
  const std::size_t list = FPlannedLists++;
  SendList(source, items);
  if (!FJournal->Done({}))
    FJournalProblems.push_back("Could not write the treatment journal!\r\n" + FJournal->Error());
  // Only a move's messages get new identifiers; a copy's target is read
  // before the treatment for its sort-out alone.
  if (Moves() && source.target && source.target->before)
    for (const TBatchItem* item : items)
      if (item->done)
        source.target->moved.push_back({list, item->entryID, item->searchKey, item->traits, item->folderKey});
}

void TBatchTreatment::SendList(TSource& source, std::span<TBatchItem* const> items) {
  TEntryList list(items);
  const HRESULT hr = Send(source, list.list);
  if (hr == S_OK) {
    for (TBatchItem* item : items) item->done = true;
    if (source.target) source.target->put += static_cast<long>(items.size());
    if (FAction == TBatchAction::Copy)
      for (const TBatchItem* item : items)
        source.target->copiedWhole.push_back({0, item->entryID, item->searchKey, item->traits, item->folderKey});
    return;
  }
  if (FAction == TBatchAction::Copy) return SortOutCopies(source, items);
  TKeySet targetKeys;
  for (TBatchItem* item : items) {
    try {
      SortOut(source, *item, targetKeys);
    } catch (const std::exception& e) {
      item->error = e.what();
    }
  }
}

bool TBatchTreatment::JournalPlan(const TSource& source, std::span<TBatchItem* const> items) {
  std::vector<TPlannedMessage> planned;
  planned.reserve(items.size());
  for (const TBatchItem* item : items) {
    TPlannedMessage& m = planned.emplace_back(
        TPlannedMessage{source.storeEntryID, source.storeName,
                        EntryIDToText(item->folderKey.data(), item->folderKey.size()), item->entryID,
                        EntryIDToText(item->searchKey.data(), item->searchKey.size()), {}});
    if (!source.target || item->searchKey.empty()) continue;
    if (const auto older = source.target->keysBefore.find(item->searchKey); older != source.target->keysBefore.end())
      for (const std::string& id : older->second) m.olderCopies.push_back(EntryIDToText(id.data(), id.size()));
  }
  return FJournal->Planned(planned);
}

// A moved message has a new entry identifier, so it is known in the target
// by its search key. A copy already there may share the key: the target's
// count, checked at the end, still tells any shortfall.
bool TBatchTreatment::ArrivedInTarget(TSource& source, const TBatchItem& item, TKeySet& targetKeys) {
  if (item.searchKey.empty()) return false;
  if (!targetKeys) {
    targetKeys.emplace();
    ReadContents(*source.target->folder, {PR_SEARCH_KEY}, [&](const SRow& row) {
      if (std::string key = BinaryColumn(row, 0, PR_SEARCH_KEY); !key.empty()) targetKeys->insert(std::move(key));
    });
  }
  return targetKeys->count(item.searchKey) > 0;
}

// After a delete or move list the store did not take whole, each message is
// sorted out by where it is now. Still in its folder: it is treated again on
// its own. Gone from its folder: a delete was done, a move only if the
// message arrived in the target. (A copy leaves its message in place: see
// SortOutCopies.)
void TBatchTreatment::SortOut(TSource& source, TBatchItem& item, TKeySet& targetKeys) {
  const std::string now = FolderNow(item.entryID, false).first;
  const bool done = now != item.folderKey &&
                    (FAction == TBatchAction::Delete ? now.empty() : ArrivedInTarget(source, item, targetKeys));
  if (!done && now != item.folderKey)
    throw EHeapException(kGone + std::string("\r\n") + SystemErrorText(MAPI_E_NOT_FOUND), MAPI_E_NOT_FOUND);
  if (!done) return SendOne(source, item);
  item.done = true;
  if (source.target) ++source.target->put;
}

// Sends the message again on its own; raises when that fails.
void TBatchTreatment::SendOne(TSource& source, TBatchItem& item) {
  TBatchItem* const one[] = {&item};
  TEntryList list(one);
  const HRESULT hr = Send(source, list.list);
  const char* what = FAction == TBatchAction::Delete ? "Could not delete message!"
                     : FAction == TBatchAction::Copy ? "Could not copy message!"
                                                     : "Could not move message!";
  // For a list of one, the warning means nothing was done.
  if (hr == MAPI_W_PARTIAL_COMPLETION) throw EHeapException(what + std::string("\r\n") + SystemErrorText(hr), hr);
  CheckForError(hr, what);
  item.done = true;
  if (source.target) ++source.target->put;
}

// The rows with the list's search keys that arrived in the target during the
// treatment and are not yet told to be another message's: not there before,
// not taken, and one fewer for each message of a list taken whole (copies
// alike in key and traits are counted, never told apart).
TArrivedRows TBatchTreatment::ArrivedFromList(TTarget& target, const std::set<std::string>& keys) {
  if (!target.before) throw Exception("Could not read the target folder before the treatment!\r\n" + target.beforeError);
  enum { colEntryID, colSearchKey, colSize, colModified };
  TArrivedRows arrived;
  ForRowsWithSearchKeys(*target.folder, keys, {PR_ENTRYID, PR_SEARCH_KEY, PR_MESSAGE_SIZE, PR_LAST_MODIFICATION_TIME},
                        [&](const SRow& row) {
                          std::string id = BinaryColumn(row, colEntryID, PR_ENTRYID);
                          if (id.empty() || target.before->count(id) || target.taken.count(id)) return;
                          arrived[BinaryColumn(row, colSearchKey, PR_SEARCH_KEY)].push_back(
                              {std::move(id), MessageTraits(Column(row, colSize), Column(row, colModified))});
                        });
  for (const TMovedMessage& earlier : target.copiedWhole) {
    const auto rows = arrived.find(earlier.searchKey);
    if (rows == arrived.end()) continue;
    const auto row = std::find_if(rows->second.begin(), rows->second.end(),
                                  [&](const TArrivedRow& r) { return r.traits == earlier.traits; });
    if (row != rows->second.end()) rows->second.erase(row);
  }
  return arrived;
}

// After a copy list the store did not take whole (a warning or an error: an
// error does not mean nothing was done), a message is copied if a row of its
// own arrived in the target; only the others still in their folder are copied
// again, one at a time.
// One whose arrival cannot be told is neither counted nor copied again.
void TBatchTreatment::SortOutCopies(TSource& source, std::span<TBatchItem* const> items) {
  static const std::string kUntold = "Could not tell whether the message was copied!\r\n";
  std::vector<TMovedMessage> sent;
  std::set<std::string> keys;
  for (const TBatchItem* item : items) {
    sent.push_back({0, item->entryID, item->searchKey, item->traits, item->folderKey});
    if (!item->searchKey.empty()) keys.insert(item->searchKey);
  }
  TMovedPairing pairing;
  try {
    // Traits must agree: a row left by an earlier list's copy of the same
    // key could otherwise be taken for this message's.
    pairing = PairMovedWithArrived(sent, ArrivedFromList(*source.target, keys), false);
  } catch (const std::exception& e) {
    for (TBatchItem* item : items) item->error = kUntold + e.what();
    return;
  }
  std::map<std::string, std::string> arrivedAs;  // row by entry-identifier text
  for (const auto& [m, row] : pairing.paired) arrivedAs[m->entryID] = row;
  std::set<std::string> untold;
  for (const TMovedMessage* m : pairing.ambiguous) untold.insert(m->entryID);
  for (TBatchItem* item : items) {
    if (const auto row = arrivedAs.find(item->entryID); row != arrivedAs.end()) {
      item->done = true;
      ++source.target->put;
      source.target->taken.insert(row->second);
    } else if (untold.count(item->entryID) || item->searchKey.empty()) {
      item->error = kUntold + "Copies that cannot be told apart from it are in the target folder.";
    } else {
      try {
        if (FolderNow(item->entryID, false).first != item->folderKey)
          throw EHeapException(kGone + std::string("\r\n") + SystemErrorText(MAPI_E_NOT_FOUND), MAPI_E_NOT_FOUND);
        SendOne(source, *item);
      } catch (const std::exception& e) {
        item->error = e.what();
      }
    }
  }
}

void TBatchTreatment::CheckSource(const std::string& key, TSource& source, std::span<TBatchItem> items,
                                  std::vector<TFolderCheck>& checks) {
  std::set<std::string> treated;
  for (const TBatchItem& item : items)
    if (item.done && item.folderKey == key) {
      const std::vector<unsigned char> id = TextToEntryID(item.entryID);
      treated.emplace(id.begin(), id.end());
    }
  if (treated.empty()) return;
  std::set<std::string> stillThere;
  try {
    ReadContents(*source.folder, {PR_ENTRYID}, [&](const SRow& row) {
      if (std::string id = BinaryColumn(row, 0, PR_ENTRYID); treated.count(id)) stillThere.insert(std::move(id));
    });
  } catch (const std::exception& e) {
    checks.push_back({NameOf(*source.folder), 0, 0, e.what()});
    return;
  }
  for (TBatchItem& item : items) {
    if (!item.done || item.folderKey != key) continue;
    const std::vector<unsigned char> id = TextToEntryID(item.entryID);
    if (!stillThere.count(std::string(id.begin(), id.end()))) continue;
    item.done = false;
    item.error = "The message is still in its folder after the treatment!";
    if (source.target) --source.target->put;
  }
}

std::vector<TFolderCheck> TBatchTreatment::Verify(std::span<TBatchItem> items) {
  std::vector<TFolderCheck> checks;
  if (FAction != TBatchAction::Copy)
    for (auto& [key, source] : FSources) {
      // A move into the folder the message is in leaves it there.
      const auto same = FTargets.find(key);
      if (source->target && same != FTargets.end() && same->second.get() == source->target) continue;
      CheckSource(key, *source, items, checks);
    }
  for (auto& [key, target] : FTargets) {
    try {
      const long grown = static_cast<long>(target->folder->ContentCount()) - static_cast<long>(target->countBefore);
      if (grown != target->put) checks.push_back({NameOf(*target->folder), target->put, grown, ""});
    } catch (const std::exception& e) {
      checks.push_back({NameOf(*target->folder), target->put, 0, e.what()});
    }
  }
  JournalNewIDs(items);
  return checks;
}

// After the check, so that a message found still in its folder is not given
// a new identifier.
void TBatchTreatment::JournalNewIDs(std::span<const TBatchItem> items) {
  if (!FJournal) return;
  std::set<std::string> done;
  for (const TBatchItem& item : items)
    if (item.done) done.insert(item.entryID);
  std::vector<TBatchJournal::TNewID> found;
  for (auto& [key, target] : FTargets) {
    if (!target->before || target->moved.empty()) continue;
    try {
      FindNewIDs(*target, done, found);
    } catch (const std::exception& e) {
      FJournalProblems.push_back(kNewIDsUnknown + std::string(e.what()));
    }
    target->moved.clear();  // written once, should Verify be called again
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.batch < b.batch; });
  if (!FJournal->NewIDs(found))
    FJournalProblems.push_back("Could not write the treatment journal!\r\n" + FJournal->Error());
}

// A moved message is found in its target among the rows that were not there
// before the treatment (an older copy there shares its key), by its search key
// and its traits; one that cannot be told apart from the copies that arrived
// with it gets no new identifier here, and is listed as ambiguous.
void TBatchTreatment::FindNewIDs(TTarget& target, const std::set<std::string>& done,
                                 std::vector<TBatchJournal::TNewID>& found) {
  enum { colEntryID, colSearchKey, colSize, colModified };
  TArrivedRows arrived;
  ReadContents(*target.folder, {PR_ENTRYID, PR_SEARCH_KEY, PR_MESSAGE_SIZE, PR_LAST_MODIFICATION_TIME},
               [&](const SRow& row) {
                 std::string id = BinaryColumn(row, colEntryID, PR_ENTRYID);
                 if (id.empty() || target.before->count(id)) return;
                 arrived[BinaryColumn(row, colSearchKey, PR_SEARCH_KEY)].push_back(
                     {std::move(id), MessageTraits(Column(row, colSize), Column(row, colModified))});
               });
  std::vector<TMovedMessage> moved;
  for (const TMovedMessage& m : target.moved)
    if (done.count(m.entryID)) moved.push_back(m);
  const TMovedPairing pairing = PairMovedWithArrived(moved, arrived, true);
  for (const auto& [m, id] : pairing.paired) found.push_back({m->list, m->entryID, EntryIDToText(id.data(), id.size())});
  for (const TMovedMessage* m : pairing.ambiguous) FAmbiguous.push_back(m->entryID);
}
