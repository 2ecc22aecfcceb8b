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
  return BodyCacheKey(store, held.EntryID(), held.modified, static_cast<std::uint32_t>(held.size));
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

// Each held message in the order read: a candidate is completed from the
// cache or its opened message first; the others go in as stage 1 read them.
void TsxMAPI_Session::FinishStages() {
  {
    TLateReader reader;
    // The cache alone can stand in for opening when the body is all stage 2 reads.
    const bool useCache = !FBodyCachePath.empty() && (nSelFields & FIELD_MESSAGE) != 0 &&
                          (nSelFields & (FIELD_SENT_TO | FIELD_CC | FIELD_BCC | FIELD_ATTACHMENT)) == 0;
    for (const TStagedMessage& held : FStaged.Messages()) {
      TCollectedMessage m = held.Fields();
      const TStagedFolder& f = FStaged.Folders()[held.folder];
      if (FStaged.IsCandidate(held)) {
        if (FStopGetAllMsg.load()) continue;  // left out, as a message the run never reached
        const TBodyCacheKey key = CacheKeyOf(held);
        if (useCache && FBodyCache.Find(key, m.bodyCrc, m.bodyForm)) {
          ++FCachedBodies;
        } else {
          const bool read = ReadLate(held, m, reader);
          Progress(f.name, m.subject);
          if (!read) continue;
          if (!FBodyCachePath.empty() && (nSelFields & FIELD_MESSAGE) != 0) FBodyCache.Put(key, m.bodyCrc, m.bodyForm);
        }
      }
      FOriginFolder = f.origin;
      try {
        AddMsgToDB(m, f.name);
      } catch (const std::exception& e) {
        Skip("message", m.subject, e);
      }
    }
  }
  KeepBodyCache();
  FStaged.Clear();
}

// Opens the held message through its folder, opened again (and its store)
// when it is not the last one's, and reads into `m` what stage 1 left out;
// a message that cannot be read is listed, and false.
bool TsxMAPI_Session::ReadLate(const TStagedMessage& held, TCollectedMessage& m, TLateReader& reader) {
  const TStagedFolder& f = FStaged.Folders()[held.folder];
  try {
    if (!reader.folder || reader.folderAt != held.folder) {
      reader.folder.reset();
      reader.folderAt = SIZE_MAX;
      if (!reader.store || reader.storeAt != f.store) {
        reader.store.Reset();
        reader.storeAt = SIZE_MAX;
        reader.store = OpenMsgStoreByEntryID(RefTo(FStores[f.store].entryID));
        reader.storeAt = f.store;
      }
      const std::vector<unsigned char> id = TextToEntryID(f.entryID);
      const TComPtr<IMAPIFolder> opened = OpenFolderEntry(reader.store.Get(), RefTo(id), 0);
      reader.folder = std::make_unique<TsxMAPI_Folder>(opened.Get(), this);
      reader.folder->SetUnicode(f.unicode);
      reader.folderAt = held.folder;
    }
    const std::vector<unsigned char> id = TextToEntryID(m.entryID);
    TsxMAPI_Message message(RefTo(id), reader.folder.get(), this, 0);
    ReadOpenedFields(message, nSelFields, m);
    ++FOpenedLate;
    return true;
  } catch (const std::exception& e) {
    Skip("message", m.subject, e);
    return false;
  }
}
