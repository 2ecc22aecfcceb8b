// The folder tree's model over the stand-in Outlook object model: which
// folders are listed, with which image and check state, and the tri-state rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/mapi/Standin.h"
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

TEST_F(FolderTreeTest, WithoutApplicationOrImagesOrDefaultFolders) {
  TOutlookFolderTree empty;
  EXPECT_FALSE(empty.FillTree());
  EXPECT_TRUE(empty.Datas().empty());

  tree_->SetShowFolders(kMailShowFolders);
  tree_->SetImageCount(0);
  ASSERT_TRUE(tree_->FillTree());
  for (const TNodeData* d : tree_->Datas()) EXPECT_EQ(d->nImageIndex, -1);
  tree_->SetIDspApp(nullptr);  // keeps the one it has
  EXPECT_TRUE(tree_->FillTree());

  // A profile without a drafts folder: asking for it fails, and so does the fill.
  standin_.LoadProfile(Profile(Store("Lean", '3', true,
                                     Folder("Inbox", "IPF.Note", "", "", "inbox"))));
  tree_.reset();
  app_.Reset(standin_.CreateApplication());
  tree_ = std::make_unique<TOutlookFolderTree>();
  tree_->SetIDspApp(om::AsApplication(app_.Get()).Get());
  EXPECT_THROW(tree_->FillTree(), EOleException);
  EXPECT_EQ(Rows(), (std::vector<TRow>{{L"Lean", 1, true}})) << "what was made before stays";
}

}  // namespace
