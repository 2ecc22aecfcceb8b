#include "mapi/EntryIDText.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const std::string kNotRead(1, '\x01');

}  // namespace

TsxMAPI_Folder::TsxMAPI_Folder(IMAPIFolder* folder, TsxMAPI_Session* session)
    : FSession(session), FFolder(TComPtr<IMAPIFolder>::Share(folder)) {
  Init();
}

TsxMAPI_Folder::TsxMAPI_Folder(TEntryIDRef entryID, TsxMAPI_Session* session) : FSession(session) {
  ULONG type = 0;
  const HRESULT hr = session && session->Session()
                         ? session->Session()->OpenEntry(entryID.cb, entryID.lpb, &IID_IMAPIFolder,
                                                         MAPI_BEST_ACCESS, &type,
                                                         FFolder.As<IUnknown>())
                         : MAPI_E_NOT_INITIALIZED;
  CheckForError(hr, "Could not get folder from Message Store or Parent Folder!");
  Init();
}

void TsxMAPI_Folder::Init() {
  FFolderName = kNotRead;
  if (!FSession || !FSession->GetActive()) throw Exception("MAPI not initialized!");
}

TsxMAPI_Folder::~TsxMAPI_Folder() {
  ClearHierarchi();
  ClearContents();
}

std::string TsxMAPI_Folder::GetFolderName() {
  if (FFolderName != kNotRead) return FFolderName;
  SPropTagArray tags = {1, {PR_DISPLAY_NAME}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  const HRESULT hr = FFolder->GetProps(&tags, 0, &count, &value);
  CheckForError(hr, "Could not get Name property!");
  CheckValue(count == 1 ? value.Get() : nullptr, PR_DISPLAY_NAME, "Could not get Name property!");
  FFolderName = value->Value.lpszA ? value->Value.lpszA : "";
  return FFolderName;
}

std::string TsxMAPI_Folder::GetEntryIDString() {
  SPropTagArray tags = {1, {PR_ENTRYID}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  CheckForError(FFolder->GetProps(&tags, 0, &count, &value), "Could not get Name property!");
  FEntryIDString.clear();
  if (value && count == 1 && value->ulPropTag == PR_ENTRYID)
    FEntryIDString = EntryIDToText(value->Value.bin.lpb, value->Value.bin.cb);
  return FEntryIDString;
}

int TsxMAPI_Folder::GetSubCount() {
  if (FSubCount < 0) RefreshHierarchi();
  return FSubCount;
}

TsxMAPI_Folder* TsxMAPI_Folder::GetSubFolder(int index) {
  return index >= 0 && index < static_cast<int>(FSubs.size()) ? FSubs[index].get() : nullptr;
}

int TsxMAPI_Folder::GetMsgCount() {
  if (FMsgCount < 0) RefreshContents();
  return FMsgCount;
}

TsxMAPI_Message* TsxMAPI_Folder::GetMessage(int index) {
  return index >= 0 && index < static_cast<int>(FMsgs.size()) ? FMsgs[index].get() : nullptr;
}

bool TsxMAPI_Folder::IsNote() {
  bool note = true;
  try {
    SPropTagArray tags = {1, {PR_CONTAINER_CLASS}};
    ULONG count = 0;
    TMapiBuffer<SPropValue> value;
    const HRESULT hr = FFolder->GetProps(&tags, 0, &count, &value);
    // Only a clean answer counts: a warning means the class is missing.
    if (hr == S_OK && value && count == 1 && value->ulPropTag == PR_CONTAINER_CLASS) {
      const std::string cls = value->Value.lpszA ? value->Value.lpszA : "";
      if (!cls.empty() && cls != "IPF.Note") note = false;
    }
  } catch (...) {
  }
  return note;
}

void TsxMAPI_Folder::ClearHierarchi() {
  FSubs.clear();
  FSubCount = -1;
}

void TsxMAPI_Folder::ClearContents() {
  FMsgs.clear();
  FMsgCount = -1;
}

void TsxMAPI_Folder::RefreshHierarchi() {
  ClearHierarchi();
  TComPtr<IMAPITable> table;
  CheckForError(FFolder->GetHierarchyTable(0, &table),
                "Could not get folder from Message Store or Parent Folder!");
  SPropTagArray columns = {1, {PR_ENTRYID}};
  CheckForError(table->SetColumns(&columns, 0), "Could not set columns!");
  TRowSet rows;
  CheckForError(table->QueryRows(0x7FFFFFFF, 0, &rows), "Could not get rows data!");
  for (ULONG r = 0; r < rows.Count(); ++r) {
    const SPropValue& id = rows->aRow[r].lpProps[0];
    CheckValue(&id, PR_ENTRYID, "Could not get folder from Message Store or Parent Folder!");
    TComPtr<IMAPIFolder> child;
    ULONG type = 0;
    // Read-only: the walk never writes to a child folder.
    CheckForError(FSession->Session()->OpenEntry(id.Value.bin.cb,
                                                 reinterpret_cast<LPENTRYID>(id.Value.bin.lpb),
                                                 &IID_IMAPIFolder, 0, &type, child.As<IUnknown>()),
                  "Could not get folder from Message Store or Parent Folder!");
    FSubs.push_back(std::make_unique<TsxMAPI_Folder>(child.Get(), FSession));
  }
  FSubCount = static_cast<int>(FSubs.size());
}

void TsxMAPI_Folder::RefreshContents() {
  ClearContents();
  TComPtr<IMAPITable> table;
  CheckForError(FFolder->GetContentsTable(0, &table), "Could not get messages from folder!");
  SPropTagArray columns = {1, {PR_ENTRYID}};
  CheckForError(table->SetColumns(&columns, 0), "Could not set columns!");
  TRowSet rows;
  CheckForError(table->QueryRows(0x7FFFFFF, 0, &rows), "Could not get rows data!");
  FMsgs.reserve(rows.Count());
  for (ULONG r = 0; r < rows.Count(); ++r) {
    const SPropValue& id = rows->aRow[r].lpProps[0];
    CheckValue(&id, PR_ENTRYID, "Could not open message!");
    FMsgs.push_back(std::make_unique<TsxMAPI_Message>(
        TEntryIDRef{id.Value.bin.cb, reinterpret_cast<LPENTRYID>(id.Value.bin.lpb)}, this,
        FSession));
  }
  FMsgCount = static_cast<int>(FMsgs.size());
}

void TsxMAPI_Folder::DeleteMessage(std::unique_ptr<TsxMAPI_Message>& message) {
  if (!message) return;
  const TMapiBuffer<SPropValue> id = message->GetProperty(PR_ENTRYID);
  if (id->ulPropTag == PR_ENTRYID && id->Value.bin.cb > 0) {
    SBinary one = id->Value.bin;
    ENTRYLIST list = {1, &one};
    CheckForError(FFolder->DeleteMessages(&list, 0, nullptr, 0), "Could not delete message!");
  }
  for (auto it = FMsgs.begin(); it != FMsgs.end(); ++it) {
    if (it->get() == message.get()) {
      it->release();  // the caller's holder destroys it below
      FMsgs.erase(it);
      break;
    }
  }
  // A list never read stays unread (-1), so the next count reads it afresh.
  if (FMsgCount >= 0) FMsgCount = static_cast<int>(FMsgs.size());
  message.reset();
}

void TsxMAPI_Folder::CopyMessage(TsxMAPI_Message* message, TsxMAPI_Folder* target, ULONG flags) {
  if (!message || !target) return;
  const TMapiBuffer<SPropValue> id = message->GetProperty(PR_ENTRYID);
  if (id->ulPropTag != PR_ENTRYID || id->Value.bin.cb == 0) return;
  SBinary one = id->Value.bin;
  ENTRYLIST list = {1, &one};
  CheckForError(FFolder->CopyMessages(&list, nullptr, target->Folder(), 0, nullptr, flags),
                "Could not delete message!");
}
