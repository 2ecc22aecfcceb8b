#include "mapi/StoreDeletedItems.h"

#include "mapi/EntryIDText.h"
#include "mapi/MapiProps.h"
#include "mapi/MapiText.h"
#include "mapi/TableReader.h"

namespace {

// A failure's text, whose system message follows on a line of its own, as one line.
std::string OnOneLine(std::string text) {
  if (const auto cut = text.find("\r\n"); cut != std::string::npos) text.replace(cut, 2, " ");
  return text;
}

}  // namespace

std::vector<TStoreDeletedItems> ReadStoresDeletedItems(IMAPISession* session) {
  static const std::string kWhat = "Could not get EntryID for folder!";
  TComPtr<IMAPITable> table;
  CheckForError(session ? session->GetMsgStoresTable(0, &table) : MAPI_E_NOT_INITIALIZED,
                "Could not get the message stores table!");
  enum { colEntryID, colName };
  const auto columns = MakeTagArray({PR_ENTRYID, PR_DISPLAY_NAME_W});
  TTableReader reader(std::move(table), columns.Get());
  std::vector<TStoreDeletedItems> stores;
  reader.ForEachRow([&](const SRow& row) {
    TStoreDeletedItems& entry = stores.emplace_back();
    const SPropValue* name = Column(row, colName);
    entry.store = name ? TextValue(*name) : "";
    try {
      const SBinary& id = EntryIDOf(Column(row, colEntryID), PR_ENTRYID, "Could not get a store's entry identifier!");
      TComPtr<IMsgStore> store;
      const TEntryIDRef ref = RefTo(id);
      CheckForError(session->OpenMsgStore(0, ref.cb, ref.lpb, nullptr, MDB_NO_DIALOG, &store),
                    "Could not get Message Store!");
      const TMapiBuffer<SPropValue> value = GetOneProp(store.Get(), PR_IPM_WASTEBASKET_ENTRYID, kWhat);
      if (IsMissing(*value.Get())) return true;  // a store without Deleted Items (a public one)
      const SBinary& folder = EntryIDOf(value.Get(), PR_IPM_WASTEBASKET_ENTRYID, kWhat);
      entry.folderEntryID = EntryIDToText(folder.lpb, folder.cb);
    } catch (const std::exception& e) {
      entry.error = e.what();
    }
    return true;
  });
  return stores;
}

TDeletedItemsFolders::TDeletedItemsFolders(IMAPISession* session, const TMessageOrigins& origins)
    : FOrigins(origins) {
  try {
    for (const TStoreDeletedItems& store : ReadStoresDeletedItems(session)) {
      if (!store.folderEntryID.empty()) FFolders.insert(store.folderEntryID);
      if (store.error.empty()) continue;
      FUnreadStores.insert(store.store);
      FFailures.push_back(store.store + ": " + OnOneLine(store.error));
    }
  } catch (const std::exception& e) {
    FNoneRead = true;
    FFailures.push_back(OnOneLine(e.what()));
  }
}

bool TDeletedItemsFolders::MayHold(const std::string& entryID) {
  const TMessageOrigin origin = FOrigins.Find(entryID);
  if (origin.folder && FFolders.count(origin.folder->folderEntryID)) return true;
  if (origin.folder && !FNoneRead && !FUnreadStores.count(origin.folder->store)) return false;
  ++FUnknown;
  return true;
}
