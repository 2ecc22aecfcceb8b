#include "mapi/sx_MAPI_Session.h"

#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"

TsxMAPI_Session::TsxMAPI_Session(HWND owner) : FOwner(owner) {}

TsxMAPI_Session::~TsxMAPI_Session() {
  // The owner waits for the end of a run; a run still going is stopped and awaited.
  StopGetAllMsg();
  WaitForRun();
  try {
    FPSentFolderEntryID.Reset();
    RefreshFolders();
    DoUninitialize();
  } catch (...) {
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
  ULONG flags = MAPI_EXTENDED;
  if (!FProfile.empty()) flags |= MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE;
  if (FWndHandle) flags |= MAPI_LOGON_UI;
  if (FInService) flags |= MAPI_NT_SERVICE;
  // Empty settings go as empty strings, not null pointers.
  CheckForError(TMapiLibrary::Instance().LogonEx(reinterpret_cast<ULONG_PTR>(FWndHandle),
                                                 FProfile.data(), FPassword.data(), flags,
                                                 &FSession),
                "Error in MAPI Logon");
  CheckForError(FSession->OpenAddressBook(reinterpret_cast<ULONG_PTR>(FWndHandle), nullptr, 0,
                                          &FAddrBook),
                "Could not open address book!");
}

void TsxMAPI_Session::Logoff(bool shared) {
  FCurrentUser.reset();
  FDefaultMessageStore.Reset();
  FAddrBook.Reset();
  if (!FSession) return;
  ULONG flags = 0;
  if (shared) flags |= MAPI_LOGOFF_SHARED;
  if (FWndHandle) flags |= MAPI_LOGOFF_UI;
  CheckForError(FSession->Logoff(reinterpret_cast<ULONG_PTR>(FWndHandle), flags, 0), "");
  FSession.Reset();
}

TComPtr<IMAPITable> TsxMAPI_Session::OpenStoresTable(bool raise) {
  TComPtr<IMAPITable> table;
  const HRESULT hr = FSession ? FSession->GetMsgStoresTable(0, &table) : MAPI_E_NOT_INITIALIZED;
  if (raise) CheckForError(hr, "Could not get Message Store!");
  if (FAILED(hr)) table.Reset();
  return table;
}

void TsxMAPI_Session::CheckDefMsgStore() {
  if (!GetActive()) throw Exception("MAPI not initialized!");
  if (FDefaultMessageStore) return;
  TComPtr<IMAPITable> table = OpenStoresTable(true);
  SPropTagArray columns = {1, {PR_ENTRYID}};
  CheckForError(table->SetColumns(&columns, 0), "Could not set columns!");
  SPropValue isDefault;
  isDefault.ulPropTag = PR_DEFAULT_STORE;
  isDefault.Value.b = 0xFFFF;  // TRUE
  SRestriction restriction;
  restriction.rt = RES_PROPERTY;
  restriction.res.resProperty.relop = RELOP_EQ;
  restriction.res.resProperty.ulPropTag = PR_DEFAULT_STORE;
  restriction.res.resProperty.lpProp = &isDefault;
  CheckForError(table->Restrict(&restriction, 0), "Could not apply filter!");
  TRowSet rows;
  CheckForError(table->QueryRows(1, 0, &rows), "Could not get rows data!");
  if (rows.Count() != 1 || rows->aRow[0].lpProps[0].ulPropTag != PR_ENTRYID)
    throw Exception("Could not get Message Store!");
  const SBinary& id = rows->aRow[0].lpProps[0].Value.bin;
  FDefaultMessageStore = OpenMsgStoreByEntryID(id.cb, reinterpret_cast<LPENTRYID>(id.lpb));
}

TComPtr<IMsgStore> TsxMAPI_Session::OpenMsgStoreByEntryID(ULONG cbEntryID, LPENTRYID entryID) {
  TComPtr<IMsgStore> store;
  const HRESULT hr =
      FSession ? FSession->OpenMsgStore(reinterpret_cast<ULONG_PTR>(FWndHandle), cbEntryID,
                                        entryID, nullptr, MDB_NO_DIALOG | MDB_WRITE, &store)
               : MAPI_E_NOT_INITIALIZED;
  CheckForError(hr, "Could not get Message Store!");
  return store;
}

std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Session::GetIncomeFolder() {
  ULONG cb = 0;
  TMapiBuffer<ENTRYID> id;
  CheckForError(FDefaultMessageStore->GetReceiveFolder(nullptr, 0, &cb, &id, nullptr),
                "Could not get EntryID for folder!");
  TComPtr<IMAPIFolder> folder;
  ULONG type = 0;
  CheckForError(FDefaultMessageStore->OpenEntry(cb, id.Get(), &IID_IMAPIFolder, MAPI_BEST_ACCESS,
                                                &type, folder.As<IUnknown>()),
                "Could not get folder from Message Store or Parent Folder!");
  auto income = std::make_unique<TsxMAPI_Folder>(folder.Get(), this);
  income->SetUnicode(StoreIsUnicode(FDefaultMessageStore.Get()));
  return income;
}

// The folder that a store names in one of its entry-identifier properties.
std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Session::OpenFolderOfStore(IMsgStore* store,
                                                                    ULONG propTag) {
  if (!store) throw Exception("MAPI not initialized!");
  SPropTagArray tags = {1, {propTag}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  CheckForError(store->GetProps(&tags, 0, &count, &value), "Could not get EntryID for folder!");
  CheckValue(count == 1 ? value.Get() : nullptr, propTag, "Could not get EntryID for folder!");
  TComPtr<IMAPIFolder> folder;
  ULONG type = 0;
  CheckForError(store->OpenEntry(value->Value.bin.cb,
                                 reinterpret_cast<LPENTRYID>(value->Value.bin.lpb),
                                 &IID_IMAPIFolder, MAPI_BEST_ACCESS, &type,
                                 folder.As<IUnknown>()),
                "Could not get folder from Message Store or Parent Folder!");
  auto result = std::make_unique<TsxMAPI_Folder>(folder.Get(), this);
  result->SetUnicode(StoreIsUnicode(store));
  return result;
}

std::unique_ptr<TsxMAPI_Folder> TsxMAPI_Session::InternalGetFolder(ULONG propTag) {
  return OpenFolderOfStore(FDefaultMessageStore.Get(), propTag);
}

TsxMAPI_Folder* TsxMAPI_Session::GetFolder(TsxMAPI_FolderType type) {
  static const ULONG kTags[] = {0, PR_IPM_SUBTREE_ENTRYID, PR_IPM_OUTBOX_ENTRYID,
                                PR_IPM_SENTMAIL_ENTRYID, PR_IPM_WASTEBASKET_ENTRYID};
  CheckDefMsgStore();
  std::unique_ptr<TsxMAPI_Folder>& cached = FFolders[type];
  if (!cached) cached = type == sxftInbox ? GetIncomeFolder() : InternalGetFolder(kTags[type]);
  return cached.get();
}

void TsxMAPI_Session::RefreshFolders() {
  for (auto& folder : FFolders) folder.reset();
}

void TsxMAPI_Session::ClearFolderSet() {
  if (FFolderSet) FFolderSet->clear();
}

void TsxMAPI_Session::AddFolderSet(const std::string& strEntryID, bool bSelected) {
  if (!FFolderSet) FFolderSet = std::make_unique<std::vector<TFolderSet>>();
  FFolderSet->push_back(TFolderSet{strEntryID, bSelected});
}

bool TsxMAPI_Session::IsFolderSelected(const std::string& strEntryID) const {
  if (FFolderSet)
    for (const TFolderSet& f : *FFolderSet)
      if (f.strEntryID == strEntryID) return f.bSelected;
  return true;  // a folder the set does not mention counts as ticked
}
