// The stand-in's Outlook object model, reached as the product reaches it:
// the declared early-bound interfaces through the call layer, over the same
// profile as the MAPI side, whose entry identifiers it must show.
#include <functional>
#include <string>
#include <vector>

#include "om/OutlookCalls.h"
#include "mapi/EntryIDText.h"
#include "tests/standin/MapiFixture.h"

namespace {

// Stores in this order: a store that is not the default, the default store,
// a store without IPM subtree.
const char* const kProfile = R"({
 "stores": [
  {"name": "Archive", "uid": "22222222222222222222222222222222",
   "subtree": {"name": "Top of Archive", "id": "A0", "folders": [
    {"name": "Inbox", "id": "A1", "class": "IPF.Note", "role": "inbox"},
    {"name": "Deleted Items", "id": "A2", "class": "IPF.Note", "role": "deleted"}]}},
  {"name": "Mailbox", "uid": "11111111111111111111111111111111", "default": true,
   "subtree": {"name": "Top of Mailbox", "id": "F0", "folders": [
    {"name": "Inbox", "id": "F1", "class": "IPF.Note", "role": "inbox", "folders": [
      {"name": "Customers", "id": "F1A1", "class": "IPF.Note"}]},
    {"name": "Drafts", "id": "F2", "class": "IPF.Note", "role": "drafts"},
    {"name": "Deleted Items", "id": "F3", "class": "IPF.Note", "role": "deleted",
     "messages": [{"id": "B1", "subject": "Old"}]},
    {"name": "Outbox", "id": "F4", "class": "IPF.Note", "role": "outbox"},
    {"name": "Sent Items", "id": "F5", "class": "IPF.Note", "role": "sent"},
    {"name": "Junk E-mail", "id": "F6", "class": "IPF.Note", "role": "junk"},
    {"name": "RSS Feeds", "id": "F7", "class": "IPF.Note", "role": "rss"},
    {"name": "Calendar", "id": "F8", "class": "IPF.Appointment"},
    {"name": "Contacts", "id": "F9", "class": "IPF.Contact", "folders": [
      {"name": "Mail from contacts", "id": "F9A1", "class": "IPF.Note"},
      {"name": "Suppliers", "id": "F9B1", "class": "IPF.Contact.Suppliers"}]},
    {"name": "Tasks", "id": "FA", "class": "IPF.Task"},
    {"name": "Journal", "id": "FB", "class": "IPF.Journal"},
    {"name": "Notes", "id": "FC", "class": "IPF.StickyNote"},
    {"name": "Projects", "id": "FD"},
    {"name": "Newsletters", "id": "FE", "class": ""},
    {"name": "Tasklike", "id": "FF", "class": "IPF.Tasks"}]}},
  {"name": "No tree", "uid": "33333333333333333333333333333333"}
 ]
})";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct Node {
  int depth;
  std::string name;
  std::string entryId;
  long count;
  bool operator==(const Node&) const = default;
};

class ObjectModelTest : public MapiTest {
 protected:
  void SetUp() override {
    MapiTest::SetUp();
    ASSERT_EQ(api.LoadProfileText(kProfile), S_OK);
    ASSERT_EQ(api.ScriptPickFolder(nullptr), S_OK);
    api.ClearLog();
    TComPtr<IDispatch> dispatch;
    ASSERT_EQ(api.CreateApplication(&dispatch), S_OK);
    application = om::AsApplication(dispatch.Get());
  }
  void TearDown() override {
    application.Reset();
    MapiTest::TearDown();  // every object released
  }

  TComPtr<MAPIFolder> Root(const std::string& storeName) {
    TComPtr<_NameSpace> ns = om::GetSession(application.Get());
    TComPtr<_Folders> roots = om::GetFolders(ns.Get());
    for (auto f = om::GetFirst(roots.Get()); f; f = om::GetNext(roots.Get())) {
      if (Narrow(om::GetName(f.Get())) == storeName) return f;
    }
    ADD_FAILURE() << "no store root " << storeName;
    return {};
  }

  // A folder by path of names below a store root ("Contacts/Suppliers").
  TComPtr<MAPIFolder> ByPath(const std::string& storeName, const std::string& path) {
    TComPtr<MAPIFolder> folder = Root(storeName);
    size_t start = 0;
    while (folder && start <= path.size()) {
      const size_t end = path.find('/', start);
      const std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
      TComPtr<_Folders> children = om::GetFolders(folder.Get());
      TComPtr<MAPIFolder> found;
      for (auto f = om::GetFirst(children.Get()); f; f = om::GetNext(children.Get())) {
        if (Narrow(om::GetName(f.Get())) == name) found = std::move(f);
      }
      EXPECT_TRUE(found) << "no folder " << name;
      folder = std::move(found);
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return folder;
  }

  // Pre-order walk through the object model.
  void Walk(_Folders* folders, int depth, std::vector<Node>& out) {
    for (auto f = om::GetFirst(folders); f; f = om::GetNext(folders)) {
      TComPtr<_Folders> children = om::GetFolders(f.Get());
      const long count = om::GetCount(children.Get());
      out.push_back({depth, Narrow(om::GetName(f.Get())), Narrow(om::GetEntryID(f.Get())), count});
      if (count > 0) Walk(children.Get(), depth + 1, out);
    }
  }

  // The same walk through MAPI hierarchy tables.
  void WalkMapi(IMAPIFolder* folder, int depth, std::vector<Node>& out) {
    ComPtr<IMAPITable> table;
    ASSERT_EQ(folder->GetHierarchyTable(0, &table), S_OK);
    Rows rows;
    for (const auto& row : ReadTable(table.Get(), {PR_DISPLAY_NAME_A, PR_ENTRYID}, 0x7FFFFFFF, rows)) {
      const std::string id = AsBytes(row[1]);
      ComPtr<IMAPIFolder> child = OpenFolder(nullptr, id, MAPI_BEST_ACCESS);
      const size_t at = out.size();
      out.push_back({depth, row[0].Value.lpszA, EntryIDToText(id.data(), id.size()),
                     static_cast<long>(Children(child.Get()).size())});
      if (out[at].count > 0) WalkMapi(child.Get(), depth + 1, out);
    }
  }

  std::string MapiEntryIdText(IMAPIFolder* folder) {
    Tags<1> tags{1, {PR_ENTRYID}};
    ULONG count = 0;
    MapiBuffer<SPropValue> values;
    EXPECT_EQ(folder->GetProps(tags.Get(), 0, &count, &values), S_OK);
    const std::string id = AsBytes(values.Get()[0]);
    return EntryIDToText(id.data(), id.size());
  }

  TComPtr<_Application> application;
};

TEST_F(ObjectModelTest, StoreRootsComeInStoreOrderUnderTheStoreNamesWithTheSubtreeEntryIds) {
  TComPtr<_NameSpace> ns = om::GetSession(application.Get());
  TComPtr<_Folders> roots = om::GetFolders(ns.Get());
  EXPECT_EQ(om::GetCount(roots.Get()), 2);
  std::vector<std::string> names, ids;
  for (auto f = om::GetFirst(roots.Get()); f; f = om::GetNext(roots.Get())) {
    names.push_back(Narrow(om::GetName(f.Get())));
    ids.push_back(Narrow(om::GetEntryID(f.Get())));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Archive", "Mailbox"}));
  std::vector<std::string> mapiIds;
  for (size_t i = 0; i < 2; ++i) {
    ComPtr<IMsgStore> store = OpenStore(i);
    const std::string subtree = StoreProp(store.Get(), PR_IPM_SUBTREE_ENTRYID);
    mapiIds.push_back(EntryIDToText(subtree.data(), subtree.size()));
  }
  EXPECT_EQ(ids, mapiIds);
  EXPECT_FALSE(om::GetNext(roots.Get())) << "past the last stays none";
  EXPECT_EQ(Narrow(om::GetName(om::GetFirst(roots.Get()).Get())), "Archive") << "GetFirst starts again";
}

TEST_F(ObjectModelTest, EveryFolderShowsTheNameEntryIdAndChildrenThatMapiShows) {
  for (size_t store = 0; store < 2; ++store) {
    std::vector<Node> model, mapi;
    TComPtr<MAPIFolder> root = Root(store == 0 ? "Archive" : "Mailbox");
    TComPtr<_Folders> children = om::GetFolders(root.Get());
    Walk(children.Get(), 0, model);
    ComPtr<IMsgStore> mdb = OpenStore(store);
    ComPtr<IMAPIFolder> subtree = OpenFolder(mdb.Get(), StoreProp(mdb.Get(), PR_IPM_SUBTREE_ENTRYID), 0);
    WalkMapi(subtree.Get(), 0, mapi);
    EXPECT_EQ(model, mapi) << "store " << store;
    EXPECT_FALSE(model.empty());
  }
  std::vector<Node> model;
  TComPtr<_Folders> top = om::GetFolders(Root("Mailbox").Get());
  Walk(top.Get(), 0, model);
  std::vector<std::string> names;
  for (const Node& n : model) names.push_back(std::string(n.depth * 2, ' ') + n.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Inbox", "  Customers", "Drafts", "Deleted Items", "Outbox",
                                             "Sent Items", "Junk E-mail", "RSS Feeds", "Calendar", "Contacts",
                                             "  Mail from contacts", "  Suppliers", "Tasks", "Journal", "Notes",
                                             "Projects", "Newsletters", "Tasklike"}));
}

TEST_F(ObjectModelTest, DefaultItemTypeFollowsTheContainerClass) {
  const struct {
    const char* path;
    OlItemType type;
  } rows[] = {
      {"Inbox", olMailItem},          {"Calendar", olAppointmentItem}, {"Contacts", olContactItem},
      {"Contacts/Suppliers", olContactItem}, {"Contacts/Mail from contacts", olMailItem},
      {"Tasks", olTaskItem},          {"Journal", olJournalItem},      {"Notes", olNoteItem},
      {"Projects", olMailItem},       {"Newsletters", olMailItem},     {"Tasklike", olMailItem},
  };
  for (const auto& row : rows) {
    TComPtr<MAPIFolder> folder = ByPath("Mailbox", row.path);
    ASSERT_TRUE(folder) << row.path;
    EXPECT_EQ(om::GetDefaultItemType(folder.Get()), row.type) << row.path;
  }
  EXPECT_EQ(om::GetDefaultItemType(Root("Mailbox").Get()), olMailItem);
}

TEST_F(ObjectModelTest, DefaultFoldersAreThoseOfTheDefaultStore) {
  TComPtr<_NameSpace> ns = om::GetNamespace(application.Get(), L"MAPI");
  const struct {
    OlDefaultFolders kind;
    const char* path;
  } hits[] = {{olFolderDeletedItems, "Deleted Items"}, {olFolderOutbox, "Outbox"}, {olFolderSentMail, "Sent Items"},
              {olFolderInbox, "Inbox"},                {olFolderDrafts, "Drafts"}, {olFolderJunk, "Junk E-mail"},
              {olFolderRssFeeds, "RSS Feeds"}};
  for (const auto& hit : hits) {
    TComPtr<MAPIFolder> folder = om::GetDefaultFolder(ns.Get(), hit.kind);
    ASSERT_TRUE(folder) << hit.kind;
    EXPECT_EQ(Narrow(om::GetName(folder.Get())), hit.path);
    ComPtr<IMAPIFolder> mapiFolder = FolderByPath(1, hit.path);
    EXPECT_EQ(Narrow(om::GetEntryID(folder.Get())), MapiEntryIdText(mapiFolder.Get())) << hit.path;
  }
  const struct {
    OlDefaultFolders kind;
    HRESULT failure;
  } misses[] = {{olFolderToDo, MAPI_E_NOT_FOUND}, {static_cast<OlDefaultFolders>(9), E_INVALIDARG}};
  for (const auto& miss : misses) {
    try {
      om::GetDefaultFolder(ns.Get(), miss.kind);
      ADD_FAILURE() << "kind " << miss.kind << " found";
    } catch (const EOleException& e) {
      EXPECT_EQ(e.Code(), miss.failure) << miss.kind;
    }
  }
}

TEST_F(ObjectModelTest, PickFolderAnswersAsScripted) {
  TComPtr<_NameSpace> ns = om::GetNamespace(application.Get(), L"MAPI");
  EXPECT_FALSE(om::PickFolder(ns.Get())) << "cancelled until scripted";

  ComPtr<IMAPIFolder> customers = FolderByPath(1, "Inbox/Customers");
  const std::string id = MapiEntryIdText(customers.Get());
  std::string lower = id;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  ASSERT_EQ(api.ScriptPickFolder(lower.c_str()), S_OK);
  TComPtr<MAPIFolder> picked = om::PickFolder(ns.Get());
  ASSERT_TRUE(picked);
  EXPECT_EQ(Narrow(om::GetName(picked.Get())), "Customers");
  EXPECT_EQ(Narrow(om::GetEntryID(picked.Get())), id);

  ComPtr<IMsgStore> archive = OpenStore(0);
  const std::string root = StoreProp(archive.Get(), PR_IPM_SUBTREE_ENTRYID);
  ASSERT_EQ(api.ScriptPickFolder(EntryIDToText(root.data(), root.size()).c_str()), S_OK);
  EXPECT_EQ(Narrow(om::GetName(om::PickFolder(ns.Get()).Get())), "Archive");

  ASSERT_EQ(api.ScriptPickFolder("0000000011"), S_OK);
  try {
    om::PickFolder(ns.Get());
    ADD_FAILURE() << "a folder for an unknown identifier";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Code(), MAPI_E_NOT_FOUND);
  }
  EXPECT_EQ(api.ScriptPickFolder("not hex"), E_INVALIDARG);

  ASSERT_EQ(api.ScriptPickFolder(""), S_OK);
  EXPECT_FALSE(om::PickFolder(ns.Get()));
  EXPECT_EQ(api.Log(), (std::vector<std::string>{"PickFolder cancelled", "PickFolder folder=\"Customers\"",
                                                 "PickFolder folder=\"Archive\"", "PickFolder unknown=0000000011",
                                                 "PickFolder cancelled"}));
}

TEST_F(ObjectModelTest, ApplicationGivesTheMapiNamespaceAndAnExplorer) {
  EXPECT_TRUE(om::GetNamespace(application.Get(), L"mapi"));
  try {
    om::GetNamespace(application.Get(), L"IMAP");
    ADD_FAILURE() << "a namespace other than MAPI";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Code(), E_INVALIDARG);
  }
  TComPtr<_Explorer> explorer = om::ActiveExplorer(application.Get());
  ASSERT_TRUE(explorer);
  TComPtr<_Explorer> again = om::Query<_Explorer>(explorer.Get(), IID__Explorer, "Explorer");
  EXPECT_TRUE(again);
  EXPECT_THROW(om::Query<MAPIFolder>(explorer.Get(), IID_MAPIFolder, "Explorer as folder"), EOleException);
}

TEST_F(ObjectModelTest, FoldersByPositionAndName) {
  TComPtr<_Folders> top = om::GetFolders(Root("Mailbox").Get());
  VARIANT index;
  VariantInit(&index);
  index.vt = VT_I4;
  index.lVal = 3;
  TComPtr<MAPIFolder> third;
  ASSERT_EQ(top->Item(index, &third), S_OK);
  EXPECT_EQ(Narrow(om::GetName(third.Get())), "Deleted Items");
  index.lVal = 0;
  EXPECT_EQ(top->Item(index, &third), E_INVALIDARG);
  TBstr name(L"Calendar");
  index.vt = VT_BSTR;
  index.bstrVal = name.Get();
  ASSERT_EQ(top->Item(index, &third), S_OK);
  EXPECT_EQ(om::GetDefaultItemType(third.Get()), olAppointmentItem);
}

TEST_F(ObjectModelTest, NamesComeAsTheUnicodeTheProfileHolds) {
  ASSERT_EQ(api.LoadProfileText(R"({"stores": [{"name": "Почта", "uid": "55555555555555555555555555555555",
    "default": true, "subtree": {"name": "Top", "folders": [{"name": "收件箱", "role": "inbox"},
    {"name": "Łódź", "class": "IPF.Note"}]}}]})"),
            S_OK);
  TComPtr<_NameSpace> ns = om::GetSession(application.Get());
  TComPtr<_Folders> roots = om::GetFolders(ns.Get());
  TComPtr<MAPIFolder> root = om::GetFirst(roots.Get());
  ASSERT_TRUE(root);
  EXPECT_EQ(om::GetName(root.Get()), L"\u041F\u043E\u0447\u0442\u0430");
  TComPtr<_Folders> children = om::GetFolders(root.Get());
  std::vector<std::wstring> names;
  for (auto f = om::GetFirst(children.Get()); f; f = om::GetNext(children.Get())) names.push_back(om::GetName(f.Get()));
  EXPECT_EQ(names, (std::vector<std::wstring>{L"\u6536\u4EF6\u7BB1", L"\u0141\u00F3d\u017A"}));
  EXPECT_EQ(om::GetName(om::GetDefaultFolder(ns.Get(), olFolderInbox).Get()), L"\u6536\u4EF6\u7BB1");

  TBstr name(L"\u0141\u00F3d\u017A");
  VARIANT index;
  VariantInit(&index);
  index.vt = VT_BSTR;
  index.bstrVal = name.Get();
  TComPtr<MAPIFolder> byName;
  ASSERT_EQ(children->Item(index, &byName), S_OK);
  EXPECT_EQ(om::GetName(byName.Get()), name.Get());
}

TEST_F(ObjectModelTest, ObjectsCountWhileHeldAndAreAllReleased) {
  const long before = api.LiveObjects();
  {
    TComPtr<_NameSpace> ns = om::GetSession(application.Get());
    TComPtr<_Folders> roots = om::GetFolders(ns.Get());
    TComPtr<MAPIFolder> first = om::GetFirst(roots.Get());
    EXPECT_EQ(api.LiveObjects(), before + 3);
  }
  EXPECT_EQ(api.LiveObjects(), before);
  application.Reset();
  EXPECT_EQ(api.LiveObjects(), before - 1);
}

}  // namespace
