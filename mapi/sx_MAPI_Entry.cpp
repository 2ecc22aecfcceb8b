// The single-message operations of the session: find a message by its
// entry-identifier text, show it, delete it, copy or move it. Each raises,
// naming the call that failed, when it cannot be carried out.
#include "mapi/EntryIDText.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

// The entry identifier a text names; an empty one names nothing.
std::vector<unsigned char> IdentifierOf(const std::string& text, const char* what) {
  std::vector<unsigned char> id = TextToEntryID(text);
  if (id.empty()) throw Exception(what);
  return id;
}

// Whether a store's OpenEntry says the identifier is not one of its own,
// rather than failing.
bool NotInThisStore(HRESULT hr) {
  return hr == MAPI_E_NOT_FOUND || hr == MAPI_E_INVALID_ENTRYID || hr == MAPI_E_UNKNOWN_ENTRYID;
}

ULONG LongOf(TsxMAPI_Message& message, ULONG tag) {
  const TMapiBuffer<SPropValue> v = message.GetProperty(tag);
  return v->ulPropTag == tag ? static_cast<ULONG>(v->Value.l) : 0;
}

}  // namespace

// Every store is asked in turn to open the message. A store that cannot be
// opened or asked is passed over, since the message may well be in another;
// its failure is kept, and raised should no store hold the message.
TComPtr<IMsgStore> TsxMAPI_Session::StoreHolding(const std::string& text) {
  const std::vector<unsigned char> id = IdentifierOf(text, "No message entry identifier given!");
  const TEntryIDRef message = RefTo(id);
  if (!FSession) Logon();
  enum { colEntryID };
  const auto columns = MakeTagArray({PR_ENTRYID});
  TTableReader reader(OpenStoresTable(), columns.Get());
  TComPtr<IMsgStore> holder;
  std::optional<EHeapException> failure;
  reader.ForEachRow([&](const SRow& row) {
    try {
      TComPtr<IMsgStore> store = OpenMsgStoreByEntryID(
          RefTo(EntryIDOf(Column(row, colEntryID), PR_ENTRYID, "Could not get a store's entry identifier!")));
      TComPtr<IMessage> probe;
      ULONG type = 0;
      const HRESULT hr =
          store->OpenEntry(message.cb, message.lpb, &IID_IMessage, MAPI_MODIFY, &type, probe.As<IUnknown>());
      if (SUCCEEDED(hr) && probe) {
        holder = std::move(store);
        return false;
      }
      if (!NotInThisStore(hr)) CheckForError(FAILED(hr) ? hr : MAPI_E_CALL_FAILED, "Could not open message!");
    } catch (const EHeapException& e) {
      if (!failure) failure = e;
    }
    return true;
  });
  if (holder) return holder;
  if (failure) throw *failure;
  throw EHeapException("No store holds the message!\r\n" + SystemErrorText(MAPI_E_NOT_FOUND), MAPI_E_NOT_FOUND);
}

TFoundMessage TsxMAPI_Session::GetEntryByEntryID(const std::string& text) {
  const std::vector<unsigned char> id = IdentifierOf(text, "No message entry identifier given!");
  if (!FSession) Logon();
  // The session opens the message wherever it is; it tells the parent
  // folder, through which the message is opened again: the folder's delete
  // and copy act on messages of their own.
  std::vector<unsigned char> parent;
  {
    TsxMAPI_Message found(RefTo(id), nullptr, this);
    const TMapiBuffer<SPropValue> value = found.GetProperty(PR_PARENT_ENTRYID);
    const SBinary& bytes = EntryIDOf(value.Get(), PR_PARENT_ENTRYID, "Could not get the message's parent folder!");
    parent.assign(bytes.lpb, bytes.lpb + bytes.cb);
  }
  TFoundMessage entry;
  entry.folder = std::make_unique<TsxMAPI_Folder>(RefTo(parent), this);
  entry.message = std::make_unique<TsxMAPI_Message>(RefTo(id), entry.folder.get(), this);
  return entry;
}

void TsxMAPI_Session::ShowMsgForm(const std::string& text) {
  // The store is found before the message is opened for the form.
  const TComPtr<IMsgStore> store = StoreHolding(text);
  const TFoundMessage entry = GetEntryByEntryID(text);
  TsxMAPI_Message& message = *entry.message;
  ULONG token = 0;
  // A form that cannot be prepared is not shown; the window shows nothing either.
  if (FAILED(FSession->PrepareForm(&IID_IMessage, message.Message(), &token))) return;
  const ULONG status = LongOf(message, PR_MSG_STATUS);
  const ULONG flags = LongOf(message, PR_MESSAGE_FLAGS);
  const ULONG access = LongOf(message, PR_ACCESS);
  std::string cls;
  {
    const TMapiBuffer<SPropValue> v = message.GetProperty(PR_MESSAGE_CLASS);
    if (v->ulPropTag == PR_MESSAGE_CLASS && v->Value.lpszA) cls = v->Value.lpszA;
  }
  FSession->ShowForm(reinterpret_cast<ULONG_PTR>(FOwner), store.Get(), entry.folder->Folder(),
                     &IID_IMessage, token, nullptr, 0, status, flags, access, cls.data());
}

void TsxMAPI_Session::DelMsg(const std::string& text, bool toDeletedItems) {
  if (!toDeletedItems) {
    TFoundMessage entry = GetEntryByEntryID(text);
    entry.folder->DeleteMessage(*entry.message);
    return;
  }
  // The Deleted Items of the store that holds the message, found afresh and
  // before the message is opened. When that store cannot be told, the
  // message stays where it is: the default store's Deleted Items would
  // carry it into another store.
  const TComPtr<IMsgStore> store = StoreHolding(text);
  TFoundMessage entry = GetEntryByEntryID(text);
  const auto deleted = OpenFolderOfStore(store.Get(), PR_IPM_WASTEBASKET_ENTRYID);
  entry.folder->CopyMessage(*entry.message, *deleted, MESSAGE_MOVE);
}

void TsxMAPI_Session::MoveMsg(const std::string& text, const std::string& targetText, ULONG flags) {
  const std::vector<unsigned char> target = IdentifierOf(targetText, "No target folder given!");
  TFoundMessage entry = GetEntryByEntryID(text);
  TsxMAPI_Folder targetFolder(RefTo(target), this);
  entry.folder->CopyMessage(*entry.message, targetFolder, flags);
}
