#include "tests/mapi/MapiFixture.h"

using namespace profile;

std::string StandardProfile() {
  const std::string meeting = Message(
      "Meeting notes",
      "\"senderName\": \"Anna Berg\", \"senderEmail\": \"anna@example.com\", \"to\": \"Tom\", "
      "\"cc\": \"Sara\", \"bcc\": \"Ola\", \"body\": \"Hello Tom\", \"flags\": 1, \"size\": 1234, "
      "\"submitTime\": \"1999-12-31T23:00:00Z\", \"deliveryTime\": \"2000-01-01T00:00:00Z\", "
      "\"messageClass\": \"IPM.Note\", \"status\": 0, \"access\": 3, "
      "\"attachments\": [{\"displayName\": \"a.txt\", \"size\": 10}, "
      "{\"displayName\": \"\", \"longFileName\": \"\", \"fileName\": \"b.doc\", \"size\": 2048}, "
      "{\"method\": 5, \"displayName\": \"forwarded\", \"size\": 99}]");
  const std::string lunch =
      Message("Lunch", "\"senderName\": \"Tom\", \"to\": \"Anna\", \"body\": \"\", \"flags\": 0");
  const std::string personal = Store(
      "Personal", '1', true,
      Folder("Inbox", "IPF.Note", meeting + "," + lunch,
             Folder("Old", "IPF.Note", Message("Old news", "\"to\": \"x\", \"flagStatus\": 2")), "inbox") +
          "," +
          Folder("Contacts", "IPF.Contact", Message("Card"),
                 Folder("Mail in contacts", "IPF.Note", Message("Hidden mail"))) +
          "," + Folder("Empty", "", "") + "," +
          Folder("Deleted Items", "IPF.Note", "", "", "deleted") + "," +
          Folder("Sent Items", "IPF.Note", "", "", "sent") + "," +
          Folder("Outbox", "IPF.Note", "", "", "outbox"));
  const std::string archive =
      Store("Archive", '2', false,
            Folder("Inbox", "IPF.Note", meeting, "", "inbox") + "," +
                Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  return Profile(personal + "," + archive);
}

void MapiTest::SetUp() { standin_.LoadProfile(StandardProfile()); }

void MapiTest::TearDown() {
  session_.reset();
  EXPECT_EQ(standin_.LiveObjects(), 0) << "MAPI objects left open";
  EXPECT_EQ(standin_.LiveBuffers(), 0) << "MAPI buffers left unfreed";
  EXPECT_EQ(standin_.BadFrees(), 0) << "MAPI buffers freed twice";
}

TsxMAPI_Session& MapiTest::Session() {
  if (!session_) {
    session_ = std::make_unique<TsxMAPI_Session>();
    session_->Logon();
  }
  return *session_;
}

std::unique_ptr<TsxMAPI_Folder> MapiTest::Child(TsxMAPI_Folder* parent, const std::string& name) {
  if (parent)
    for (const TChildFolder& child : parent->SubFolders())
      if (child.name == name) return parent->OpenSubFolder(child);
  ADD_FAILURE() << "no folder " << name;
  return nullptr;
}

std::unique_ptr<TsxMAPI_Folder> MapiTest::Top(const std::string& name) {
  return Child(Session().GetFolder(sxftRoot), name);
}

std::unique_ptr<TsxMAPI_Folder> MapiTest::ArchiveTop(const std::string& name) {
  IMAPISession* mapi = Session().Session();
  TComPtr<IMAPITable> stores;
  EXPECT_EQ(mapi->GetMsgStoresTable(0, &stores), S_OK);
  SPropTagArray columns = {1, {PR_ENTRYID}};
  stores->SetColumns(&columns, 0);
  TRowSet rows;
  EXPECT_EQ(stores->QueryRows(2, 0, &rows), S_OK);
  if (rows.Count() != 2) return nullptr;
  const TEntryIDRef id = RefTo(rows->aRow[1].lpProps[0].Value.bin);
  TComPtr<IMsgStore> store;
  EXPECT_EQ(mapi->OpenMsgStore(0, id.cb, id.lpb, nullptr, MDB_NO_DIALOG, &store), S_OK);
  const TMapiBuffer<SPropValue> subtree = GetOneProp(store.Get(), PR_IPM_SUBTREE_ENTRYID, "subtree");
  TsxMAPI_Folder root(RefTo(subtree->Value.bin), &Session());
  return Child(&root, name);
}

int MapiTest::MessageCount(TsxMAPI_Folder* folder) {
  int count = 0;
  folder->ForEachMessageRow([&count](const TMessageRow&) {
    ++count;
    return true;
  });
  return count;
}

std::unique_ptr<TsxMAPI_Message> MapiTest::OpenMessage(TsxMAPI_Folder* folder, int i) {
  std::unique_ptr<TsxMAPI_Message> message;
  int at = 0;
  if (folder)
    folder->ForEachMessageRow([&](const TMessageRow& row) {
      if (at++ < i) return true;
      message = std::make_unique<TsxMAPI_Message>(row.entryID, folder, &Session(), 0);
      return false;
    });
  if (!message) ADD_FAILURE() << "no message " << i;
  return message;
}

std::string MapiTest::MessageID(TsxMAPI_Folder* folder, int i) {
  const auto message = OpenMessage(folder, i);
  return message ? message->GetEntryIDString() : "";
}
