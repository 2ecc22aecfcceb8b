// The bundled sample profile, named by QUOP_STANDIN_PROFILE and read at the
// first logon, walked as the collection run walks a profile: every store from
// its IPM subtree, depth first, reading every message of every mail folder.
#include <functional>
#include <map>

#include "tests/standin/MapiFixture.h"

namespace {

struct Walk {
  int stores = 0;
  int mailMessages = 0;
  int otherItems = 0;
  std::map<std::string, int> classes;  // container class -> folders
};

template <ULONG N>
std::vector<std::vector<SPropValue>> Query(IMAPITable* table, Tags<N> columns, LONG count, Rows& rows) {
  EXPECT_EQ(table->SetColumns(columns.Get(), 0), S_OK);
  EXPECT_EQ(table->QueryRows(count, 0, &rows), S_OK);
  std::vector<std::vector<SPropValue>> out;
  for (ULONG r = 0; r < rows->cRows; ++r)
    out.emplace_back(rows->aRow[r].lpProps, rows->aRow[r].lpProps + rows->aRow[r].cValues);
  return out;
}

void WalkFolder(IMAPISession* session, IMAPIFolder* folder, Walk& walk) {
  Tags<1> classTag{1, {PR_CONTAINER_CLASS_A}};
  ULONG count = 0;
  MapiBuffer<SPropValue> cls;
  const HRESULT hr = folder->GetProps(classTag.Get(), 0, &count, &cls);
  const std::string name = hr == S_OK ? cls.Get()[0].Value.lpszA : "(none)";
  ++walk.classes[name];
  const bool mail = name == "(none)" || name.empty() || name == "IPF.Note";

  ComPtr<IMAPITable> contents;
  ASSERT_EQ(folder->GetContentsTable(0, &contents), S_OK);
  Rows messageRows;
  for (const auto& row : Query(contents.Get(), Tags<1>{1, {PR_ENTRYID}}, 0x7FFFFFF, messageRows)) {
    if (!mail) {
      ++walk.otherItems;
      continue;
    }
    ComPtr<IMessage> message;
    ULONG type = 0;
    ASSERT_EQ(folder->OpenEntry(row[0].Value.bin.cb, (LPENTRYID)row[0].Value.bin.lpb, &IID_IMessage, MAPI_MODIFY,
                                &type, reinterpret_cast<LPUNKNOWN*>(&message)),
              S_OK);
    Tags<10> tags{10, {PR_SUBJECT_A, PR_SENT_REPRESENTING_NAME_A, PR_SENT_REPRESENTING_EMAIL_ADDRESS_A,
                       PR_CLIENT_SUBMIT_TIME, PR_MESSAGE_SIZE, PR_MESSAGE_DELIVERY_TIME, PR_DISPLAY_TO_A,
                       PR_DISPLAY_CC_A, PR_DISPLAY_BCC_A, PR_BODY_A}};
    MapiBuffer<SPropValue> values;
    EXPECT_EQ(message->GetProps(tags.Get(), 0, &count, &values), S_OK);
    ++walk.mailMessages;
  }

  ComPtr<IMAPITable> hierarchy;
  ASSERT_EQ(folder->GetHierarchyTable(0, &hierarchy), S_OK);
  Rows childRows;
  for (const auto& row : Query(hierarchy.Get(), Tags<1>{1, {PR_ENTRYID}}, 0x7FFFFFFF, childRows)) {
    ComPtr<IMAPIFolder> child;
    ULONG type = 0;
    ASSERT_EQ(session->OpenEntry(row[0].Value.bin.cb, (LPENTRYID)row[0].Value.bin.lpb, &IID_IMAPIFolder, 0, &type,
                                 reinterpret_cast<LPUNKNOWN*>(&child)),
              S_OK);
    WalkFolder(session, child.Get(), walk);
  }
}

TEST(SampleProfile, LogonReadsTheNamedFileAndEveryMessageCanBeRead) {
  const MapiApi& api = MapiApi::Get();
  MAPIINIT_0 init{0, 0};
  ASSERT_EQ(api.Initialize(&init), S_OK);
  Walk walk;
  {
    ComPtr<IMAPISession> session;
    ASSERT_EQ(api.LogonEx(0, const_cast<LPSTR>(""), const_cast<LPSTR>(""), MAPI_EXTENDED, &session), S_OK);
    ComPtr<IMAPITable> stores;
    ASSERT_EQ(session->GetMsgStoresTable(0, &stores), S_OK);
    for (;;) {
      Rows rows;
      auto row = Query(stores.Get(), Tags<1>{1, {PR_ENTRYID}}, 1, rows);
      if (row.size() != 1) break;
      ComPtr<IMsgStore> store;
      ASSERT_EQ(session->OpenMsgStore(0, row[0][0].Value.bin.cb, (LPENTRYID)row[0][0].Value.bin.lpb, nullptr,
                                      MDB_NO_DIALOG | MDB_WRITE, &store),
                S_OK);
      Tags<1> subtree{1, {PR_IPM_SUBTREE_ENTRYID}};
      ULONG count = 0;
      MapiBuffer<SPropValue> id;
      ASSERT_EQ(store->GetProps(subtree.Get(), 0, &count, &id), S_OK);
      ComPtr<IMAPIFolder> top;
      ULONG type = 0;
      ASSERT_EQ(store->OpenEntry(id.Get()[0].Value.bin.cb, (LPENTRYID)id.Get()[0].Value.bin.lpb, &IID_IMAPIFolder,
                                 0, &type, reinterpret_cast<LPUNKNOWN*>(&top)),
                S_OK);
      WalkFolder(session.Get(), top.Get(), walk);
      ++walk.stores;
    }
    EXPECT_EQ(session->Logoff(0, 0, 0), S_OK);
  }
  api.Uninitialize();

  EXPECT_EQ(walk.stores, 3);
  EXPECT_EQ(walk.mailMessages, 200);
  EXPECT_EQ(walk.otherItems, 6);  // a contact and an appointment per store
  const std::map<std::string, int> classes = {{"(none)", 6},       {"", 3},         {"IPF.Note", 30},
                                              {"IPF.Appointment", 3}, {"IPF.Contact", 3}, {"IPF.Task", 6},
                                              {"IPF.Note.OutlookHomepage", 3}};
  EXPECT_EQ(walk.classes, classes);
  EXPECT_EQ(api.LiveObjects(), 0);
  EXPECT_EQ(api.LiveBuffers(), 0);
  EXPECT_EQ(api.BadFrees(), 0);
}

}  // namespace
