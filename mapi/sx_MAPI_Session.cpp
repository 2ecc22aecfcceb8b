#include "mapi/sx_MAPI_Session.h"

#include "mapi/MapiText.h"

// No call of the session passes a window handle: MAPI shows no dialogs of
// its own (logon, store passwords); a store that would need one fails instead.

TsxMAPI_Session::TsxMAPI_Session(HWND owner) : FOwner(owner) {}

TsxMAPI_Session::~TsxMAPI_Session() {
  // The owner waits for the end of a run; a run still going is stopped and awaited.
  StopGetAllMsg();
  WaitForRun();
  try {
    RefreshFolders();
    DoUninitialize();
  } catch (const std::exception& e) {
    // A destructor cannot raise, and nothing is left to act on a failed logoff.
    OutputDebugStringA(("Quop MAPI session: " + FailureReason(e) + "\n").c_str());
  }
}

void TsxMAPI_Session::SetProfile(const std::string& value) {
  if (value == FProfile) return;
  if (FSession) throw Exception("Already in MAPI session!");
  FProfile = value;
}

void TsxMAPI_Session::SetPassword(const std::string& value) {
  if (value == FPassword) return;
  if (FSession) throw Exception("Already in MAPI session!");
  FPassword = value;
}

void TsxMAPI_Session::SetDoMAPIInit(bool value) {
  if (value == FDoMAPIInit) return;
  if (FMAPIInit) throw Exception("MAPI already initialized!");
  FDoMAPIInit = value;
}

void TsxMAPI_Session::SetInService(bool value) {
  if (value == FInService) return;
  if (FMAPIInit) throw Exception("MAPI already initialized!");
  FInService = value;
}

void TsxMAPI_Session::DoInitialize() {
  if (FMAPIInit) return;
  MAPIINIT_0 init = {0, 0};
  if (FInService) init.ulFlags |= MAPI_NT_SERVICE;
  if (!FDoMAPIInit) init.ulFlags |= MAPI_NO_COINIT;
  CheckForError(TMapiLibrary::Instance().Initialize(&init), "Error in MAPI Initialization");
  FMAPIInit = true;
}

void TsxMAPI_Session::DoUninitialize() {
  if (!FMAPIInit) return;
  Logoff(false);
  TMapiLibrary::Instance().Uninitialize();
  FMAPIInit = false;
}

void TsxMAPI_Session::Logon() {
  if (!FMAPIInit) DoInitialize();
  if (FSession) Logoff(false);
  // Without a profile of its own the session joins the one Outlook runs.
  ULONG flags = MAPI_EXTENDED;
  if (!FProfile.empty()) flags |= MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE;
  if (FInService) flags |= MAPI_NT_SERVICE;
  // Empty settings go as empty strings, not null pointers.
  CheckForError(TMapiLibrary::Instance().LogonEx(0, FProfile.data(), FPassword.data(), flags, &FSession),
                "Error in MAPI Logon");
  CheckForError(FSession->OpenAddressBook(0, nullptr, 0, &FAddrBook), "Could not open address book!");
}

void TsxMAPI_Session::Logoff(bool shared) {
  FDefaultMessageStore.Reset();
  FAddrBook.Reset();
  if (!FSession) return;
  // A failed logoff raises with the session still held, so it can be tried again.
  CheckForError(FSession->Logoff(0, shared ? MAPI_LOGOFF_SHARED : 0, 0), "Could not log off!");
  FSession.Reset();
}

TComPtr<IMAPITable> TsxMAPI_Session::OpenStoresTable() {
  TComPtr<IMAPITable> table;
  CheckForError(FSession ? FSession->GetMsgStoresTable(0, &table) : MAPI_E_NOT_INITIALIZED,
                "Could not get the message stores table!");
  return table;
}

TComPtr<IMsgStore> TsxMAPI_Session::OpenMsgStoreByEntryID(TEntryIDRef entryID) {
  TComPtr<IMsgStore> store;
  CheckForError(FSession ? FSession->OpenMsgStore(0, entryID.cb, entryID.lpb, nullptr, MDB_NO_DIALOG | MDB_WRITE,
                                                  &store)
                         : MAPI_E_NOT_INITIALIZED,
                "Could not get Message Store!");
  return store;
}

void TsxMAPI_Session::CheckDefMsgStore() {
  if (!GetActive()) throw Exception("MAPI not initialized!");
  if (FDefaultMessageStore) return;
  TComPtr<IMAPITable> table = OpenStoresTable();
  SPropTagArray columns = {1, {PR_ENTRYID}};
  CheckForError(table->SetColumns(&columns, 0), "Could not set columns!");
  SPropValue isDefault;
  isDefault.ulPropTag = PR_DEFAULT_STORE;
  isDefault.Value.b = 0xFFFF;  // TRUE as MAPI writes it; the restriction compares the value exactly
  SRestriction restriction;
  restriction.rt = RES_PROPERTY;
  restriction.res.resProperty.relop = RELOP_EQ;
  restriction.res.resProperty.ulPropTag = PR_DEFAULT_STORE;
  restriction.res.resProperty.lpProp = &isDefault;
  CheckForError(table->Restrict(&restriction, 0), "Could not apply filter!");
  TRowSet rows;
  CheckForError(table->QueryRows(1, 0, &rows), "Could not get rows data!");
  if (rows.Count() != 1) throw Exception("Could not find the default message store!");
  FDefaultMessageStore = OpenMsgStoreByEntryID(
      RefTo(EntryIDOf(Column(rows->aRow[0], 0), PR_ENTRYID, "Could not get the default store's entry identifier!")));
}

namespace {

std::unique_ptr<TsxMAPI_Folder> FolderOfStore(IMsgStore* store, TEntryIDRef id, TsxMAPI_Session* session) {
  const TComPtr<IMAPIFolder> folder = OpenFolderEntry(store, id, MAPI_BEST_ACCESS);
  return std::make_unique<TsxMAPI_Folder>(folder.Get(), session);
}

}  // namespace

std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Session::GetIncomeFolder() {
  ULONG cb = 0;
  TMapiBuffer<ENTRYID> id;
  CheckForError(FDefaultMessageStore->GetReceiveFolder(nullptr, 0, &cb, &id, nullptr),
                "Could not get EntryID for folder!");
  return FolderOfStore(FDefaultMessageStore.Get(), {cb, id.Get()}, this);
}

std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Session::OpenFolderOfStore(IMsgStore* store, ULONG propTag) {
  static const std::string kWhat = "Could not get EntryID for folder!";
  if (!store) throw Exception("MAPI not initialized!");
  const TMapiBuffer<SPropValue> value = GetOneProp(store, propTag, kWhat);
  return FolderOfStore(store, RefTo(EntryIDOf(value.Get(), propTag, kWhat)), this);
}

TsxMAPI_Folder* TsxMAPI_Session::GetFolder(TsxMAPI_FolderType type) {
  static const ULONG kTags[] = {0, PR_IPM_SUBTREE_ENTRYID, PR_IPM_OUTBOX_ENTRYID,
                                PR_IPM_SENTMAIL_ENTRYID, PR_IPM_WASTEBASKET_ENTRYID};
  CheckDefMsgStore();
  std::unique_ptr<TsxMAPI_Folder>& cached = FFolders[type];
  if (cached) return cached.get();
  auto folder = type == sxftInbox ? GetIncomeFolder() : OpenFolderOfStore(FDefaultMessageStore.Get(), kTags[type]);
  folder->SetUnicode(StoreIsUnicode(FDefaultMessageStore.Get()));
  cached = std::move(folder);
  return cached.get();
}

void TsxMAPI_Session::RefreshFolders() {
  for (auto& folder : FFolders) folder.reset();
}

void TsxMAPI_Session::ClearFolderSet() { FFolderSet.clear(); }

void TsxMAPI_Session::AddFolderSet(const std::string& strEntryID, bool bSelected) {
  FFolderSet.push_back(TFolderSet{strEntryID, bSelected});
}

bool TsxMAPI_Session::IsFolderSelected(const std::string& strEntryID) const {
  for (const TFolderSet& f : FFolderSet)
    if (f.strEntryID == strEntryID) return f.bSelected;
  return true;  // a folder the set does not mention counts as ticked
}
