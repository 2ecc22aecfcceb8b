// Logon, the store table, stores, folders, messages and attachments, read
// through MAPI32.DLL as the product reads them.
#include "tests/standin/MapiFixture.h"

namespace {

const std::string kMailboxUid(16, '\x11');
const std::string kArchiveUid(16, '\x22');
std::string Eid(const std::string& uid, const std::string& own) { return std::string(4, '\0') + uid + own; }

TEST_F(MapiTest, LogonIsLoggedWithItsArgumentsAndEndsWithLogoff) {
  EXPECT_EQ(session->Logoff(0, MAPI_LOGOFF_SHARED, 0), S_OK);
  ComPtr<IMAPITable> table;
  EXPECT_EQ(session->GetMsgStoresTable(0, &table), MAPI_E_END_OF_SESSION);
  session.Reset();
  const std::vector<std::string> expected = {"MAPIInitialize version=0 flags=0x0",
                                             "MAPILogonEx ui=0x0 profile=\"\" password=\"\" flags=0x20",
                                             "Logoff ui=0x0 flags=0x1"};
  EXPECT_EQ(api.Log(), expected);
}

TEST_F(MapiTest, LogonNeedsMapiInitialized) {
  api.Uninitialize();
  ComPtr<IMAPISession> other;
  EXPECT_EQ(api.LogonEx(0, nullptr, nullptr, MAPI_EXTENDED, &other), MAPI_E_NOT_INITIALIZED);
  MAPIINIT_0 init{0, 0};
  ASSERT_EQ(api.Initialize(&init), S_OK);
}

TEST_F(MapiTest, StoreTableGivesOneRowPerQueryInTableOrderAndRestrictsToTheDefault) {
  ComPtr<IMAPITable> table;
  ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
  std::vector<std::string> names;
  for (int guard = 0; guard < 10; ++guard) {  // a cursor that does not advance ends here
    Rows rows;
    auto got = ReadTable(table.Get(), {PR_ENTRYID, PR_DISPLAY_NAME_A}, 1, rows);
    if (got.size() != 1) break;
    names.emplace_back(got[0][1].Value.lpszA);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Mailbox", "Archive"}));

  SPropValue isTrue{};
  isTrue.ulPropTag = PR_DEFAULT_STORE;
  isTrue.Value.b = 0xFFFF;
  SRestriction restriction{};
  restriction.rt = RES_PROPERTY;
  restriction.res.resProperty = {RELOP_EQ, PR_DEFAULT_STORE, &isTrue};
  ASSERT_EQ(table->Restrict(&restriction, 0), S_OK);
  Rows rows;
  auto got = ReadTable(table.Get(), {PR_ENTRYID, PR_DISPLAY_NAME_A}, 1, rows);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_STREQ(got[0][1].Value.lpszA, "Archive");
  EXPECT_EQ(AsBytes(got[0][0]), StoreEntryIds().at(1));
}

TEST_F(MapiTest, StoreNamesItsSpecialFoldersAndReceiveFolderByLongTermEntryIds) {
  ComPtr<IMsgStore> store = OpenStore(0);
  ASSERT_TRUE(store);
  EXPECT_EQ(StoreProp(store.Get(), PR_IPM_SUBTREE_ENTRYID), Eid(kMailboxUid, "\xF0"));
  EXPECT_EQ(StoreProp(store.Get(), PR_IPM_WASTEBASKET_ENTRYID), Eid(kMailboxUid, "\xF2"));
  EXPECT_EQ(StoreProp(store.Get(), PR_IPM_OUTBOX_ENTRYID), Eid(kMailboxUid, "\xF3"));
  EXPECT_EQ(StoreProp(store.Get(), PR_IPM_SENTMAIL_ENTRYID), Eid(kMailboxUid, "\xF4"));

  ULONG size = 0;
  MapiBuffer<ENTRYID> inbox;
  MapiBuffer<char> explicitClass;
  ASSERT_EQ(store->GetReceiveFolder(nullptr, 0, &size, &inbox, &explicitClass), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inbox.Get()), size), Eid(kMailboxUid, "\xF1"));
  EXPECT_STREQ(explicitClass.Get(), "");
}

TEST_F(MapiTest, EntriesOpenThroughTheirOwnStoreOrTheSessionOnly) {
  ComPtr<IMsgStore> mailbox = OpenStore(0);
  const std::string archived = Eid(kArchiveUid, "\xA1");
  ComPtr<IUnknown> object;
  ULONG type = 0;
  EXPECT_EQ(mailbox->OpenEntry(archived.size(), (LPENTRYID)archived.data(), &IID_IMessage, MAPI_MODIFY, &type,
                               &object),
            MAPI_E_INVALID_ENTRYID);
  EXPECT_EQ(session->OpenEntry(archived.size(), (LPENTRYID)archived.data(), &IID_IMessage, MAPI_MODIFY, &type,
                               &object),
            S_OK);
  EXPECT_EQ(type, static_cast<ULONG>(MAPI_MESSAGE));
  const std::string missing = Eid(kArchiveUid, "\xA9");
  EXPECT_EQ(session->OpenEntry(missing.size(), (LPENTRYID)missing.data(), nullptr, 0, &type, &object),
            MAPI_E_NOT_FOUND);
  const std::string folder = Eid(kArchiveUid, "\xF1");
  EXPECT_EQ(session->OpenEntry(folder.size(), (LPENTRYID)folder.data(), &IID_IMessage, 0, &type, &object),
            MAPI_E_INTERFACE_NOT_SUPPORTED);
}

TEST_F(MapiTest, HierarchyTablesListChildrenInOrderWithTheirContainerClasses) {
  ComPtr<IMAPIFolder> top = FolderByPath(0, "");
  ASSERT_TRUE(top);
  ComPtr<IMAPITable> table;
  ASSERT_EQ(top->GetHierarchyTable(0, &table), S_OK);
  Rows rows;
  auto got = ReadTable(table.Get(), {PR_DISPLAY_NAME_A, PR_CONTAINER_CLASS_A}, 0x7FFFFFFF, rows);
  ASSERT_EQ(got.size(), 6u);
  const char* names[] = {"Inbox", "Deleted Items", "Outbox", "Sent Items", "Contacts", "Notes"};
  for (size_t i = 0; i < got.size(); ++i) EXPECT_STREQ(got[i][0].Value.lpszA, names[i]);
  EXPECT_STREQ(got[4][1].Value.lpszA, "IPF.Contact");
  EXPECT_EQ(got[5][1].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_CONTAINER_CLASS)));
  EXPECT_EQ(got[5][1].Value.err, MAPI_E_NOT_FOUND);

  ComPtr<IMAPIFolder> deep = FolderByPath(0, "Contacts/Mail under contacts");
  ASSERT_TRUE(deep);
  EXPECT_EQ(Subjects(deep.Get()), std::vector<std::string>{"Deep"});
}

TEST_F(MapiTest, MessagePropsComeInRequestOrderWithErrorValuesForMissingOnes) {
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ASSERT_TRUE(inbox);
  const auto ids = MessageIds(inbox.Get());
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_EQ(ids[0], Eid(kMailboxUid, "\xA1"));
  ComPtr<IMessage> message = OpenMessage(inbox.Get(), ids[0]);
  ASSERT_TRUE(message);

  Tags<7> common{7, {PR_DISPLAY_NAME_A, PR_SUBJECT_A, PR_SENT_REPRESENTING_NAME_A,
                     PR_SENT_REPRESENTING_EMAIL_ADDRESS_A, PR_CLIENT_SUBMIT_TIME, PR_MESSAGE_SIZE,
                     PR_MESSAGE_DELIVERY_TIME}};
  ULONG count = 0;
  MapiBuffer<SPropValue> v;
  ASSERT_EQ(message->GetProps(common.Get(), 0, &count, &v), MAPI_W_ERRORS_RETURNED);
  ASSERT_EQ(count, 7u);
  EXPECT_EQ(v.Get()[0].ulPropTag, PROP_TAG(PT_ERROR, PROP_ID(PR_DISPLAY_NAME)));
  EXPECT_EQ(v.Get()[0].Value.err, MAPI_E_NOT_FOUND);
  EXPECT_STREQ(v.Get()[1].Value.lpszA, "Hello");
  EXPECT_STREQ(v.Get()[2].Value.lpszA, "Ann");
  EXPECT_STREQ(v.Get()[3].Value.lpszA, "ann@example.org");
  // 2024-03-01T09:30:00Z
  const ULONGLONG submit = (ULONGLONG(v.Get()[4].Value.ft.dwHighDateTime) << 32) | v.Get()[4].Value.ft.dwLowDateTime;
  EXPECT_EQ(submit, 133537590000000000ULL);
  EXPECT_EQ(v.Get()[5].Value.l, 2048);
  EXPECT_EQ(v.Get()[6].ulPropTag, PR_MESSAGE_DELIVERY_TIME);

  Tags<6> single{6, {PR_DISPLAY_TO_A, PR_BODY_A, PR_MESSAGE_FLAGS, PR_ACCESS, PR_MESSAGE_CLASS_A, PR_PARENT_ENTRYID}};
  ASSERT_EQ(message->GetProps(single.Get(), 0, &count, &v), S_OK);
  EXPECT_STREQ(v.Get()[0].Value.lpszA, "Bob");
  EXPECT_STREQ(v.Get()[1].Value.lpszA, "Hi Bob");
  EXPECT_EQ(v.Get()[2].Value.l, MSGFLAG_READ);
  EXPECT_EQ(v.Get()[3].Value.l, 3);
  EXPECT_STREQ(v.Get()[4].Value.lpszA, "IPM.Note");
  EXPECT_EQ(AsBytes(v.Get()[5]), Eid(kMailboxUid, "\xF1"));

  // A tag that names its type keeps it, whatever MAPI_UNICODE asks.
  ASSERT_EQ(message->GetProps(single.Get(), MAPI_UNICODE, &count, &v), S_OK);
  EXPECT_EQ(v.Get()[0].ulPropTag, PR_DISPLAY_TO_A);
  EXPECT_STREQ(v.Get()[0].Value.lpszA, "Bob");
}

TEST_F(MapiTest, AttachmentsListTheirMethodsAndOpenByNumber) {
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMessage> message = OpenMessage(inbox.Get(), MessageIds(inbox.Get()).at(0));
  ComPtr<IMAPITable> table;
  ASSERT_EQ(message->GetAttachmentTable(0, &table), S_OK);
  Rows rows;
  auto got = ReadTable(table.Get(), {PR_ATTACH_NUM, PR_ATTACH_METHOD}, 0x7FFFFFFF, rows);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0][1].Value.l, ATTACH_BY_VALUE);
  EXPECT_EQ(got[1][1].Value.l, ATTACH_EMBEDDED_MSG);

  ComPtr<IAttach> attach;
  ASSERT_EQ(message->OpenAttach(got[0][0].Value.l, nullptr, MAPI_BEST_ACCESS, &attach), S_OK);
  Tags<7> tags{7, {PR_DISPLAY_NAME_A, PR_ATTACH_FILENAME_A, PR_ATTACH_LONG_FILENAME_A, PR_ATTACH_PATHNAME_A,
                   PR_ATTACH_LONG_PATHNAME_A, PR_ATTACH_METHOD, PR_ATTACH_SIZE}};
  ULONG count = 0;
  MapiBuffer<SPropValue> v;
  ASSERT_EQ(attach->GetProps(tags.Get(), 0, &count, &v), S_OK);
  EXPECT_STREQ(v.Get()[0].Value.lpszA, "a.txt");
  EXPECT_STREQ(v.Get()[1].Value.lpszA, "A.TXT");
  EXPECT_STREQ(v.Get()[4].Value.lpszA, "C:\\a.txt");
  EXPECT_EQ(v.Get()[6].Value.l, 10);
  ComPtr<IAttach> none;
  EXPECT_EQ(message->OpenAttach(7, nullptr, MAPI_BEST_ACCESS, &none), MAPI_E_NOT_FOUND);
}

TEST_F(MapiTest, FormsAreLoggedWithTheirArguments) {
  ComPtr<IMsgStore> store = OpenStore(0);
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMessage> message = OpenMessage(inbox.Get(), MessageIds(inbox.Get()).at(0));
  api.ClearLog();
  ULONG token = 0;
  ASSERT_EQ(session->PrepareForm(&IID_IMessage, message.Get(), &token), S_OK);
  EXPECT_EQ(session->ShowForm(0x1234, store.Get(), inbox.Get(), &IID_IMessage, token, nullptr, 0, 0, MSGFLAG_READ,
                              3, const_cast<LPSTR>("IPM.Note")),
            S_OK);
  const std::string t = std::to_string(token);
  const std::vector<std::string> expected = {
      "PrepareForm iid=IMessage message=\"Hello\" token=" + t,
      "ShowForm ui=0x1234 store=\"Mailbox\" folder=\"Inbox\" iid=IMessage token=" + t +
          " sent=null flags=0x0 status=0x0 msgflags=0x1 access=0x3 class=\"IPM.Note\" message=\"Hello\""};
  EXPECT_EQ(api.Log(), expected);
}

TEST_F(MapiTest, CountersSeeLeakedObjectsBuffersAndDoubleFrees) {
  const long objects = api.LiveObjects();
  ComPtr<IMAPITable> table;
  ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
  EXPECT_EQ(api.LiveObjects(), objects + 1);
  table.Reset();
  EXPECT_EQ(api.LiveObjects(), objects);

  void* block = nullptr;
  ASSERT_EQ(api.AllocateBuffer(16, &block), S_OK);
  EXPECT_EQ(api.LiveBuffers(), 1);
  EXPECT_EQ(api.FreeBuffer(block), S_OK);
  EXPECT_EQ(api.LiveBuffers(), 0);
  EXPECT_NE(api.FreeBuffer(block), S_OK);
  EXPECT_EQ(api.BadFrees(), badFreesAtStart + 1);
  ++badFreesAtStart;  // the double free above is this test's own
}

}  // namespace
