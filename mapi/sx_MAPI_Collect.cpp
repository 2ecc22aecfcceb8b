// The collection run: on a worker thread, every folder of every store is
// walked depth first from its IPM subtree, and every message of a ticked
// mail folder becomes a record of the duplicate index.
#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "mapi/MapiText.h"
#include "mapi/MessageTable.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

bool TsxMAPI_Session::GetAllMessage() {
  if (!FDispatcher) return false;  // events must reach the owner's thread
  WaitForRun();
  // Cleared here, before the worker starts: a stop asked for from now on,
  // even before the worker's first step, ends the run.
  FStopGetAllMsg = false;
  FLastProgressTick = 0;  // a run's first message is reported
  FRunThread = std::make_unique<TGetAllMsgThread>(this);
  FRunThread->Start();
  return true;
}

void TsxMAPI_Session::WaitForRun() {
  if (FRunThread) FRunThread->WaitFor();
}

void TGetAllMsgThread::Execute() {
  if (!FSession) return;
  // This thread uses the session's MAPI objects; MAPI wants it initialised
  // too, and uninitialised only after the last of them is released.
  MAPIINIT_0 init = {0, 0};
  const bool initialised = SUCCEEDED(TMapiLibrary::Instance().Initialize(&init));
  try {
    FSession->DoGetAllMessage();
  } catch (const std::exception& e) {
    FSession->Skip("run", "", e);
  } catch (...) {
    FSession->Skip("run", "", Exception("The collection ended unexpectedly"));
  }
  if (initialised) TMapiLibrary::Instance().Uninitialize();
  FSession->OnTerminateGetAllMsg();  // the last act of the worker
}

void TsxMAPI_Session::OnTerminateGetAllMsg() {
  if (OnTerminate) FDispatcher->Post([handler = OnTerminate, this] { handler(this); });
}

void TsxMAPI_Session::RaiseProgressMsg(const std::string& text) {
  if (OnProgressMsg) FDispatcher->Post([handler = OnProgressMsg, text] { handler(text); });
}

void TsxMAPI_Session::RaiseProgressStep() {
  if (OnProgressStep) FDispatcher->Post([handler = OnProgressStep, this] { handler(this); });
}

void TsxMAPI_Session::Skip(const char* kind, const std::string& name, const std::exception& e) {
  const auto* failed = dynamic_cast<const EHeapException*>(&e);
  FSkipped.Add({kind, name, FailureReason(e), failed ? MapiErrorName(failed->Code()) : std::string()});
  if (FStoreAt < FStoresWhole.size()) FStoresWhole[FStoreAt] = false;  // stage 2 sets it past the end
}

void TsxMAPI_Session::DoGetAllMessage() {
  FMsgCount = 0;
  FAddedCount = 0;
  FSkipped.Clear();
  FOrigins.Clear();
  if (!FSession) Logon();
  // The stores are listed first and the table let go; each store is then
  // opened, walked and released before the next.
  std::vector<TChildFolder> stores;
  {
    enum { colEntryID, colName };
    const auto columns = MakeTagArray({PR_ENTRYID, PR_DISPLAY_NAME_W});
    TTableReader reader(OpenStoresTable(), columns.Get());
    reader.ForEachRow([this, &stores](const SRow& row) {
      const SPropValue* name = Column(row, colName);
      TChildFolder store{{}, name ? TextValue(*name) : ""};
      try {
        const SBinary& id = EntryIDOf(Column(row, colEntryID), PR_ENTRYID, "Could not get a store's entry identifier!");
        store.entryID.assign(reinterpret_cast<const char*>(id.lpb), id.cb);
        stores.push_back(std::move(store));
      } catch (const EHeapException& e) {
        Skip("store", store.name, e);
      }
      return true;
    });
  }
  FOpenedLate = 0;
  FStaged.Clear();
  FCachedBodies = 0;
  FBodyCacheFound = TBodyCacheLoad::missing;
  FBodyCacheWritten = !Staging() || FBodyCachePath.empty();  // none due
  if (Staging()) {
    FStaged.Begin(nSelFields, FSearchOverFolders);
    FStores = stores;
    FStoresWhole.assign(stores.size(), true);
    if (!FBodyCachePath.empty()) FBodyCacheFound = FBodyCache.Load(FBodyCachePath);
  }
  for (FStoreAt = 0; FStoreAt < stores.size(); ++FStoreAt) {
    if (FStopGetAllMsg.load()) break;
    try {
      WalkStore(stores[FStoreAt]);
    } catch (const std::exception& e) {
      Skip("store", stores[FStoreAt].name, e);
    }
  }
  if (Staging()) FinishStages();
  FOrigins.Finish();
}

void TsxMAPI_Session::WalkStore(const TChildFolder& row) {
  static const std::string kWhat = "Could not get properties!";
  TComPtr<IMsgStore> store = OpenMsgStoreByEntryID(RefTo(row.entryID));
  enum { colSubtree, colSupport };
  const auto tags = MakeTagArray({PR_IPM_SUBTREE_ENTRYID, PR_STORE_SUPPORT_MASK});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(store->GetProps(tags.Get(), 0, &count, &values), kWhat);
  if (!values || count != tags->cValues) CheckValue(nullptr, PR_IPM_SUBTREE_ENTRYID, kWhat);
  // A store without an IPM subtree (a public one) has nothing to walk.
  if (!HasValue(values[colSubtree], PR_IPM_SUBTREE_ENTRYID, kWhat)) return;
  const bool unicode = IsUnicodeMask(values[colSupport]);
  // Read-only, as every folder of the walk.
  const TComPtr<IMAPIFolder> root =
      OpenFolderEntry(store.Get(), RefTo(EntryIDOf(&values[colSubtree], PR_IPM_SUBTREE_ENTRYID, kWhat)), 0);
  TsxMAPI_Folder folder(root.Get(), this);
  folder.SetUnicode(unicode);
  FOriginStore = row.name;
  FOriginPath.clear();
  WalkFolder(folder, row.name);
}

// The folder's messages first, then its sub-folders in hierarchy order.
// What cannot be read is listed and the walk goes on.
void TsxMAPI_Session::WalkFolder(TsxMAPI_Folder& folder, const std::string& knownName) {
  const auto nameOf = [&] {
    try {
      return folder.GetFolderName();
    } catch (const std::exception&) {
      return knownName;  // the table's name, when the folder cannot tell its own
    }
  };
  try {
    WalkMessages(folder);
  } catch (const std::exception& e) {
    Skip("folder", nameOf(), e);
  }
  try {
    WalkSubFolders(folder);
  } catch (const std::exception& e) {
    Skip("folder", nameOf(), e);
  }
}

void TsxMAPI_Session::WalkMessages(TsxMAPI_Folder& folder) {
  const std::string name = folder.GetFolderName();
  if (!IsFolderSelected(folder.GetEntryIDString())) {
    if (FStoreAt < FStoresWhole.size()) FStoresWhole[FStoreAt] = false;
    return;
  }
  if (!folder.IsNote()) return;
  RaiseProgressMsg(std::to_string(FMsgCount.load()) + " [" + name + "] ");
  RaiseProgressStep();
  std::string path;
  for (const std::string& part : FOriginPath) path += (path.empty() ? "" : "/") + part;
  FOriginFolder = FOrigins.AddFolder({FOriginStore, path, folder.GetEntryIDString()});
  if (Staging()) FStaged.AddFolder({FStoreAt, folder.GetEntryIDString(), name, FOriginFolder, folder.Unicode()});
  // One message open at a time: opened, read, added and released.
  if (!FReadThroughTables) {
    folder.ForEachMessageRow([&](const TMessageRow& row) {
      return CollectMessage(row.subject, name, [&] {
        TsxMAPI_Message message(row.entryID, &folder, this, 0);
        return ReadWholeMessage(message, nSelFields);
      });
    });
    return;
  }
  const bool staging = Staging();
  ForEachMessageTableRow(folder, [&](const TMessageTableRow& row) {
    const bool late = staging && row.whole;  // the opened fields wait for stage 2
    return CollectMessage(row.subject, name, [&] {
      const bool open = !row.whole || (NeedsOpenMessage(nSelFields) && !late);
      if (!open) return row.fields;
      TsxMAPI_Message message(row.entryID, &folder, this, 0);
      if (!row.whole) return ReadWholeMessage(message, nSelFields);
      TCollectedMessage m = row.fields;
      ReadOpenedFields(message, nSelFields, m);
      return m;
    }, &late);
  });
}

bool TsxMAPI_Session::CollectMessage(const std::string& rowSubject, const std::string& folderName,
                                     const std::function<TCollectedMessage()>& read, const bool* late) {
  if (FStopGetAllMsg.load()) return false;
  std::string subject = rowSubject;
  try {
    TCollectedMessage m = read();
    subject = m.subject;
    if (Staging())
      FStaged.Add(std::move(m), !(late && *late));
    else
      AddMsgToDB(m, folderName);
  } catch (const std::exception& e) {
    Skip("message", subject, e);
  }
  ++FMsgCount;
  return Progress(folderName, subject);
}

bool TsxMAPI_Session::Progress(const std::string& folderName, const std::string& subject) {
  if (FProgressInterval != 0) {
    const std::uint64_t now = GetTickCount64();
    if (FLastProgressTick != 0 && now - FLastProgressTick < FProgressInterval) return !FStopGetAllMsg.load();
    FLastProgressTick = now;
  }
  RaiseProgressMsg(std::to_string(FMsgCount.load()) + " [" + folderName + "] " + subject);
  return !FStopGetAllMsg.load();
}

void TsxMAPI_Session::WalkSubFolders(TsxMAPI_Folder& folder) {
  for (const TChildFolder& row : folder.SubFolders()) {
    if (FStopGetAllMsg.load()) break;
    std::unique_ptr<TsxMAPI_Folder> child;
    try {
      child = folder.OpenSubFolder(row);
    } catch (const std::exception& e) {
      Skip("folder", row.name, e);
      continue;
    }
    FOriginPath.push_back(row.name);
    WalkFolder(*child, row.name);
    FOriginPath.pop_back();
  }
}

void TsxMAPI_Session::AddMsgToDB(const TCollectedMessage& m, const std::string& folderName) {
  if (!FtxDB) throw Exception("No duplicate index to add the message to");
  TQuopMsg record;
  FtxDB->InitQuopMsg(record);
  record.nIndex = 0;
  // The index copies the texts; it never writes through these pointers.
  const auto text = [](const std::string& s) { return const_cast<char*>(s.data()); };
  const auto wants = [this](std::int32_t field) { return (nSelFields & field) != 0; };
  record.szEntryID = text(m.entryID);
  record.szSenderName = text(m.senderName);
  record.szSubject = text(m.subject);
  if (wants(FIELD_SENDER_EMAIL)) record.szSenderEmail = text(m.senderEmail);
  if (wants(FIELD_ATTACHMENT)) record.szAttached = text(m.attached);
  record.dtRecivedTime = m.received;
  if (wants(FIELD_SENT_DATE)) record.dtSendTime = m.sent;
  if (wants(FIELD_SENT_TO)) record.szTo = text(m.to);
  if (wants(FIELD_CC)) record.szCC = text(m.cc);
  if (wants(FIELD_BCC)) record.szBCC = text(m.bcc);
  if (wants(FIELD_MESSAGE)) record.lBodyCrc = m.bodyCrc;
  record.nMsgSize = m.size;
  record.szFolder = text(folderName);
  record.bRead = m.read ? 1 : 0;
  const bool added = FtxDB->AddMsg(record);
  // After the first and every 1000th.
  if ((Staging() ? FAddedCount.load() : FMsgCount.load()) % 1000 == 0) FtxDB->CommitDB();
  if (!added) throw Exception("The duplicate index did not take the message");
  FOrigins.Add(m.entryID, FOriginFolder, m.flagged, m.attachments, m.bodyForm);
  ++FAddedCount;
}
