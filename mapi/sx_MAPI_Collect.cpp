// The collection run: on a worker thread, every folder of every store is
// walked depth first from its IPM subtree, and every message of a ticked
// mail folder becomes a record of the duplicate index.
#include <chrono>

#include "index/CompareFields.h"
#include "index/uDB.h"
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
  } catch (...) {
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

bool TsxMAPI_Session::DoGetAllMessage() {
  FMsgCount = 0;
  FThreadNum = 0;
  FUseGetSubFoldersThread = false;
  FStopGetAllMsg = false;
  if (!FSession) Logon();
  if (!FSession) return false;
  TComPtr<IMAPITable> stores = OpenStoresTable(true);
  if (!stores) return false;
  SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME}};
  CheckForError(stores->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), "Could not set columns!");
  while (!FStopGetAllMsg.load()) {
    TRowSet rows;
    CheckForError(stores->QueryRows(1, 0, &rows), "Could not get rows data!");
    if (rows.Count() != 1) break;
    const SPropValue& id = rows->aRow[0].lpProps[0];
    CheckValue(&id, PR_ENTRYID, "Could not get Message Store!");
    TComPtr<IMsgStore> store =
        OpenMsgStoreByEntryID(id.Value.bin.cb, reinterpret_cast<LPENTRYID>(id.Value.bin.lpb));
    SPropTagArray subtreeTag = {1, {PR_IPM_SUBTREE_ENTRYID}};
    ULONG count = 0;
    TMapiBuffer<SPropValue> subtree;
    CheckForError(store->GetProps(&subtreeTag, 0, &count, &subtree), "Could not get properties!");
    // A store without an IPM subtree (an error value) has nothing to walk.
    if (!subtree || count != 1 || subtree->ulPropTag != PR_IPM_SUBTREE_ENTRYID) continue;
    TComPtr<IMAPIFolder> root;
    ULONG type = 0;
    CheckForError(store->OpenEntry(subtree->Value.bin.cb,
                                   reinterpret_cast<LPENTRYID>(subtree->Value.bin.lpb),
                                   &IID_IMAPIFolder, 0, &type, root.As<IUnknown>()),
                  "Could not get folder from Message Store or Parent Folder!");
    GetSubFolders(root.Get());
  }
  return true;
}

void TsxMAPI_Session::GetSubFolders(IMAPIFolder* folder) {
  if (!folder) return;
  GetSubFolders(std::make_unique<TsxMAPI_Folder>(folder, this));
}

// The folder first, then its sub-folders in hierarchy order; the folder
// object (with every message and child it opened) goes at the end.
void TsxMAPI_Session::GetSubFolders(std::unique_ptr<TsxMAPI_Folder> folder) {
  try {
    WalkMessages(*folder);
  } catch (...) {
  }
  try {
    WalkSubFolders(*folder);
  } catch (...) {
  }
}

void TsxMAPI_Session::WalkMessages(TsxMAPI_Folder& folder) {
  const std::string name = folder.GetFolderName();
  if (!IsFolderSelected(folder.GetEntryIDString()) || !folder.IsNote()) return;
  RaiseProgressMsg(std::to_string(FMsgCount) + " [" + name + "] ");
  RaiseProgressStep();
  const int count = folder.GetMsgCount();
  for (int i = 0; i < count; ++i) {
    if (FStopGetAllMsg.load()) break;
    try {
      const std::string subject = AddMsgToDB(folder.GetMessage(i), name);
      ++FMsgCount;
      RaiseProgressMsg(std::to_string(FMsgCount) + " [" + name + "] " + subject);
    } catch (...) {
    }
  }
}

void TsxMAPI_Session::WalkSubFolders(TsxMAPI_Folder& folder) {
  const int count = folder.GetSubCount();
  for (int i = 0; i < count; ++i) {
    if (FStopGetAllMsg.load()) break;
    try {
      GetSubFolders(folder.GetSubFolder(i)->Folder());
    } catch (...) {
    }
  }
}

std::string TsxMAPI_Session::AddMsgToDB(TsxMAPI_Message* message, const std::string& folderName) {
  if (!FtxDB || !message) return "";
  TQuopMsg record;
  FtxDB->InitQuopMsg(record);
  record.nIndex = 0;
  std::string entryID, sender, subject, email, attached, to, cc, bcc, folder = folderName;
  try {
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
  } catch (...) {
    return subject;  // not added, nothing reported
  }
  FtxDB->AddMsg(record);
  if (FMsgCount % 1000 == 0) FtxDB->CommitDB();
  return subject;
}
