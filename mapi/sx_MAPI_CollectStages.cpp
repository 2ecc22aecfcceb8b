// Stage 2 of a collection run with two stages: the held messages that share
// their stage-1 key are opened for the fields only an opened message gives,
// then every held message is added in the order read, so that the index
// sees the same records, folder runs and add positions as a run that opened
// every message.
#include "indexapi/CompareFields.h"
#include "mapi/EntryIDText.h"
#include "mapi/MapiProps.h"
#include "mapi/sx_MAPI_Session.h"

bool TsxMAPI_Session::Staging() const { return FTwoStage && FReadThroughTables && NeedsOpenMessage(nSelFields); }

TBodyCacheKey TsxMAPI_Session::CacheKeyOf(const TStagedMessage& held) const {
  const std::string& store = FStores[FStaged.Folders()[held.folder].store].entryID;
  return BodyCacheKey(store, held.fields.entryID, held.fields.modified, static_cast<std::uint32_t>(held.fields.size));
}

void TsxMAPI_Session::KeepBodyCache() {
  if (FBodyCachePath.empty()) return;
  if (!FStopGetAllMsg.load()) {
    for (const TStagedMessage& held : FStaged.Messages())
      if (FStoresWhole[FStaged.Folders()[held.folder].store]) FBodyCache.MarkPresent(CacheKeyOf(held));
    for (std::size_t i = 0; i < FStores.size(); ++i)
      if (FStoresWhole[i]) FBodyCache.DropAbsent(BodyCacheKey(FStores[i].entryID, "", 0, 0).store);
  }
  FBodyCacheWritten = FBodyCache.Save(FBodyCachePath);
  FBodyCache.Clear();
}

void TsxMAPI_Session::FinishStages() {
  {
    // Released message first (in ReadLate), then folder, then store.
    TComPtr<IMsgStore> store;
    std::unique_ptr<TsxMAPI_Folder> folder;
    std::size_t storeAt = SIZE_MAX, folderAt = SIZE_MAX;
    // The cache alone can stand in for opening when the body is all stage 2 reads.
    const bool useCache = !FBodyCachePath.empty() && (nSelFields & FIELD_MESSAGE) != 0 &&
                          (nSelFields & (FIELD_SENT_TO | FIELD_CC | FIELD_BCC | FIELD_ATTACHMENT)) == 0;
    for (TStagedMessage& held : FStaged.Messages()) {
      if (!FStaged.IsCandidate(held)) continue;
      if (FStopGetAllMsg.load()) {
        held.leftOut = true;  // as a message the run never reached
        continue;
      }
      const TBodyCacheKey key = CacheKeyOf(held);
      if (useCache && FBodyCache.Find(key, held.fields.bodyCrc)) {
        ++FCachedBodies;
        continue;
      }
      ReadLate(held, folder, folderAt, store, storeAt);
      if (!held.leftOut && !FBodyCachePath.empty() && (nSelFields & FIELD_MESSAGE) != 0)
        FBodyCache.Put(key, held.fields.bodyCrc);
      Progress(FStaged.Folders()[held.folder].name, held.fields.subject);
    }
  }
  KeepBodyCache();
  for (const TStagedMessage& held : FStaged.Messages()) {
    if (held.leftOut) continue;
    const TStagedFolder& f = FStaged.Folders()[held.folder];
    FOriginFolder = f.origin;
    try {
      AddMsgToDB(held.fields, f.name);
    } catch (const std::exception& e) {
      Skip("message", held.fields.subject, e);
    }
  }
  FStaged.Clear();
}

// Opens the held message through its folder, opened again (and its store)
// when it is not the last one's; a message that cannot be read is listed
// and left out.
void TsxMAPI_Session::ReadLate(TStagedMessage& held, std::unique_ptr<TsxMAPI_Folder>& folder,
                               std::size_t& folderAt, TComPtr<IMsgStore>& store, std::size_t& storeAt) {
  const TStagedFolder& f = FStaged.Folders()[held.folder];
  try {
    if (!folder || folderAt != held.folder) {
      folder.reset();
      folderAt = SIZE_MAX;
      if (!store || storeAt != f.store) {
        store.Reset();
        storeAt = SIZE_MAX;
        store = OpenMsgStoreByEntryID(RefTo(FStores[f.store].entryID));
        storeAt = f.store;
      }
      const std::vector<unsigned char> id = TextToEntryID(f.entryID);
      const TComPtr<IMAPIFolder> opened = OpenFolderEntry(store.Get(), RefTo(id), 0);
      folder = std::make_unique<TsxMAPI_Folder>(opened.Get(), this);
      folder->SetUnicode(f.unicode);
      folderAt = held.folder;
    }
    const std::vector<unsigned char> id = TextToEntryID(held.fields.entryID);
    TsxMAPI_Message message(RefTo(id), folder.get(), this, 0);
    ReadOpenedFields(message, nSelFields, held.fields);
    ++FOpenedLate;
  } catch (const std::exception& e) {
    held.leftOut = true;
    Skip("message", held.fields.subject, e);
  }
}
