// The single-message operations of the session: find a message by its
// entry-identifier text, show it, delete it, copy or move it.
#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

TEntryIDRef RefTo(std::vector<unsigned char>& bytes) {
  return TEntryIDRef{static_cast<ULONG>(bytes.size()), reinterpret_cast<LPENTRYID>(bytes.data())};
}

// The store among all of the profile's stores that can open the message.
TComPtr<IMsgStore> StoreHolding(TsxMAPI_Session& session, IMAPITable* stores,
                                TEntryIDRef message) {
  for (;;) {
    TRowSet rows;
    if (FAILED(stores->QueryRows(1, 0, &rows)) || rows.Count() != 1) return {};
    const SPropValue& id = rows->aRow[0].lpProps[0];
    if (id.ulPropTag != PR_ENTRYID) continue;
    TComPtr<IMsgStore> store;
    session.Session()->OpenMsgStore(reinterpret_cast<ULONG_PTR>(session.WndHandle()), id.Value.bin.cb, reinterpret_cast<LPENTRYID>(id.Value.bin.lpb),
                                    nullptr, MDB_NO_DIALOG | MDB_WRITE, &store);
    if (!store) continue;
    TComPtr<IMessage> probe;
    ULONG type = 0;
    if (SUCCEEDED(store->OpenEntry(message.cb, message.lpb, &IID_IMessage, MAPI_MODIFY, &type,
                                   probe.As<IUnknown>())) && probe)
      return store;
  }
}

ULONG LongOf(TsxMAPI_Message& message, ULONG tag) {
  const TMapiBuffer<SPropValue> v = message.GetProperty(tag);
  return v->ulPropTag == tag ? static_cast<ULONG>(v->Value.l) : 0;
}

}  // namespace

bool TsxMAPI_Session::GetEntryByEntryID(const std::string& text,
                                        std::unique_ptr<TsxMAPI_Message>& message,
                                        std::unique_ptr<TsxMAPI_Folder>& folder,
                                        TComPtr<IMsgStore>& store) {
  message.reset();
  folder.reset();
  store.Reset();
  if (text.empty()) return false;
  std::vector<unsigned char> id = TextToEntryID(text);
  if (!FSession) Logon();
  if (!FSession) return false;

  TComPtr<IMAPITable> stores = OpenStoresTable(false);
  if (!stores) return false;
  SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME}};
  CheckForError(stores->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), "Could not set columns!");
  store = StoreHolding(*this, stores.Get(), RefTo(id));

  auto found = std::make_unique<TsxMAPI_Message>(RefTo(id), nullptr, this);
  std::vector<unsigned char> parent;
  {
    const TMapiBuffer<SPropValue> value = found->GetProperty(PR_PARENT_ENTRYID);
    if (value->ulPropTag == PR_PARENT_ENTRYID)
      parent.assign(value->Value.bin.lpb, value->Value.bin.lpb + value->Value.bin.cb);
  }
  if (parent.empty()) return false;
  folder = std::make_unique<TsxMAPI_Folder>(RefTo(parent), this);
  folder->SetUnicode(StoreIsUnicode(store.Get()));
  found.reset();
  message = std::make_unique<TsxMAPI_Message>(RefTo(id), folder.get(), this);
  return folder && message;
}

void TsxMAPI_Session::ShowMsgForm(const std::string& text) {
  std::unique_ptr<TsxMAPI_Message> message;
  std::unique_ptr<TsxMAPI_Folder> folder;
  TComPtr<IMsgStore> store;
  if (!GetEntryByEntryID(text, message, folder, store)) return;
  ULONG token = 0;
  if (FAILED(FSession->PrepareForm(&IID_IMessage, message->Message(), &token))) return;
  const ULONG status = LongOf(*message, PR_MSG_STATUS);
  const ULONG flags = LongOf(*message, PR_MESSAGE_FLAGS);
  const ULONG access = LongOf(*message, PR_ACCESS);
  std::string cls;
  {
    const TMapiBuffer<SPropValue> v = message->GetProperty(PR_MESSAGE_CLASS);
    if (v->ulPropTag == PR_MESSAGE_CLASS && v->Value.lpszA) cls = v->Value.lpszA;
  }
  FSession->ShowForm(reinterpret_cast<ULONG_PTR>(FOwner), store.Get(), folder->Folder(),
                     &IID_IMessage, token, nullptr, 0, status, flags, access, cls.data());
}

bool TsxMAPI_Session::DelMsg(const std::string& text, bool toDeletedItems) {
  try {
    std::unique_ptr<TsxMAPI_Message> message;
    std::unique_ptr<TsxMAPI_Folder> folder;
    TComPtr<IMsgStore> store;
    if (!GetEntryByEntryID(text, message, folder, store)) return false;
    if (toDeletedItems) {
      // The Deleted Items of the store that holds the message, found afresh.
      // When that store cannot be told, the message stays where it is: the
      // default store's Deleted Items would carry it into another store.
      if (!store) return false;
      const auto deleted = OpenFolderOfStore(store.Get(), PR_IPM_WASTEBASKET_ENTRYID);
      folder->CopyMessage(message.get(), deleted.get(), MESSAGE_MOVE);
    } else {
      folder->DeleteMessage(message);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool TsxMAPI_Session::MoveMsg(const std::string& text, const std::string& targetText,
                              ULONG flags) {
  try {
    if (targetText.empty()) return false;
    std::unique_ptr<TsxMAPI_Message> message;
    std::unique_ptr<TsxMAPI_Folder> folder;
    TComPtr<IMsgStore> store;
    if (!GetEntryByEntryID(text, message, folder, store)) return false;
    std::vector<unsigned char> target = TextToEntryID(targetText);
    TsxMAPI_Folder targetFolder(RefTo(target), this);
    folder->CopyMessage(message.get(), &targetFolder, flags);
    return true;
  } catch (...) {
    return false;
  }
}
