#include "mapi/UndoTreatment.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "mapi/BatchTreatment.h"
#include "mapi/EntryIDText.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const char kGone[] = "The message is no longer in its folder!";
const char kSeveral[] = "Several copies of the message are in the folder it was moved to; it was left there.";
const char kApart[] =
    "Copies of the message from other folders were moved with it, and which is which cannot be told; it was left "
    "there.";

std::string Bytes(const std::string& text) {
  const std::vector<unsigned char> id = TextToEntryID(text);
  return std::string(id.begin(), id.end());
}
std::string Text(const std::string& bytes) { return EntryIDToText(bytes.data(), bytes.size()); }

bool NamesNothing(HRESULT hr) {
  return hr == MAPI_E_NOT_FOUND || hr == MAPI_E_INVALID_ENTRYID || hr == MAPI_E_UNKNOWN_ENTRYID;
}

void Fail(TUndoItem& item, const std::string& error) {
  item.outcome = TUndoOutcome::Failed;
  item.error = error;
}

// A folder by its entry-identifier text; null when the identifier names
// nothing any more. Other failures raise.
std::unique_ptr<TsxMAPI_Folder> OpenFolder(TsxMAPI_Session& session, const std::string& text) {
  const std::string id = Bytes(text);
  if (id.empty()) throw Exception("No folder entry identifier given!");
  TComPtr<IMAPIFolder> folder;
  ULONG type = 0;
  const TEntryIDRef ref = RefTo(id);
  const HRESULT hr =
      session.Session()->OpenEntry(ref.cb, ref.lpb, &IID_IMAPIFolder, MAPI_BEST_ACCESS, &type, folder.As<IUnknown>());
  if (NamesNothing(hr)) return nullptr;
  CheckForError(SUCCEEDED(hr) && !folder ? MAPI_E_CALL_FAILED : hr,
                "Could not get folder from Message Store or Parent Folder!");
  return std::make_unique<TsxMAPI_Folder>(folder.Get(), &session);
}

std::set<std::string> KeysOf(std::span<TUndoItem* const> items) {
  std::set<std::string> keys;
  for (const TUndoItem* item : items)
    if (!item->searchKey.empty()) keys.insert(Bytes(item->searchKey));
  return keys;
}

// Whether the journal names the row (bytes) as one that had the search key
// in the target before the treatment, for any of the messages seeking it.
bool OlderCopy(std::span<TUndoItem* const> seeking, const std::string& id) {
  const std::string text = Text(id);
  for (const TUndoItem* item : seeking)
    if (std::find(item->olderCopies.begin(), item->olderCopies.end(), text) != item->olderCopies.end()) return true;
  return false;
}

}  // namespace

const char* UndoOutcomeText(TUndoOutcome outcome) {
  switch (outcome) {
    case TUndoOutcome::Pending: return "Not dealt with";
    case TUndoOutcome::Restored: return "Put back";
    case TUndoOutcome::NotMoved: return "Already in its folder";
    case TUndoOutcome::Purged: return "No store has the message any more";
    case TUndoOutcome::MovedElsewhere: return "Moved elsewhere since the treatment; left where it is";
    case TUndoOutcome::KeyInFolder:
      return "Not where the treatment put it; its folder holds a message with its search key, perhaps this one "
             "put back by an earlier undo";
    case TUndoOutcome::FolderGone: return "The folder it came from no longer exists";
    case TUndoOutcome::Failed: return "Could not put it back";
    case TUndoOutcome::Stopped: return "Stopped before it was put back";
  }
  return "";
}

// The two folders of a list: where the messages are, where they go back to.
struct TUndoTreatment::TMove {
  std::unique_ptr<TsxMAPI_Folder> from, to;
};

TUndoTreatment::TUndoTreatment(TsxMAPI_Session& session, std::string movedTo)
    : FSession(session), FMovedTo(std::move(movedTo)) {}

void TUndoTreatment::Locate(TUndoItem& item) {
  try {
    const std::string& id = item.entryIDAfter.empty() ? item.entryIDBefore : item.entryIDAfter;
    const std::string folder = FolderOfMessage(FSession, id, false).first;
    if (!folder.empty()) {
      item.now = Text(folder);
      item.entryIDNow = id;
    } else if (!item.entryIDAfter.empty()) {
      item.outcome = TUndoOutcome::Purged;
    }
  } catch (const std::exception& e) {
    Fail(item, e.what());
  }
}

std::string TUndoTreatment::DeletedItemsOf(const std::string& storeEntryID) {
  const std::string id = Bytes(storeEntryID);
  if (id.empty()) throw Exception("No store entry identifier given!");
  TComPtr<IMsgStore> store;
  const TEntryIDRef ref = RefTo(id);
  CheckForError(FSession.Session()->OpenMsgStore(0, ref.cb, ref.lpb, nullptr, MDB_NO_DIALOG | MAPI_BEST_ACCESS, &store),
                "Could not open the message store!");
  static const std::string kWhat = "Could not get EntryID for folder!";
  const TMapiBuffer<SPropValue> value = GetOneProp(store.Get(), PR_IPM_WASTEBASKET_ENTRYID, kWhat);
  const SBinary& folder = EntryIDOf(value.Get(), PR_IPM_WASTEBASKET_ENTRYID, kWhat);
  return EntryIDToText(folder.lpb, folder.cb);
}

const std::string& TUndoTreatment::PutIn(const TUndoItem& item) {
  if (!FMovedTo.empty()) return FMovedTo;
  auto known = FDeletedItems.find(item.storeEntryID);
  if (known == FDeletedItems.end())
    known = FDeletedItems.emplace(item.storeEntryID, DeletedItemsOf(item.storeEntryID)).first;
  return known->second;
}

// The messages whose place is not known are looked for by their search key
// in the folder the treatment moved them into. Rows that other messages of
// the run already stand for are passed over; should more rows be left for a
// key than messages look for it, an older copy is among them and no row is
// taken: putting back the wrong copy would be worse than saying so.
void TUndoTreatment::FindByKeys(std::span<TUndoItem*> unknown, std::span<TUndoItem> all) {
  std::map<std::string, std::vector<TUndoItem*>> byFolder;
  for (TUndoItem* item : unknown) {
    try {
      byFolder[PutIn(*item)].push_back(item);
    } catch (const std::exception& e) {
      Fail(*item, e.what());
    }
  }
  std::set<std::string> claimed;
  for (const TUndoItem& item : all)
    if (!item.entryIDNow.empty()) claimed.insert(Bytes(item.entryIDNow));
  for (auto& [folderText, items] : byFolder) {
    TKeyedRows rows;
    try {
      const auto folder = OpenFolder(FSession, folderText);
      if (folder) rows = RowsWithSearchKeys(*folder, KeysOf(items));
    } catch (const std::exception& e) {
      for (TUndoItem* item : items) Fail(*item, e.what());
      continue;
    }
    std::map<std::string, std::vector<TUndoItem*>> seekers;
    for (TUndoItem* item : items) seekers[Bytes(item->searchKey)].push_back(item);
    for (auto& [key, seeking] : seekers) {
      std::vector<std::string> free;
      if (const auto found = rows.find(key); found != rows.end() && !key.empty())
        for (const std::string& id : found->second)
          if (!claimed.count(id)) free.push_back(id);
      // Rows the journal names as there before the treatment still count
      // against guessing, but are never taken.
      const std::size_t all = free.size();
      std::erase_if(free, [&](const std::string& id) { return OlderCopy(seeking, id); });
      // Copies from one folder go back to it whichever is which; from
      // several, a row could go back into another copy's folder.
      const bool oneFolder = std::all_of(seeking.begin(), seeking.end(), [&](const TUndoItem* item) {
        return item->sourceFolder == seeking.front()->sourceFolder;
      });
      for (std::size_t i = 0; i < seeking.size(); ++i) {
        if (all > seeking.size()) Fail(*seeking[i], kSeveral);
        else if (!oneFolder && !free.empty()) Fail(*seeking[i], kApart);
        else if (i >= free.size()) seeking[i]->outcome = TUndoOutcome::Purged;
        else {
          seeking[i]->now = folderText;
          seeking[i]->entryIDNow = Text(free[i]);
        }
      }
    }
  }
}

// Only a message where the treatment put it goes back: one the user moved on
// since then stays where it is now.
void TUndoTreatment::LeaveMovedOn(std::span<TUndoItem> items) {
  for (TUndoItem& item : items) {
    if (item.outcome != TUndoOutcome::Pending || item.now == item.sourceFolder) continue;
    try {
      if (item.now != PutIn(item)) item.outcome = TUndoOutcome::MovedElsewhere;
    } catch (const std::exception& e) {
      Fail(item, e.what());
    }
  }
}

// A message not found where the treatment put it may have been put back by an
// undo that was cut short before it could mark the run undone. Its folder is
// asked for its search key; a row there may also be a copy that was never
// treated, so it is not taken for the message, only named.
void TUndoTreatment::LookInSourceFolders(std::span<TUndoItem> items) {
  std::map<std::string, std::vector<TUndoItem*>> byFolder;
  for (TUndoItem& item : items)
    if (item.outcome == TUndoOutcome::Purged && !item.searchKey.empty()) byFolder[item.sourceFolder].push_back(&item);
  for (auto& [folderText, members] : byFolder) {
    TKeyedRows rows;
    try {
      const auto folder = OpenFolder(FSession, folderText);
      if (!folder) continue;
      rows = RowsWithSearchKeys(*folder, KeysOf(members));
    } catch (const std::exception& e) {
      for (TUndoItem* item : members) Fail(*item, e.what());
      continue;
    }
    for (TUndoItem* item : members)
      if (rows.count(Bytes(item->searchKey))) item->outcome = TUndoOutcome::KeyInFolder;
  }
}

void TUndoTreatment::Run(std::span<TUndoItem> items, const std::function<void(std::size_t)>& progress,
                         const std::function<bool()>& stop) {
  if (!FSession.GetActive()) FSession.Logon();
  std::vector<TUndoItem*> unknown;
  for (TUndoItem& item : items) {
    item.outcome = TUndoOutcome::Pending;
    item.error.clear();
    item.now.clear();
    item.entryIDNow.clear();
    Locate(item);
    if (item.outcome == TUndoOutcome::Pending && item.now.empty()) unknown.push_back(&item);
  }
  FindByKeys(unknown, items);
  LeaveMovedOn(items);
  LookInSourceFolders(items);
  // The rest by the folder they are in and the folder they go back to, in
  // the order the pairs first come.
  std::vector<std::pair<std::pair<std::string, std::string>, std::vector<TUndoItem*>>> moves;
  for (TUndoItem& item : items) {
    if (item.outcome != TUndoOutcome::Pending) continue;
    if (item.now == item.sourceFolder) {
      item.outcome = TUndoOutcome::NotMoved;
      continue;
    }
    const std::pair<std::string, std::string> pair{item.now, item.sourceFolder};
    auto it = std::find_if(moves.begin(), moves.end(), [&](const auto& m) { return m.first == pair; });
    if (it == moves.end()) it = moves.insert(moves.end(), {pair, {}});
    it->second.push_back(&item);
  }
  const auto dealt = [&] {
    return static_cast<std::size_t>(std::count_if(items.begin(), items.end(), [](const TUndoItem& i) {
      return i.outcome != TUndoOutcome::Pending;
    }));
  };
  if (progress) progress(dealt());
  for (auto& [folders, members] : moves) {
    TMove move;
    try {
      move.to = OpenFolder(FSession, folders.second);
      move.from = move.to ? OpenFolder(FSession, folders.first) : nullptr;
    } catch (const std::exception& e) {
      for (TUndoItem* item : members) Fail(*item, e.what());
      continue;
    }
    if (!move.to || !move.from) {
      for (TUndoItem* item : members) item->outcome = move.to ? TUndoOutcome::Purged : TUndoOutcome::FolderGone;
      continue;
    }
    for (std::size_t at = 0; at < members.size(); at += kBatchSize) {
      const auto list = std::span(members).subspan(at, std::min(kBatchSize, members.size() - at));
      if (stop && stop()) {
        for (TUndoItem& item : items)
          if (item.outcome == TUndoOutcome::Pending) item.outcome = TUndoOutcome::Stopped;
        return;
      }
      MoveBack(move, list);
      if (progress) progress(dealt());
    }
  }
}

void TUndoTreatment::MoveBack(TMove& move, std::span<TUndoItem* const> items) {
  const std::set<std::string> keys = KeysOf(items);
  std::optional<TKeyedRows> before;
  try {
    before = RowsWithSearchKeys(*move.to, keys);
  } catch (const std::exception&) {
    // Without it a list the store does not take whole is sorted out by
    // where each message is; none is then taken for arrived.
  }
  std::vector<std::string> ids;
  std::vector<SBinary> bins;
  ids.reserve(items.size());
  for (const TUndoItem* item : items) ids.push_back(Bytes(item->entryIDNow));
  for (std::string& id : ids) bins.push_back({static_cast<ULONG>(id.size()), reinterpret_cast<LPBYTE>(id.data())});
  ENTRYLIST list{static_cast<ULONG>(bins.size()), bins.data()};
  const HRESULT hr = move.from->CopyMessages(list, *move.to, MESSAGE_MOVE);
  if (hr == S_OK) {
    for (TUndoItem* item : items) item->outcome = TUndoOutcome::Restored;
    return;
  }
  std::optional<TKeyedRows> arrived;
  try {
    if (before) arrived = NewRows(*before, RowsWithSearchKeys(*move.to, keys));
  } catch (const std::exception&) {
  }
  for (TUndoItem* item : items) {
    std::vector<std::string>* rows = nullptr;
    if (arrived)
      if (const auto found = arrived->find(Bytes(item->searchKey)); found != arrived->end()) rows = &found->second;
    try {
      SortOut(move, *item, rows);
    } catch (const std::exception& e) {
      Fail(*item, e.what());
    }
  }
}

// After a list the store did not take whole: a message still where it was is
// sent again on its own; one gone from there went back only if a new row
// with its search key arrived in its folder.
void TUndoTreatment::SortOut(TMove& move, TUndoItem& item, std::vector<std::string>* arrived) {
  const std::string now = FolderOfMessage(FSession, item.entryIDNow, false).first;
  if (now.empty()) {
    if (!arrived || arrived->empty())
      return Fail(item, kGone + std::string("\r\n") + SystemErrorText(MAPI_E_NOT_FOUND));
    arrived->erase(arrived->begin());
    item.outcome = TUndoOutcome::Restored;
    return;
  }
  if (Text(now) != item.now) return Fail(item, kGone + std::string("\r\n") + SystemErrorText(MAPI_E_NOT_FOUND));
  std::string id = Bytes(item.entryIDNow);
  SBinary bin{static_cast<ULONG>(id.size()), reinterpret_cast<LPBYTE>(id.data())};
  ENTRYLIST one{1, &bin};
  const HRESULT hr = move.from->CopyMessages(one, *move.to, MESSAGE_MOVE);
  static const std::string kWhat = "Could not move message!";
  // For a list of one, the warning means nothing was done.
  if (hr == MAPI_W_PARTIAL_COMPLETION) return Fail(item, kWhat + "\r\n" + SystemErrorText(hr));
  CheckForError(hr, kWhat);
  item.outcome = TUndoOutcome::Restored;
}
