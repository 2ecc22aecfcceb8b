// The collection run: on a worker thread, every folder of every store is
// walked depth first from its IPM subtree, and every message of a ticked
// mail folder becomes a record of the duplicate index.
#include <chrono>

#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "mapi/MapiText.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

bool TsxMAPI_Session::GetAllMessage() {
  if (!FDispatcher) return false;  // events must reach the owner's thread
  WaitForRun();
  FRunThread = std::make_unique<TGetAllMsgThread>(this);
  FRunThread->Start();
  return true;
}

void TsxMAPI_Session::WaitForRun() {
  if (FRunThread) FRunThread->WaitFor();
}

void TGetAllMsgThread::Execute() {
  if (!FSenssion) return;
  // This thread uses the session's MAPI objects; MAPI wants it initialised too.
  MAPIINIT_0 init = {0, 0};
  const bool initialised = SUCCEEDED(TMapiLibrary::Instance().Initialize(&init));
  try {
    FSenssion->DoGetAllMessage();
    while (FSenssion->ThreadNum() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } catch (const std::exception& e) {
    FSenssion->Skip("run", "", e);
  } catch (...) {
    FSenssion->Skip("run", "", Exception("The collection ended unexpectedly"));
  }
  if (initialised) TMapiLibrary::Instance().Uninitialize();
  FSenssion->OnTerminateGetAllMsg();  // the last act of the worker
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
}

bool TsxMAPI_Session::DoGetAllMessage() {
  FMsgCount = 0;
  FAddedCount = 0;
  FSkipped.Clear();
  FThreadNum = 0;
  FUseGetSubFoldersThread = false;
  FStopGetAllMsg = false;
  if (!FSession) Logon();
  if (!FSession) return false;
  // The stores are listed first and the table let go; each store is then
  // opened, walked and released before the next.
  std::vector<TChildFolder> stores;
  {
    TComPtr<IMAPITable> table = OpenStoresTable(true);
    if (!table) return false;
    enum { colEntryID, colName };
    const auto columns = MakeTagArray({PR_ENTRYID, PR_DISPLAY_NAME_W});
    TTableReader reader(std::move(table), columns.Get());
    reader.ForEachRow([this, &stores](const SRow& row) {
      TChildFolder store;
      if (row.cValues > colName) store.name = TextValue(row.lpProps[colName]);
      if (row.cValues > colEntryID && row.lpProps[colEntryID].ulPropTag == PR_ENTRYID) {
        const SBinary& id = row.lpProps[colEntryID].Value.bin;
        store.entryID.assign(reinterpret_cast<const char*>(id.lpb), id.cb);
        stores.push_back(std::move(store));
      } else {
        Skip("store", store.name, EHeapException("Could not get Message Store!", MAPI_E_NOT_FOUND));
      }
      return true;
    });
  }
  for (const TChildFolder& store : stores) {
    if (FStopGetAllMsg.load()) break;
    try {
      WalkStore(store);
    } catch (const std::exception& e) {
      Skip("store", store.name, e);
    }
  }
  return true;
}

void TsxMAPI_Session::WalkStore(const TChildFolder& row) {
  const TEntryIDRef id = row.Ref();
  TComPtr<IMsgStore> store = OpenMsgStoreByEntryID(id.cb, id.lpb);
  enum { colSubtree, colSupport };
  SizedSPropTagArray(2, tags) = {2, {PR_IPM_SUBTREE_ENTRYID, PR_STORE_SUPPORT_MASK}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &values),
                "Could not get properties!");
  if (!values || count != 2) CheckValue(nullptr, PR_IPM_SUBTREE_ENTRYID, "Could not get properties!");
  const SPropValue& subtree = values[colSubtree];
  // A store without an IPM subtree (a public one) has nothing to walk.
  if (PROP_TYPE(subtree.ulPropTag) == PT_ERROR && subtree.Value.err == MAPI_E_NOT_FOUND) return;
  CheckValue(&subtree, PR_IPM_SUBTREE_ENTRYID, "Could not get properties!");
  TComPtr<IMAPIFolder> root;
  ULONG type = 0;
  CheckForError(store->OpenEntry(subtree.Value.bin.cb, reinterpret_cast<LPENTRYID>(subtree.Value.bin.lpb),
                                 &IID_IMAPIFolder, 0, &type, root.As<IUnknown>()),
                "Could not get folder from Message Store or Parent Folder!");
  TsxMAPI_Folder folder(root.Get(), this);
  const SPropValue& support = values[colSupport];
  folder.SetUnicode(support.ulPropTag == PR_STORE_SUPPORT_MASK && (support.Value.l & STORE_UNICODE_OK) != 0);
  WalkFolder(folder, row.name);
}

void TsxMAPI_Session::GetSubFolders(IMAPIFolder* folder) {
  if (!folder) return;
  GetSubFolders(std::make_unique<TsxMAPI_Folder>(folder, this));
}

void TsxMAPI_Session::GetSubFolders(std::unique_ptr<TsxMAPI_Folder> folder) {
  if (folder) WalkFolder(*folder, std::string());
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
  if (!IsFolderSelected(folder.GetEntryIDString()) || !folder.IsNote()) return;
  RaiseProgressMsg(std::to_string(FMsgCount.load()) + " [" + name + "] ");
  RaiseProgressStep();
  // One message open at a time: opened, read, added and released.
  folder.ForEachMessageRow([&](const TMessageRow& row) {
    if (FStopGetAllMsg.load()) return false;
    std::string subject = row.subject;
    try {
      TsxMAPI_Message message(row.entryID, &folder, this, 0);
      subject = AddMsgToDB(&message, name);
    } catch (const std::exception& e) {
      Skip("message", subject, e);
    }
    ++FMsgCount;
    RaiseProgressMsg(std::to_string(FMsgCount.load()) + " [" + name + "] " + subject);
    return !FStopGetAllMsg.load();
  });
}

void TsxMAPI_Session::WalkSubFolders(TsxMAPI_Folder& folder) {
  const int count = folder.GetSubCount();
  for (int i = 0; i < count; ++i) {
    if (FStopGetAllMsg.load()) break;
    const TChildFolder& row = *folder.SubFolderRow(i);
    std::unique_ptr<TsxMAPI_Folder> child;
    try {
      child = folder.OpenSubFolder(row);
    } catch (const std::exception& e) {
      Skip("folder", row.name, e);
      continue;
    }
    WalkFolder(*child, row.name);
  }
}

std::string TsxMAPI_Session::AddMsgToDB(TsxMAPI_Message* message, const std::string& folderName) {
  if (!FtxDB || !message) return "";
  TQuopMsg record;
  FtxDB->InitQuopMsg(record);
  record.nIndex = 0;
  std::string entryID, sender, subject, email, attached, to, cc, bcc, folder = folderName;
  const auto wants = [this](std::int32_t field) { return (nSelFields & field) != 0; };
  entryID = message->GetEntryIDString();
  record.szEntryID = entryID.data();
  sender = message->GetSender();
  record.szSenderName = sender.data();
  subject = message->GetSubject();
  record.szSubject = subject.data();
  if (wants(FIELD_SENDER_EMAIL)) record.szSenderEmail = (email = message->GetSenderAddr()).data();
  if (wants(FIELD_ATTACHMENT)) record.szAttached = (attached = message->GetAttachmentString()).data();
  record.dtRecivedTime = message->GetRecivedTime();
  if (wants(FIELD_SENT_DATE)) record.dtSendTime = message->GetSentTime();
  if (wants(FIELD_SENT_TO)) record.szTo = (to = message->GetTo()).data();
  if (wants(FIELD_CC)) record.szCC = (cc = message->GetCC()).data();
  if (wants(FIELD_BCC)) record.szBCC = (bcc = message->GetBCC()).data();
  if (wants(FIELD_MESSAGE)) record.lBodyCrc = message->GetBodyCRC();
  record.nMsgSize = static_cast<std::int32_t>(message->GetSize());
  record.szFolder = folder.data();
  record.bRead = message->IsRead() ? 1 : 0;
  const bool added = FtxDB->AddMsg(record);
  if (FMsgCount.load() % 1000 == 0) FtxDB->CommitDB();  // after the first and every 1000th
  if (!added) throw Exception("The duplicate index did not take the message");
  ++FAddedCount;
  return subject;
}
