#include "tests/standin/MapiFixture.h"

#include <cstdlib>
#include <sstream>

namespace {

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

MapiApi Load() {
  MapiApi api;
  HMODULE mapi = LoadLibraryA("MAPI32.DLL");
  HMODULE provider = GetModuleHandleA(STANDIN_DLL_NAME);
  if (mapi == nullptr || provider == nullptr) {
    std::fprintf(stderr, "MAPI32.DLL does not forward to %s: run ./quop setup\n", STANDIN_DLL_NAME);
    std::abort();
  }
  api.Initialize = Proc<LPMAPIINITIALIZE>(mapi, "MAPIInitialize");
  api.Uninitialize = Proc<LPMAPIUNINITIALIZE>(mapi, "MAPIUninitialize");
  api.LogonEx = Proc<LPMAPILOGONEX>(mapi, "MAPILogonEx");
  api.AllocateBuffer = Proc<LPMAPIALLOCATEBUFFER>(mapi, "MAPIAllocateBuffer");
  api.FreeBuffer = Proc<LPMAPIFREEBUFFER>(mapi, "MAPIFreeBuffer");
  api.FreeProws = Proc<void(WINAPI*)(LPSRowSet)>(mapi, "FreeProws@4");
  api.LiveObjects = Proc<STANDIN_LIVEOBJECTS>(provider, "StandinLiveObjects");
  api.LiveBuffers = Proc<STANDIN_LIVEBUFFERS>(provider, "StandinLiveBuffers");
  api.BadFrees = Proc<STANDIN_BADFREES>(provider, "StandinBadFrees");
  api.OpenObjects = Proc<STANDIN_OPENOBJECTS>(provider, "StandinOpenObjects");
  api.PeakOpen = Proc<STANDIN_PEAKOPEN>(provider, "StandinPeakOpen");
  api.ResetPeaks = Proc<STANDIN_RESETPEAKS>(provider, "StandinResetPeaks");
  api.CallCount = Proc<STANDIN_CALLCOUNT>(provider, "StandinCallCount");
  api.CallCountOf = Proc<STANDIN_CALLCOUNTOF>(provider, "StandinCallCountOf");
  api.ResetCalls = Proc<STANDIN_RESETCALLS>(provider, "StandinResetCalls");
  api.LoadProfile = Proc<STANDIN_LOADPROFILE>(provider, "StandinLoadProfile");
  api.LoadProfileText = Proc<STANDIN_LOADPROFILETEXT>(provider, "StandinLoadProfileText");
  api.SaveProfile = Proc<STANDIN_SAVEPROFILE>(provider, "StandinSaveProfile");
  api.AddFault = Proc<STANDIN_ADDFAULT>(provider, "StandinAddFault");
  api.ClearFaults = Proc<STANDIN_CLEARFAULTS>(provider, "StandinClearFaults");
  api.LogCount = Proc<STANDIN_LOGCOUNT>(provider, "StandinLogCount");
  api.LogLine = Proc<STANDIN_LOGLINE>(provider, "StandinLogLine");
  api.ClearLog = Proc<STANDIN_CLEARLOG>(provider, "StandinClearLog");
  api.CreateApplication = Proc<STANDIN_CREATEAPPLICATION>(provider, "StandinCreateApplication");
  api.ScriptPickFolder = Proc<STANDIN_SCRIPTPICKFOLDER>(provider, "StandinScriptPickFolder");
  api.ModelBytes = Proc<STANDIN_MODELBYTES>(provider, "StandinModelBytes");
  api.MessagesMade = Proc<STANDIN_MESSAGESMADE>(provider, "StandinMessagesMade");
  return api;
}

}  // namespace

const MapiApi& MapiApi::Get() {
  static const MapiApi api = Load();
  return api;
}

std::vector<std::string> MapiApi::Log() const {
  std::vector<std::string> lines;
  char line[1024];
  for (ULONG i = 0; i < LogCount(); ++i) {
    if (LogLine(i, line, sizeof line) != 0xFFFFFFFF) lines.emplace_back(line);
  }
  return lines;
}

std::string AsBytes(const SBinary& bin) { return std::string(reinterpret_cast<const char*>(bin.lpb), bin.cb); }
std::string AsBytes(const SPropValue& value) {
  EXPECT_EQ(PROP_TYPE(value.ulPropTag), PT_BINARY);
  return PROP_TYPE(value.ulPropTag) == PT_BINARY ? AsBytes(value.Value.bin) : std::string();
}

std::string AnsiOf(const SPropValue& value) {
  EXPECT_EQ(PROP_TYPE(value.ulPropTag), PT_STRING8) << std::hex << value.ulPropTag;
  return PROP_TYPE(value.ulPropTag) == PT_STRING8 ? std::string(value.Value.lpszA) : std::string();
}

std::wstring WideOf(const SPropValue& value) {
  EXPECT_EQ(PROP_TYPE(value.ulPropTag), PT_UNICODE) << std::hex << value.ulPropTag;
  return PROP_TYPE(value.ulPropTag) == PT_UNICODE ? std::wstring(value.Value.lpszW) : std::wstring();
}

std::string LongTermId(const std::string& storeUid, const std::string& own) {
  return std::string(4, '\0') + storeUid + own;
}

const std::string kBoxUid(16, '\x44');

std::string OneStoreProfile(const std::string& storeKeys, const std::string& messages,
                            const std::string& moreFolders) {
  return R"({"stores": [{"name": "Box", "uid": "44444444444444444444444444444444", "default": true, )" + storeKeys +
         R"( "subtree": {"name": "Top", "id": "F0", "folders": [{"name": "Inbox", "id": "F1", "class": "IPF.Note",
         "role": "inbox", "messages": [)" +
         messages + "]}" + (moreFolders.empty() ? "" : ", " + moreFolders) + "]}}]}";
}

ComPtr<IMessage> MapiTest::OpenBoxMessage(const std::string& own) {
  const std::string id = LongTermId(kBoxUid, own);
  ComPtr<IMessage> message;
  ULONG type = 0;
  EXPECT_EQ(session->OpenEntry(id.size(), (LPENTRYID)id.data(), &IID_IMessage, 0, &type,
                               reinterpret_cast<LPUNKNOWN*>(&message)),
            S_OK);
  return message;
}

HRESULT MapiTest::GetProps(IMAPIProp* object, const std::vector<ULONG>& tags, ULONG flags,
                           MapiBuffer<SPropValue>& values, ULONG& count) {
  MapiBuffer<SPropTagArray> array;
  if (!tags.empty()) {
    EXPECT_EQ(api.AllocateBuffer(CbNewSPropTagArray(tags.size()), reinterpret_cast<void**>(&array)), S_OK);
    array->cValues = static_cast<ULONG>(tags.size());
    std::copy(tags.begin(), tags.end(), array->aulPropTag);
  }
  count = 0;
  return object->GetProps(array.Get(), flags, &count, &values);
}

void MapiTest::SetUp() {
  ASSERT_EQ(api.LoadProfileText(kFixtureProfile), S_OK);
  api.ClearLog();
  badFreesAtStart = api.BadFrees();
  MAPIINIT_0 init{0, 0};
  ASSERT_EQ(api.Initialize(&init), S_OK);
  ASSERT_EQ(api.LogonEx(0, const_cast<LPSTR>(""), const_cast<LPSTR>(""), MAPI_EXTENDED, &session), S_OK);
}

void MapiTest::TearDown() {
  if (session) {
    EXPECT_EQ(session->Logoff(0, 0, 0), S_OK);
  }
  session.Reset();
  api.Uninitialize();
  api.ClearFaults();
  EXPECT_EQ(api.LiveObjects(), 0);
  EXPECT_EQ(api.LiveBuffers(), 0);
  EXPECT_EQ(api.BadFrees(), badFreesAtStart);
}

std::vector<std::vector<SPropValue>> MapiTest::ReadTable(IMAPITable* table, std::initializer_list<ULONG> columns,
                                                         LONG count, Rows& keep) {
  std::vector<ULONG> tags(columns);
  MapiBuffer<SPropTagArray> array;
  EXPECT_EQ(api.AllocateBuffer(CbNewSPropTagArray(tags.size()), reinterpret_cast<void**>(&array)), S_OK);
  array->cValues = static_cast<ULONG>(tags.size());
  std::copy(tags.begin(), tags.end(), array->aulPropTag);
  EXPECT_EQ(table->SetColumns(array.Get(), 0), S_OK);
  EXPECT_EQ(table->QueryRows(count, 0, &keep), S_OK);
  std::vector<std::vector<SPropValue>> rows;
  for (ULONG r = 0; r < keep->cRows; ++r)
    rows.emplace_back(keep->aRow[r].lpProps, keep->aRow[r].lpProps + keep->aRow[r].cValues);
  return rows;
}

std::vector<std::string> MapiTest::StoreEntryIds() {
  ComPtr<IMAPITable> table;
  EXPECT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
  Rows rows;
  std::vector<std::string> ids;
  for (const auto& row : ReadTable(table.Get(), {PR_ENTRYID}, 100, rows)) ids.push_back(AsBytes(row[0]));
  return ids;
}

ComPtr<IMsgStore> MapiTest::OpenStore(size_t index) {
  const std::string id = StoreEntryIds().at(index);
  ComPtr<IMsgStore> store;
  EXPECT_EQ(session->OpenMsgStore(0, static_cast<ULONG>(id.size()), (LPENTRYID)id.data(), nullptr,
                                  MDB_NO_DIALOG | MDB_WRITE, &store),
            S_OK);
  return store;
}

std::string MapiTest::StoreProp(IMsgStore* store, ULONG tag) {
  Tags<1> tags{1, {tag}};
  ULONG count = 0;
  MapiBuffer<SPropValue> values;
  EXPECT_EQ(store->GetProps(tags.Get(), 0, &count, &values), S_OK);
  return count == 1 ? AsBytes(values.Get()[0]) : std::string();
}

ComPtr<IMAPIFolder> MapiTest::OpenFolder(IMsgStore* store, const std::string& entryId, ULONG flags) {
  ComPtr<IMAPIFolder> folder;
  ULONG type = 0;
  HRESULT hr = E_FAIL;
  if (store != nullptr)
    hr = store->OpenEntry(entryId.size(), (LPENTRYID)entryId.data(), &IID_IMAPIFolder, flags, &type,
                          reinterpret_cast<LPUNKNOWN*>(&folder));
  else
    hr = session->OpenEntry(entryId.size(), (LPENTRYID)entryId.data(), &IID_IMAPIFolder, flags, &type,
                            reinterpret_cast<LPUNKNOWN*>(&folder));
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(type, static_cast<ULONG>(MAPI_FOLDER));
  return folder;
}

std::vector<std::string> MapiTest::ChildColumn(IMAPIFolder* folder, ULONG tag,
                                               std::string (*text)(const SPropValue&)) {
  ComPtr<IMAPITable> table;
  EXPECT_EQ(folder->GetHierarchyTable(0, &table), S_OK);
  if (!table) return {};
  Rows rows;
  std::vector<std::string> values;
  for (const auto& row : ReadTable(table.Get(), {tag}, 0x7FFFFFFF, rows)) values.push_back(text(row[0]));
  return values;
}

std::vector<std::string> MapiTest::Children(IMAPIFolder* folder) {
  return ChildColumn(folder, PR_DISPLAY_NAME_A, [](const SPropValue& v) { return std::string(v.Value.lpszA); });
}

std::vector<std::string> MapiTest::ChildIds(IMAPIFolder* folder) {
  return ChildColumn(folder, PR_ENTRYID, [](const SPropValue& v) { return AsBytes(v); });
}

ComPtr<IMAPIFolder> MapiTest::FolderByPath(size_t storeIndex, const std::string& path, ULONG flags) {
  ComPtr<IMsgStore> store = OpenStore(storeIndex);
  ComPtr<IMAPIFolder> folder = OpenFolder(store.Get(), StoreProp(store.Get(), PR_IPM_SUBTREE_ENTRYID), flags);
  std::istringstream parts(path);
  std::string name;
  while (folder && std::getline(parts, name, '/')) {
    ComPtr<IMAPITable> table;
    EXPECT_EQ(folder->GetHierarchyTable(0, &table), S_OK);
    Rows rows;
    std::string id;
    for (const auto& row : ReadTable(table.Get(), {PR_DISPLAY_NAME_A, PR_ENTRYID}, 0x7FFFFFFF, rows))
      if (name == row[0].Value.lpszA) id = AsBytes(row[1]);
    EXPECT_FALSE(id.empty()) << "no folder " << name;
    if (id.empty()) return {};
    folder = OpenFolder(nullptr, id, flags);
  }
  return folder;
}

std::vector<std::string> MapiTest::MessageIds(IMAPIFolder* folder) {
  ComPtr<IMAPITable> table;
  EXPECT_EQ(folder->GetContentsTable(0, &table), S_OK);
  Rows rows;
  std::vector<std::string> ids;
  for (const auto& row : ReadTable(table.Get(), {PR_ENTRYID}, 0x7FFFFFF, rows)) ids.push_back(AsBytes(row[0]));
  return ids;
}

std::vector<std::string> MapiTest::Subjects(IMAPIFolder* folder) {
  ComPtr<IMAPITable> table;
  EXPECT_EQ(folder->GetContentsTable(0, &table), S_OK);
  Rows rows;
  std::vector<std::string> subjects;
  for (const auto& row : ReadTable(table.Get(), {PR_SUBJECT_A}, 0x7FFFFFF, rows))
    subjects.emplace_back(PROP_TYPE(row[0].ulPropTag) == PT_STRING8 ? row[0].Value.lpszA : "(error)");
  return subjects;
}

ComPtr<IMessage> MapiTest::OpenMessage(IMAPIFolder* folder, const std::string& entryId) {
  ComPtr<IMessage> message;
  ULONG type = 0;
  EXPECT_EQ(folder->OpenEntry(entryId.size(), (LPENTRYID)entryId.data(), &IID_IMessage, MAPI_MODIFY, &type,
                              reinterpret_cast<LPUNKNOWN*>(&message)),
            S_OK);
  EXPECT_EQ(type, static_cast<ULONG>(MAPI_MESSAGE));
  return message;
}

const char* const kFixtureProfile = R"({
 "stores": [
  {"name": "Mailbox", "uid": "11111111111111111111111111111111", "default": false,
   "subtree": {"name": "Top of Mailbox", "id": "F0", "folders": [
    {"name": "Inbox", "id": "F1", "class": "IPF.Note", "role": "inbox", "messages": [
      {"id": "A1", "subject": "Hello", "senderName": "Ann", "senderEmail": "ann@example.org",
       "submitTime": "2024-03-01T09:30:00Z", "deliveryTime": "2024-03-01T09:31:00Z", "size": 2048,
       "flags": 1, "to": "Bob", "cc": "Cy", "bcc": "", "body": "Hi Bob", "messageClass": "IPM.Note",
       "status": 0, "access": 3,
       "attachments": [
         {"displayName": "a.txt", "fileName": "A.TXT", "longFileName": "a.txt", "pathName": "C:\\A.TXT",
          "longPathName": "C:\\a.txt", "size": 10},
         {"method": 5, "displayName": "forwarded", "size": 300}]},
      {"id": "A2", "subject": "No recipients", "senderName": "Ann"}]},
    {"name": "Deleted Items", "id": "F2", "class": "IPF.Note", "role": "deleted"},
    {"name": "Outbox", "id": "F3", "class": "IPF.Note", "role": "outbox"},
    {"name": "Sent Items", "id": "F4", "class": "IPF.Note", "role": "sent"},
    {"name": "Contacts", "id": "F5", "class": "IPF.Contact", "folders": [
      {"name": "Mail under contacts", "id": "F6", "class": "IPF.Note", "messages": [
        {"id": "A3", "subject": "Deep"}]}]},
    {"name": "Notes", "id": "F7"}]}},
  {"name": "Archive", "uid": "22222222222222222222222222222222", "default": true,
   "subtree": {"name": "Top of Archive", "id": "F0", "folders": [
    {"name": "Inbox", "id": "F1", "class": "IPF.Note", "role": "inbox", "messages": [
      {"id": "A1", "subject": "Archived", "body": "old"}]},
    {"name": "Deleted Items", "id": "F2", "role": "deleted"}]}}
 ]})";
