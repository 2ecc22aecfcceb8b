// The folder tree's model over the stand-in Outlook object model: which
// folders are listed, with which image and check state, and the tri-state rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/mapi/Standin.h"
#include "tests/ui/FailingOutlook.h"
#include "ui/OutlookFolderTree.h"

using namespace profile;

namespace {

std::string Mailbox() {
  return Store(
      "Mailbox", '1', true,
      Folder("Inbox", "IPF.Note", "", Folder("Sub A", "IPF.Note", ""), "inbox") + "," +
          Folder("Drafts", "IPF.Note", "", "", "drafts") + "," +
          Folder("Sent Items", "IPF.Note", "", "", "sent") + "," +
          Folder("Outbox", "IPF.Note", "", "", "outbox") + "," +
          Folder("Deleted Items", "IPF.Note", "", Folder("Old trash", "IPF.Note", ""), "deleted") +
          "," + Folder("Junk E-mail", "IPF.Note", "", "", "junk") + "," +
          Folder("RSS Feeds", "IPF.Note", "", "", "rss") + "," +
          Folder("To-Do List", "IPF.Note", "", "", "todo") + "," +
          Folder("Calendar", "IPF.Appointment", "", Folder("Birthdays", "IPF.Appointment", "")) +
          "," + Folder("Contacts", "IPF.Contact", "", Folder("Mail from contacts", "IPF.Note", "")));
}

std::string Archive() {
  return Store("Archive", '2', false,
               Folder("Inbox", "IPF.Note", "") + "," + Folder("Deleted Items", "IPF.Note", "") +
                   "," + Folder("Calendar", "IPF.Appointment", ""));
}

struct TRow {
  std::wstring caption;
  int image;
  bool checked;
  bool operator==(const TRow&) const = default;
};

void PrintTo(const TRow& r, std::ostream* os) {
  *os << std::string(r.caption.begin(), r.caption.end()) << "/" << r.image << "/" << r.checked;
}

class FolderTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin_.LoadProfile(Profile(Mailbox() + "," + Archive()));
    app_.Reset(standin_.CreateApplication());
    ASSERT_TRUE(app_);
    tree_ = std::make_unique<TOutlookFolderTree>();
    tree_->SetIDspApp(om::AsApplication(app_.Get()).Get());
  }
  void TearDown() override {
    tree_.reset();
    app_.Reset();
    EXPECT_EQ(standin_.LiveObjects(), 0) << "object-model objects left alive";
  }

  std::vector<TRow> Rows() const {
    std::vector<TRow> rows;
    for (const TNodeData* d : tree_->Datas()) rows.push_back({d->strCaption, d->nImageIndex, d->bChecked});
    return rows;
  }
  TFolderNode* Node(const std::wstring& caption, int nth = 0) const {
    for (const TNodeData* d : tree_->Datas())
      if (d->strCaption == caption && nth-- == 0) return tree_->NodeOf(d);
    ADD_FAILURE() << "no node";
    return nullptr;
  }

  TStandin& standin_ = TStandin::Get();
  TComPtr<IDispatch> app_;
  std::unique_ptr<TOutlookFolderTree> tree_;
};

TEST_F(FolderTreeTest, TheWindowsSetListsMailFoldersWithDeletedItemsUnticked) {
  tree_->SetShowFolders(kMailShowFolders);
  ASSERT_TRUE(tree_->FillTree());
  const std::vector<TRow> expected = {
      {L"Mailbox", 1, true},       {L"Inbox", 2, true},         {L"Sub A", 2, true},
      {L"Drafts", 11, true},       {L"Sent Items", 10, true},   {L"Outbox", 9, true},
      {L"Deleted Items", 8, false}, {L"Old trash", 2, true},    {L"Junk E-mail", 12, true},
      {L"Mail from contacts", 2, true},  // its contacts folder is not listed
      {L"Archive", 1, true},       {L"Inbox", 2, true},         {L"Deleted Items", 8, false},
  };
  EXPECT_EQ(Rows(), expected) << "the second store's folders are recognised by name";
  ASSERT_EQ(tree_->Roots().size(), 2u);
  for (const auto& root : tree_->Roots()) {
    EXPECT_TRUE(root->bExpanded);
    EXPECT_EQ(root->State, TCheckState::csMixed) << "a parent of an unticked Deleted Items";
    EXPECT_TRUE(root->Data.bChecked) << "still takes part itself";
  }
  EXPECT_EQ(Node(L"Mail from contacts")->Parent, tree_->Roots()[0].get());
  for (const TNodeData* d : tree_->Datas()) EXPECT_FALSE(d->strEntryID.empty());
  // RSS Feeds, To-Do List, both calendars, Birthdays and Contacts are left
  // out; the window keeps them out of the search by their identifiers.
  const std::vector<std::wstring>& hidden = tree_->HiddenEntryIDs();
  EXPECT_EQ(hidden.size(), 6u);
  for (const TNodeData* d : tree_->Datas())
    EXPECT_EQ(std::count(hidden.begin(), hidden.end(), d->strEntryID), 0) << "a listed folder is not hidden";
  ASSERT_TRUE(tree_->FillTree());
  EXPECT_EQ(tree_->HiddenEntryIDs().size(), 6u) << "a refill starts a new list";
}

TEST_F(FolderTreeTest, ANewTreeListsEveryKindButToDo) {
  ASSERT_TRUE(tree_->FillTree());
  std::vector<std::wstring> captions;
  for (const TNodeData* d : tree_->Datas()) captions.push_back(d->strCaption);
  EXPECT_EQ(std::count(captions.begin(), captions.end(), L"To-Do List"), 0);
  EXPECT_EQ(Node(L"RSS Feeds")->Data.nImageIndex, 13);
  EXPECT_EQ(Node(L"Calendar")->Data.nImageIndex, 3);
  EXPECT_EQ(Node(L"Birthdays")->Data.nImageIndex, 3) << "by item type, whatever its name";
  EXPECT_EQ(Node(L"Contacts")->Data.nImageIndex, 4);
  EXPECT_EQ(Node(L"Mail from contacts")->Parent, Node(L"Contacts"));
  EXPECT_EQ(Node(L"Calendar", 1)->Data.nImageIndex, 3) << "the second store's calendar";

  tree_->SetShowFolders(kDefaultShowFolders | ShowBit(sfFolderToDo));
  ASSERT_TRUE(tree_->FillTree());
  EXPECT_EQ(Node(L"To-Do List")->Data.nImageIndex, 0) << "a to-do folder has the plain image";
}

TEST_F(FolderTreeTest, ChecksFollowTheTriStateRule) {
  tree_->SetShowFolders(kMailShowFolders);
  ASSERT_TRUE(tree_->FillTree());
  TFolderNode* root = tree_->Roots()[0].get();

  tree_->SetChecked(Node(L"Inbox"), false);
  EXPECT_FALSE(Node(L"Inbox")->Data.bChecked);
  EXPECT_FALSE(Node(L"Sub A")->Data.bChecked) << "descendants follow";
  EXPECT_EQ(root->State, TCheckState::csMixed);

  tree_->SelectAll();
  for (const TNodeData* d : tree_->Datas()) EXPECT_TRUE(d->bChecked);
  EXPECT_EQ(root->State, TCheckState::csChecked);

  tree_->UnselectAll();
  for (const TNodeData* d : tree_->Datas()) EXPECT_FALSE(d->bChecked);
  EXPECT_EQ(root->State, TCheckState::csUnchecked);

  tree_->SetChecked(Node(L"Sub A"), true);
  EXPECT_EQ(Node(L"Inbox")->State, TCheckState::csChecked) << "all its children are checked";
  EXPECT_TRUE(Node(L"Inbox")->Data.bChecked);
  EXPECT_EQ(root->State, TCheckState::csMixed);
  EXPECT_TRUE(root->Data.bChecked) << "a mixed folder takes part in the search";

  tree_->InverseSelection();  // only leaves toggle; parents follow
  EXPECT_FALSE(Node(L"Sub A")->Data.bChecked);
  EXPECT_FALSE(Node(L"Inbox")->Data.bChecked);
  EXPECT_TRUE(Node(L"Drafts")->Data.bChecked);
  EXPECT_TRUE(Node(L"Old trash")->Data.bChecked);
  EXPECT_EQ(Node(L"Deleted Items")->State, TCheckState::csChecked);
}

TEST_F(FolderTreeTest, WithoutApplicationOrImages) {
  TOutlookFolderTree empty;
  EXPECT_FALSE(empty.FillTree());
  EXPECT_TRUE(empty.Datas().empty());

  tree_->SetShowFolders(kMailShowFolders);
  tree_->SetImageCount(0);
  ASSERT_TRUE(tree_->FillTree());
  for (const TNodeData* d : tree_->Datas()) EXPECT_EQ(d->nImageIndex, -1);
  tree_->SetIDspApp(nullptr);  // keeps the one it has
  EXPECT_TRUE(tree_->FillTree());
}

// A default store without the special folders: no folder is recognised as
// one of those kinds, in that store or any other, and the fill goes on.
TEST_F(FolderTreeTest, MissingDefaultFoldersAreRecognisedByNothing) {
  standin_.LoadProfile(Profile(
      Store("Lean", '3', true,
            Folder("Inbox", "IPF.Note", "", "", "inbox") + "," + Folder("Drafts", "IPF.Note", "") + "," +
                Folder("RSS Feeds", "IPF.Note", "") + "," + Folder("Tasks", "IPF.Task", "")) +
      "," + Archive()));
  tree_.reset();
  app_.Reset(standin_.CreateApplication());
  tree_ = std::make_unique<TOutlookFolderTree>();
  tree_->SetIDspApp(om::AsApplication(app_.Get()).Get());
  tree_->SetShowFolders(kMailShowFolders);
  ASSERT_TRUE(tree_->FillTree());
  const std::vector<TRow> expected = {
      {L"Lean", 1, true},      {L"Inbox", 2, true},   {L"Drafts", 2, true}, {L"RSS Feeds", 2, true},
      {L"Archive", 1, true},   {L"Inbox", 2, true},   {L"Deleted Items", 2, true},
  };
  EXPECT_EQ(Rows(), expected) << "the kinds by item type are still told apart";
  EXPECT_EQ(tree_->HiddenEntryIDs().size(), 2u);  // Tasks and the archive's calendar
  EXPECT_TRUE(tree_->DefaultFolderFailures().empty()) << "a folder that is not there is no failure";
}

// A default folder that cannot be had for another reason (an older Outlook
// that does not know the kind, a failing store) leaves that kind unknown
// like a missing one, and the failure is kept. The default folders are
// asked for once per fill, not once per folder.
TEST_F(FolderTreeTest, AFailingDefaultFolderRequestIsKeptAndTheFillGoesOn) {
  struct TCase {
    const char* name;
    OlDefaultFolders kind;
    HRESULT hr;
    const wchar_t* caption;  // the folder of that kind in the default store
    const char* failure;     // "" for none
  };
  const TCase cases[] = {
      {"deleted items not found", olFolderDeletedItems, MAPI_E_NOT_FOUND, L"Deleted Items", ""},
      {"junk refused by an older Outlook", olFolderJunk, E_INVALIDARG, L"Junk E-mail",
       "NameSpace.GetDefaultFolder failed: 0x80070057"},
      {"rss failing", olFolderRssFeeds, E_FAIL, L"RSS Feeds", "NameSpace.GetDefaultFolder failed: 0x80004005"},
      {"drafts failing", olFolderDrafts, MAPI_E_CALL_FAILED, L"Drafts",
       "NameSpace.GetDefaultFolder failed: 0x80004005"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    failing::Application app(app_.Get());
    app.nameSpace.failingKind = c.kind;
    app.nameSpace.defaultFolderResult = c.hr;
    TOutlookFolderTree tree;
    tree.SetIDspApp(&app);
    tree.SetShowFolders(kMailShowFolders);
    ASSERT_TRUE(tree.FillTree());
    EXPECT_EQ(app.nameSpace.defaultFolderCalls, 8);
    std::map<std::wstring, const TNodeData*> first;  // the default store's folder of each name
    for (const TNodeData* d : tree.Datas()) first.emplace(d->strCaption, d);
    ASSERT_TRUE(first.count(c.caption)) << "listed as an ordinary mail folder";
    EXPECT_EQ(first[c.caption]->nImageIndex, kImageMailFolder);
    EXPECT_TRUE(first[c.caption]->bChecked);
    EXPECT_EQ(tree.Datas().size(), c.kind == olFolderRssFeeds ? 14u : 13u);
    EXPECT_EQ(first[L"Sent Items"]->nImageIndex, 10) << "the other kinds are still recognised";
    EXPECT_EQ(tree.DefaultFolderFailures(),
              *c.failure ? std::vector<std::string>{c.failure} : std::vector<std::string>{});
  }
}

}  // namespace
