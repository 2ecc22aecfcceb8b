// DeleteMessages and CopyMessages change the profile, and the changed
// profile can be saved and read again.
#include <cstdio>
#include <utility>

#include "tests/standin/MapiFixture.h"

namespace {

TEST_F(MapiTest, HardDeleteRemovesTheMessage) {
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  OneId ids(MessageIds(inbox.Get()).at(0));
  const std::string& id = ids.id;
  ASSERT_EQ(inbox->DeleteMessages(ids.List(), 0, nullptr, 0), S_OK);
  EXPECT_EQ(Subjects(inbox.Get()), std::vector<std::string>{"No recipients"});
  ComPtr<IUnknown> gone;
  ULONG type = 0;
  EXPECT_EQ(session->OpenEntry(id.size(), (LPENTRYID)id.data(), &IID_IMessage, MAPI_MODIFY, &type, &gone),
            MAPI_E_NOT_FOUND);
  EXPECT_EQ(inbox->DeleteMessages(ids.List(), 0, nullptr, 0), MAPI_W_PARTIAL_COMPLETION);
}

TEST_F(MapiTest, CopyAndMoveAcrossStoresGiveNewEntryIdsInTheTargetStore) {
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMAPIFolder> archive = FolderByPath(1, "Deleted Items");
  OneId ids(MessageIds(inbox.Get()).at(0));

  ASSERT_EQ(inbox->CopyMessages(ids.List(), nullptr, archive.Get(), 0, nullptr, 0), S_OK);
  EXPECT_EQ(Subjects(inbox.Get()), (std::vector<std::string>{"Hello", "No recipients"}));
  ASSERT_EQ(inbox->CopyMessages(ids.List(), nullptr, archive.Get(), 0, nullptr, MESSAGE_MOVE), S_OK);
  EXPECT_EQ(Subjects(inbox.Get()), std::vector<std::string>{"No recipients"});
  EXPECT_EQ(Subjects(archive.Get()), (std::vector<std::string>{"Hello", "Hello"}));
  const auto copies = MessageIds(archive.Get());
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_NE(copies[0], copies[1]);
  for (const auto& copy : copies) EXPECT_EQ(copy.substr(4, 16), std::string(16, '\x22'));
  EXPECT_EQ(inbox->CopyMessages(ids.List(), nullptr, archive.Get(), 0, nullptr, MESSAGE_MOVE),
            MAPI_W_PARTIAL_COMPLETION);
}

TEST_F(MapiTest, ReadOnlyFoldersRefuseChanges) {
  ComPtr<IMAPIFolder> readOnly = FolderByPath(0, "Inbox", 0);
  ComPtr<IMAPIFolder> target = FolderByPath(0, "Deleted Items");
  OneId ids(MessageIds(readOnly.Get()).at(0));
  EXPECT_EQ(readOnly->DeleteMessages(ids.List(), 0, nullptr, 0), MAPI_E_NO_ACCESS);
  EXPECT_EQ(readOnly->CopyMessages(ids.List(), nullptr, target.Get(), 0, nullptr, MESSAGE_MOVE), MAPI_E_NO_ACCESS);
  EXPECT_EQ(Subjects(readOnly.Get()).size(), 2u);
}

TEST_F(MapiTest, SavedProfileKeepsTheChanges) {
  {
    ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
    ComPtr<IMAPIFolder> deleted = FolderByPath(0, "Deleted Items");
    OneId ids(MessageIds(inbox.Get()).at(1));
    ASSERT_EQ(inbox->CopyMessages(ids.List(), nullptr, deleted.Get(), 0, nullptr, MESSAGE_MOVE), S_OK);
  }
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  const std::string file = std::string(path) + "standin-saved-profile.json";
  ASSERT_EQ(api.SaveProfile(file.c_str()), S_OK);
  ASSERT_EQ(api.LoadProfileText(R"({"stores": []})"), S_OK);
  EXPECT_EQ(StoreEntryIds().size(), 0u);
  ASSERT_EQ(api.LoadProfile(file.c_str()), S_OK);
  std::remove(file.c_str());
  EXPECT_EQ(Subjects(FolderByPath(0, "Inbox").Get()), std::vector<std::string>{"Hello"});
  EXPECT_EQ(Subjects(FolderByPath(0, "Deleted Items").Get()), std::vector<std::string>{"No recipients"});
  EXPECT_EQ(Subjects(FolderByPath(1, "Inbox").Get()), std::vector<std::string>{"Archived"});
}

TEST(ProfileText, BrokenProfilesAreRefusedWithTheReasonLogged) {
  const MapiApi& api = MapiApi::Get();
  ASSERT_EQ(api.LoadProfileText(kFixtureProfile), S_OK);
  const char* broken[] = {
      "{\"stores\": [",
      R"({"stores": [{"name": "x", "uid": "1234"}]})",
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111", "subtree": {"id": "F0",
         "folders": [{"id": "F0"}]}}]})",
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111", "subtree": {"messages": [
         {"submitTime": "yesterday"}]}}]})",
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111", "subtree": {"messages": [7]}}]})",
      // Generated stores: with a subtree besides, a key it does not take,
      // a count below 0, shares adding up to more than 1.
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111", "subtree": {},
         "generate": {"messages": 5}}]})",
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111", "generate": {"mesages": 5}}]})",
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111", "generate": {"messages": -5}}]})",
      R"({"stores": [{"name": "x", "uid": "11111111111111111111111111111111",
         "generate": {"messages": 5, "exact": 0.7, "near": 0.4}}]})",
  };
  for (const char* text : broken) {
    api.ClearLog();
    EXPECT_EQ(api.LoadProfileText(text), MAPI_E_CORRUPT_DATA) << text;
    ASSERT_EQ(api.Log().size(), 1u);
    EXPECT_EQ(api.Log()[0].rfind("LoadProfile error: ", 0), 0u) << api.Log()[0];
  }
}

}  // namespace
