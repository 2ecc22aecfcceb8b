#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

// DeleteMessages and CopyMessages answer MAPI_W_PARTIAL_COMPLETION, a
// warning, for identifiers that were not in the folder (the message went
// meanwhile): for a list of one message nothing was done at all.
void CheckAllDone(HRESULT hr, const std::string& what) {
  if (hr == MAPI_W_PARTIAL_COMPLETION) throw EHeapException(what + "\r\n" + SystemErrorText(hr), hr);
  CheckForError(hr, what);
}

}  // namespace

TsxMAPI_Folder::TsxMAPI_Folder(IMAPIFolder* folder, TsxMAPI_Session* session)
    : FSession(session), FFolder(TComPtr<IMAPIFolder>::Share(folder)) {
  if (!FSession || !FSession->GetActive()) throw Exception("MAPI not initialized!");
}

TsxMAPI_Folder::TsxMAPI_Folder(TEntryIDRef entryID, TsxMAPI_Session* session) : FSession(session) {
  if (!FSession || !FSession->GetActive()) throw Exception("MAPI not initialized!");
  FFolder = OpenFolderEntry(FSession->Session(), entryID, MAPI_BEST_ACCESS);
}

std::string TsxMAPI_Folder::GetFolderName() {
  if (FFolderName) return *FFolderName;
  const ULONG tag = TextTag(PR_DISPLAY_NAME, FUnicode);
  const TMapiBuffer<SPropValue> value = GetOneProp(FFolder.Get(), tag, "Could not get Name property!");
  CheckValue(value.Get(), tag, "Could not get Name property!");
  FFolderName = TextValue(*value.Get());
  return *FFolderName;
}

std::string TsxMAPI_Folder::GetEntryIDString() {
  static const std::string kWhat = "Could not get the folder's entry identifier!";
  const TMapiBuffer<SPropValue> value = GetOneProp(FFolder.Get(), PR_ENTRYID, kWhat);
  const SBinary& id = EntryIDOf(value.Get(), PR_ENTRYID, kWhat);
  return EntryIDToText(id.lpb, id.cb);
}

std::vector<TChildFolder> TsxMAPI_Folder::SubFolders() {
  static const std::string kWhat = "Could not get the folder's hierarchy table!";
  TComPtr<IMAPITable> table;
  CheckForError(FFolder->GetHierarchyTable(0, &table), kWhat);
  enum { colEntryID, colName };
  const auto columns = MakeTagArray({PR_ENTRYID, TextTag(PR_DISPLAY_NAME, FUnicode)});
  TTableReader reader(std::move(table), columns.Get());
  std::vector<TChildFolder> subs;
  reader.ForEachRow([&subs](const SRow& row) {
    const SBinary& id = EntryIDOf(Column(row, colEntryID), PR_ENTRYID, "Could not get a child folder's entry identifier!");
    const SPropValue* name = Column(row, colName);
    subs.push_back({std::string(reinterpret_cast<const char*>(id.lpb), id.cb), name ? TextValue(*name) : ""});
    return true;
  });
  return subs;
}

std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Folder::OpenSubFolder(const TChildFolder& child) {
  // Read-only: the walk never writes to a child folder.
  const TComPtr<IMAPIFolder> folder = OpenFolderEntry(FSession->Session(), RefTo(child.entryID), 0);
  auto sub = std::make_unique<TsxMAPI_Folder>(folder.Get(), FSession);
  sub->SetUnicode(FUnicode);
  return sub;
}

void TsxMAPI_Folder::ForEachMessageRow(const std::function<bool(const TMessageRow&)>& visit) {
  TComPtr<IMAPITable> table;
  CheckForError(FFolder->GetContentsTable(0, &table), "Could not get messages from folder!");
  enum { colEntryID, colSubject };
  const auto columns = MakeTagArray({PR_ENTRYID, TextTag(PR_SUBJECT, FUnicode)});
  TTableReader reader(std::move(table), columns.Get());
  reader.ForEachRow([&visit](const SRow& row) {
    const SBinary& id = EntryIDOf(Column(row, colEntryID), PR_ENTRYID, "Could not get a message's entry identifier!");
    const SPropValue* subject = Column(row, colSubject);
    return visit({RefTo(id), subject ? TextValue(*subject) : ""});
  });
}

bool TsxMAPI_Folder::IsNote() {
  static const std::string kWhat = "Could not get the folder's class!";
  const ULONG tag = TextTag(PR_CONTAINER_CLASS, FUnicode);
  const TMapiBuffer<SPropValue> value = GetOneProp(FFolder.Get(), tag, kWhat);
  // A folder without a class holds mail. One whose class cannot be read
  // raises: taken for mail, a contacts folder would offer its contacts as
  // duplicates to delete.
  if (IsMissing(*value.Get())) return true;
  CheckValue(value.Get(), tag, kWhat);
  const std::string cls = TextValue(*value.Get());
  return cls.empty() || cls == "IPF.Note";
}

void TsxMAPI_Folder::DeleteMessage(TsxMAPI_Message& message) {
  const TMapiBuffer<SPropValue> id = message.GetEntryID();
  SBinary one = id->Value.bin;
  ENTRYLIST list = {1, &one};
  CheckAllDone(FFolder->DeleteMessages(&list, 0, nullptr, 0), "Could not delete message!");
}

void TsxMAPI_Folder::CopyMessage(TsxMAPI_Message& message, TsxMAPI_Folder& target, ULONG flags) {
  const TMapiBuffer<SPropValue> id = message.GetEntryID();
  SBinary one = id->Value.bin;
  ENTRYLIST list = {1, &one};
  CheckAllDone(FFolder->CopyMessages(&list, nullptr, target.Folder(), 0, nullptr, flags),
               (flags & MESSAGE_MOVE) ? "Could not move message!" : "Could not copy message!");
}

HRESULT TsxMAPI_Folder::DeleteMessages(ENTRYLIST& list) { return FFolder->DeleteMessages(&list, 0, nullptr, 0); }

HRESULT TsxMAPI_Folder::CopyMessages(ENTRYLIST& list, TsxMAPI_Folder& target, ULONG flags) {
  return FFolder->CopyMessages(&list, nullptr, target.Folder(), 0, nullptr, flags);
}

ULONG TsxMAPI_Folder::ContentCount() {
  static const std::string kWhat = "Could not get the folder's message count!";
  const TMapiBuffer<SPropValue> value = GetOneProp(FFolder.Get(), PR_CONTENT_COUNT, kWhat);
  CheckValue(value.Get(), PR_CONTENT_COUNT, kWhat);
  return static_cast<ULONG>(value->Value.l);
}
