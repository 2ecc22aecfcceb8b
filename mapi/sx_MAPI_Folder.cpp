#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/TableReader.h"
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
  const ULONG tag = TextTag(PR_DISPLAY_NAME, FUnicode);
  SPropTagArray tags = {1, {tag}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  const HRESULT hr = FFolder->GetProps(&tags, 0, &count, &value);
  CheckForError(hr, "Could not get Name property!");
  CheckValue(count == 1 ? value.Get() : nullptr, tag, "Could not get Name property!");
  FFolderName = TextValue(*value.Get());
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
  if (index < 0 || index >= static_cast<int>(FSubs.size())) return nullptr;
  if (index != FOpenSubIndex || !FOpenSub) {
    FOpenSub.reset();
    FOpenSubIndex = -1;
    FOpenSub = OpenSubFolder(FSubs[index]);
    FOpenSubIndex = index;
  }
  return FOpenSub.get();
}

const TChildFolder* TsxMAPI_Folder::SubFolderRow(int index) const {
  return index >= 0 && index < static_cast<int>(FSubs.size()) ? &FSubs[index] : nullptr;
}

std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Folder::OpenSubFolder(const TChildFolder& child) {
  TComPtr<IMAPIFolder> folder;
  ULONG type = 0;
  const TEntryIDRef id = child.Ref();
  // Read-only: the walk never writes to a child folder.
  CheckForError(FSession->Session()->OpenEntry(id.cb, id.lpb, &IID_IMAPIFolder, 0, &type,
                                               folder.As<IUnknown>()),
                "Could not get folder from Message Store or Parent Folder!");
  auto sub = std::make_unique<TsxMAPI_Folder>(folder.Get(), FSession);
  sub->SetUnicode(FUnicode);
  return sub;
}

int TsxMAPI_Folder::GetMsgCount() {
  if (FMsgCount < 0) RefreshContents();
  return FMsgCount;
}

TsxMAPI_Message* TsxMAPI_Folder::GetMessage(int index) {
  if (index < 0 || index >= static_cast<int>(FMsgIDs.size())) return nullptr;
  if (index != FOpenMsgIndex || !FOpenMsg) {
    FOpenMsg.reset();
    FOpenMsgIndex = -1;
    const std::string& id = FMsgIDs[index];
    FOpenMsg = std::make_unique<TsxMAPI_Message>(
        TEntryIDRef{static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data()))},
        this, FSession);
    FOpenMsgIndex = index;
  }
  return FOpenMsg.get();
}

bool TsxMAPI_Folder::IsNote() {
  const ULONG tag = TextTag(PR_CONTAINER_CLASS, FUnicode);
  SPropTagArray tags = {1, {tag}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  CheckForError(FFolder->GetProps(&tags, 0, &count, &value), "Could not get the folder's class!");
  if (!value || count != 1) CheckValue(nullptr, tag, "Could not get the folder's class!");
  // A folder without a class holds mail. One whose class cannot be read
  // raises: taken for mail, a contacts folder would offer its contacts as
  // duplicates to delete.
  if (PROP_TYPE(value->ulPropTag) == PT_ERROR && value->Value.err == MAPI_E_NOT_FOUND) return true;
  CheckValue(value.Get(), tag, "Could not get the folder's class!");
  const std::string cls = TextValue(*value.Get());
  return cls.empty() || cls == "IPF.Note";
}

void TsxMAPI_Folder::ClearHierarchi() {
  FOpenSub.reset();
  FOpenSubIndex = -1;
  FSubs.clear();
  FSubCount = -1;
}

void TsxMAPI_Folder::ClearContents() {
  FOpenMsg.reset();
  FOpenMsgIndex = -1;
  FMsgIDs.clear();
  FMsgCount = -1;
}

void TsxMAPI_Folder::RefreshHierarchi() {
  ClearHierarchi();
  TComPtr<IMAPITable> table;
  CheckForError(FFolder->GetHierarchyTable(0, &table),
                "Could not get folder from Message Store or Parent Folder!");
  enum { colEntryID, colName };
  const auto columns = MakeTagArray({PR_ENTRYID, TextTag(PR_DISPLAY_NAME, FUnicode)});
  TTableReader reader(std::move(table), columns.Get());
  std::vector<TChildFolder> subs;
  reader.ForEachRow([&subs](const SRow& row) {
    CheckValue(row.cValues > colEntryID ? &row.lpProps[colEntryID] : nullptr, PR_ENTRYID,
               "Could not get folder from Message Store or Parent Folder!");
    const SBinary& id = row.lpProps[colEntryID].Value.bin;
    TChildFolder child{std::string(reinterpret_cast<const char*>(id.lpb), id.cb), {}};
    if (row.cValues > colName) child.name = TextValue(row.lpProps[colName]);
    subs.push_back(std::move(child));
    return true;
  });
  FSubs = std::move(subs);
  FSubCount = static_cast<int>(FSubs.size());
}

void TsxMAPI_Folder::ForEachMessageRow(const std::function<bool(const TMessageRow&)>& visit) {
  TComPtr<IMAPITable> table;
  CheckForError(FFolder->GetContentsTable(0, &table), "Could not get messages from folder!");
  enum { colEntryID, colSubject };
  const auto columns = MakeTagArray({PR_ENTRYID, TextTag(PR_SUBJECT, FUnicode)});
  TTableReader reader(std::move(table), columns.Get());
  reader.ForEachRow([&visit](const SRow& row) {
    CheckValue(row.cValues > colEntryID ? &row.lpProps[colEntryID] : nullptr, PR_ENTRYID,
               "Could not open message!");
    const SBinary& id = row.lpProps[colEntryID].Value.bin;
    TMessageRow message{{id.cb, reinterpret_cast<LPENTRYID>(id.lpb)}, {}};
    if (row.cValues > colSubject) message.subject = TextValue(row.lpProps[colSubject]);
    return visit(message);
  });
}

void TsxMAPI_Folder::RefreshContents() {
  ClearContents();
  std::vector<std::string> ids;
  ForEachMessageRow([&ids](const TMessageRow& row) {
    ids.emplace_back(reinterpret_cast<const char*>(row.entryID.lpb), row.entryID.cb);
    return true;
  });
  FMsgIDs = std::move(ids);
  FMsgCount = static_cast<int>(FMsgIDs.size());
}

void TsxMAPI_Folder::DeleteMessage(std::unique_ptr<TsxMAPI_Message>& message) {
  if (!message) return;
  const TMapiBuffer<SPropValue> id = message->GetProperty(PR_ENTRYID);
  if (id->ulPropTag == PR_ENTRYID && id->Value.bin.cb > 0) {
    SBinary one = id->Value.bin;
    ENTRYLIST list = {1, &one};
    CheckForError(FFolder->DeleteMessages(&list, 0, nullptr, 0), "Could not delete message!");
  }
  // The folder's own open message, if that is the one, is the caller's now.
  if (FOpenMsg.get() == message.get()) {
    FOpenMsg.release();
    FOpenMsgIndex = -1;
  }
  // A list never read stays unread (-1), so the next count reads it afresh.
  if (FMsgCount >= 0) ClearContents();
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
