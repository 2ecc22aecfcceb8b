// Keep rules, the guard against treating every copy and the treatment
// preview in the window, over a small profile whose copies differ in
// received time, size, read state and folder: the chain picks the copy left
// unchecked and names its rule, survives a restart, and "Select All
// Duplicates" follows it; a treatment asks before it takes every copy of a
// group, and states its numbers before it starts.
#include <algorithm>
#include <deque>
#include <fstream>
#include <map>

#include "results/KeepRules.h"
#include "tests/ui/ProfileSnapshot.h"
#include "tests/ui/WindowFixture.h"

using namespace profile;

namespace {

// A copy of one of the two messages; the copies' sizes tell them apart
// (the index keeps no field of a copy's own that the search did not compare).
std::string Copy(const std::string& subject, const std::string& received, int size, bool read) {
  return Mail(subject, "ann", subject + " body",
              "\"deliveryTime\": \"" + received + "\", \"submitTime\": \"" + received + "\", \"size\": " +
                  std::to_string(size) + (read ? ", \"flags\": 1" : ""));
}
const std::map<std::int32_t, std::string> kCopyNames = {
    {1000, "A"}, {5000, "B"}, {3000, "C"}, {600, "D"}, {100, "N1"}, {200, "N2"}, {900, "M1"}, {400, "M2"}, {700, "M3"}};
std::string NameOf(const TEmailNode& row) {
  const auto it = kCopyNames.find(row.Data.txMsg.nMsgSize);
  return it == kCopyNames.end() ? "size " + std::to_string(row.Data.txMsg.nMsgSize) : it->second;
}

// Plan: A (Inbox), B (Inbox/Archive: the oldest and largest), C (Inbox: the
// newest, read). Note: N1, N2 (both Inbox; N2 larger, newer and read).
std::string KeepProfile() {
  const std::string inbox = Copy("Plan", "2024-03-01T09:00:00Z", 1000, false) + "," +
                            Copy("Plan", "2024-05-01T09:00:00Z", 3000, true) + "," +
                            Copy("Note", "2024-02-01T09:00:00Z", 100, false) + "," +
                            Copy("Note", "2024-02-02T09:00:00Z", 200, true);
  const std::string archive = Copy("Plan", "2024-01-01T09:00:00Z", 5000, false);
  const std::string mailbox =
      Store("Mailbox", '1', true,
            Folder("Inbox", "IPF.Note", inbox, Folder("Archive", "IPF.Note", archive), "inbox") + "," +
                Folder("Target", "IPF.Note", "") + "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  return Profile(mailbox);
}

results::TKeepChain Chain(const std::string& text) {
  const results::TKeepChainParse parsed = results::ParseKeepChain(text);
  EXPECT_TRUE(parsed.ok) << text << ": " << parsed.error;
  return parsed.chain;
}

class KeepWindowTest : public WindowTest {
 protected:
  // Opens the window on a fresh folder; its message boxes are answered from
  // answers_ in turn (then with answer_).
  void OpenKeeping(const std::string& json = KeepProfile()) { Open(json); }
  // Searches across folders, so that Plan's copy in Archive joins the group.
  void SearchAcross() {
    dlg_->ClickRadio("rbtnOverFolders");
    ASSERT_TRUE(RunSearch());
    ASSERT_EQ(dlg_->Emails().GroupCount(), 2u);
  }

  // Each group by subject: "name=reason" of the kept (unchecked) rows and
  // the name of the checked ones, in list order.
  std::map<std::string, std::vector<std::string>> Groups() const {
    std::map<std::string, std::vector<std::string>> groups;
    for (const auto& root : dlg_->Emails().Roots())
      for (const auto& row : root->Children) {
        std::string cell = NameOf(*row);
        if (!row->Checked) cell += "=" + dlg_->vstEmails().CellText(*row, 5);
        groups[row->Data.txMsg.szSubject].push_back(cell);
      }
    return groups;
  }
  // The kept rows ("name=reason") of each group, and the number of checked rows.
  std::map<std::string, std::string> Kept(std::size_t& checked) const {
    std::map<std::string, std::string> kept;
    checked = 0;
    for (const auto& [subject, rows] : Groups())
      for (const std::string& row : rows) {
        if (row.find('=') == std::string::npos) ++checked;
        else kept[subject] += (kept[subject].empty() ? "" : " ") + row;
      }
    return kept;
  }

  TEmailNode* RowOf(const std::string& name) const {
    for (const auto& root : dlg_->Emails().Roots())
      for (const auto& row : root->Children)
        if (NameOf(*row) == name) return row.get();
    ADD_FAILURE() << "no row " << name;
    return nullptr;
  }

  // Sends a click of a button of the keep section, as the user's would come.
  void Click(const std::string& name) {
    const HWND button = dlg_->Control(name);
    ASSERT_NE(button, nullptr) << name;
    SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  void SelectTreeFolder(const std::vector<std::wstring>& path) {
    const std::vector<std::unique_ptr<TFolderNode>>* level = &dlg_->TreeFolder().Roots();
    const TFolderNode* node = nullptr;
    for (const std::wstring& name : path) {
      const auto it = std::find_if(level->begin(), level->end(),
                                   [&](const auto& n) { return n->Data.strCaption == name; });
      ASSERT_NE(it, level->end());
      node = it->get();
      level = &node->Children;
    }
    TreeView_SelectItem(dlg_->TreeFolderView().Handle(), dlg_->TreeFolderView().ItemOf(node));
  }
};

// The copy each chain keeps in both groups, with the rule that decided it;
// a tie falls through to the next rule, and to the copy added first.
TEST_F(KeepWindowTest, AChainDecidesWhichCopyIsLeftUnchecked) {
  const struct {
    const char* chain;
    std::string plan, note;  // "name=Kept because"
  } cases[] = {
      {"newest", "C=Received last", "N2=Received last"},
      {"largest", "B=Largest", "N2=Largest"},
      {"read", "C=Read / flagged before unread", "N2=Read / flagged before unread"},
      {"oldest,largest", "B=Received first", "N1=Received first"},
      {R"(folder:"Mailbox/Inbox/Archive",largest)", "B=In a preferred folder", "N2=Largest"},
      {R"(folder:"Inbox/Archive")", "B=In a preferred folder", ""},  // Note: the copy added first
      {"attachments,newest", "C=Received last", "N2=Received last"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chain);
    OpenKeeping();
    dlg_->SetKeepChain(Chain(c.chain));
    SearchAcross();
    std::size_t checked = 0;
    const std::map<std::string, std::string> kept = Kept(checked);
    EXPECT_EQ(checked, 3u) << "every other copy checked";
    EXPECT_EQ(kept.at("Plan"), c.plan);
    if (!c.note.empty()) {
      EXPECT_EQ(kept.at("Note"), c.note);
    } else {
      // The rule ranks both Note copies alike: the copy added first is kept.
      const std::vector<std::string> note = Groups().at("Note");
      ASSERT_EQ(note.size(), 2u);
      EXPECT_NE(note[0].find("=Added first"), std::string::npos) << note[0];
    }
    EXPECT_EQ(dlg_->Emails().CheckedCount(), 3u);
    CloseWindow();
  }
}

// The attachment count and the follow-up flag come from where each copy was
// read, not from the compared fields: Memo's M1 is flagged and the largest,
// M2 has two attachments, M3 neither.
TEST_F(KeepWindowTest, AttachmentsAndFlagsRankTheCopies) {
  const std::string attachments =
      "\"attachments\": [{\"displayName\": \"a.txt\", \"fileName\": \"A.TXT\", \"size\": 10}, "
      "{\"displayName\": \"b.txt\", \"fileName\": \"B.TXT\", \"size\": 20}]";
  const std::string memo = Mail("Memo", "eve", "Memo body", "\"size\": 700") + "," +
                           Mail("Memo", "eve", "Memo body", "\"size\": 900, \"flagStatus\": 2") + "," +
                           Mail("Memo", "eve", "Memo body", "\"size\": 400, " + attachments);
  const std::string json = Profile(Store("Mailbox", '1', true, Folder("Inbox", "IPF.Note", memo, "", "inbox")));
  const struct {
    const char* chain;
    std::string kept;
  } cases[] = {
      {"attachments", "M2=With most attachments"},
      {"read", "M1=Read / flagged before unread"},
      {"attachments,largest", "M2=With most attachments"},
      {"read,attachments", "M1=Read / flagged before unread"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chain);
    OpenKeeping(json);
    dlg_->SetKeepChain(Chain(c.chain));
    ASSERT_TRUE(RunSearch());
    std::size_t checked = 0;
    EXPECT_EQ(Kept(checked), (std::map<std::string, std::string>{{"Memo", c.kept}}));
    EXPECT_EQ(checked, 2u);
    CloseWindow();
  }
}

// The default chain keeps today's proposal: the first row of each group,
// named "Received first"; the other rows as before.
TEST_F(KeepWindowTest, TheDefaultChainKeepsTheFirstRowOfEachGroup) {
  OpenKeeping();
  EXPECT_EQ(dlg_->KeepChain(), results::DefaultKeepChain());
  SearchAcross();
  for (const auto& root : dlg_->Emails().Roots())
    for (std::size_t r = 0; r < root->Children.size(); ++r) {
      const TEmailNode& row = *root->Children[r];
      EXPECT_EQ(row.Checked, r != 0);
      EXPECT_EQ(row.Data.bChecked, r != 0);
      EXPECT_EQ(dlg_->vstEmails().CellText(row, 5), r == 0 ? "Received first" : "");
    }
  EXPECT_EQ(dlg_->vstEmails().ColumnCaption(5), "Kept because");
  EXPECT_NE(LangFileText().find("strKeptBecause=Kept because"), std::string::npos);
}

// "Select All Duplicates" after the chain changed proposes what the new
// chain keeps; a row treated meanwhile is not a candidate any more.
TEST_F(KeepWindowTest, SelectAllDuplicatesFollowsTheChain) {
  OpenKeeping();
  SearchAcross();
  dlg_->mniEmailClearSelectedClick();
  EXPECT_EQ(dlg_->Emails().CheckedCount(), 0u);
  dlg_->SetKeepChain(Chain("largest"));
  dlg_->mniEmailSelectAllDuplicatesClick();
  std::size_t checked = 0;
  EXPECT_EQ(Kept(checked), (std::map<std::string, std::string>{{"Plan", "B=Largest"}, {"Note", "N2=Largest"}}));
  EXPECT_EQ(checked, 3u);
  EXPECT_TRUE(dlg_->Menus().IsEnabled(cmdDelete));

  // B checked by hand and treated (struck out, as a treatment leaves it):
  // Select All keeps the largest of the rest.
  TEmailNode* b = RowOf("B");
  ASSERT_NE(b, nullptr);
  dlg_->Emails().SetChecked(b, true);
  b->Data.bDeleted = true;
  b->HasCheckBox = false;
  dlg_->mniEmailSelectAllDuplicatesClick();
  EXPECT_EQ(Kept(checked).at("Plan"), "C=Largest");
  EXPECT_EQ(dlg_->vstEmails().CellText(*b, 5), "");
}

// The chain edited in the section: rules checked and moved, folders added
// from the tree, moved and removed; it is stored in the language file and
// shown again after a restart. A stored text that does not read is named,
// and the default used.
TEST_F(KeepWindowTest, TheChainSurvivesARestart) {
  OpenKeeping();
  dlg_->ExpandKeepPanel();
  ASSERT_NE(dlg_->KeepPanelHandle(), nullptr);
  EXPECT_TRUE(IsWindowVisible(dlg_->KeepPanel().RuleList()));
  TKeepPanel& panel = dlg_->KeepPanel();
  using results::EKeepRule;
  const std::vector<EKeepRule> order = panel.RuleOrder();
  const auto rowOf = [&](EKeepRule rule) {
    const auto o = panel.RuleOrder();
    return static_cast<int>(std::find(o.begin(), o.end(), rule) - o.begin());
  };
  ASSERT_EQ(order.size(), 6u);
  // Largest first, then the preferred folders, then Received first; the
  // checks set on the list control, as a click sets them.
  EXPECT_EQ(dlg_->KeepChain(), results::DefaultKeepChain());
  ListView_SetCheckState(panel.RuleList(), rowOf(EKeepRule::Largest), TRUE);
  EXPECT_EQ(dlg_->KeepChain(), Chain("oldest,largest"));
  ListView_SetCheckState(panel.RuleList(), rowOf(EKeepRule::PreferredFolder), TRUE);
  panel.SelectRule(rowOf(EKeepRule::Largest));
  Click("btnKeepUp");
  Click("btnKeepUp");
  panel.SelectRule(rowOf(EKeepRule::PreferredFolder));
  for (int i = 0; i < 5; ++i) Click("btnKeepUp");  // past the top: stays first
  Click("btnKeepDown");
  SelectTreeFolder({L"Mailbox", L"Inbox"});
  Click("btnKeepAdd");
  SelectTreeFolder({L"Mailbox", L"Inbox", L"Archive"});
  Click("btnKeepAdd");
  Click("btnKeepAdd");  // once only
  Click("btnKeepFolderUp");
  SelectTreeFolder({L"Mailbox", L"Target"});
  Click("btnKeepAdd");
  Click("btnKeepRemove");
  const results::TKeepChain expected = {{EKeepRule::Largest, {}},
                                        {EKeepRule::PreferredFolder, {"Mailbox/Inbox/Archive", "Mailbox/Inbox"}},
                                        {EKeepRule::ReceivedFirst, {}}};
  EXPECT_EQ(dlg_->KeepChain(), expected) << results::FormatKeepChain(dlg_->KeepChain());

  Reopen();
  EXPECT_EQ(dlg_->KeepChain(), expected) << results::FormatKeepChain(dlg_->KeepChain());
  EXPECT_EQ(dlg_->KeepPanel().Folders(), (std::vector<std::string>{"Mailbox/Inbox/Archive", "Mailbox/Inbox"}));
  EXPECT_NE(LangFileText().find("KeepChain=" + results::FormatKeepChain(expected)), std::string::npos);
  EXPECT_TRUE(boxes_.empty());
  // Every caption of the section is in the language file.
  for (const char* line : {"plKeep_Caption=Copy to &keep", "btnKeepAdd_Caption=A&dd", "btnKeepUp_Caption=&Up",
                           "lblKeepFolders_Caption=Preferred folders:", "strKeepLargest=Largest"})
    EXPECT_NE(LangFileText().find(line), std::string::npos) << line;

  // The chain applies to the next search.
  SearchAcross();
  std::size_t checked = 0;
  EXPECT_EQ(Kept(checked), (std::map<std::string, std::string>{{"Plan", "B=Largest"}, {"Note", "N2=Largest"}}));

  // A text that does not read: named once, the default shown and used.
  CloseWindow();
  std::string text = LangFileText();
  const std::string stored = "KeepChain=" + results::FormatKeepChain(expected);
  text.replace(text.find(stored), stored.size(), "KeepChain=biggest");
  {
    std::ofstream out(dir_ + "\\English.lng", std::ios::binary | std::ios::trunc);
    out << text;
  }
  Reopen();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find("\"biggest\""), std::string::npos) << boxes_[0].text;
  EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
  EXPECT_EQ(dlg_->KeepChain(), results::DefaultKeepChain());
}

// Every copy of Plan checked: a move or delete asks first, listing the
// group; No leaves it alone and treats the rest, Yes treats it too, Cancel
// treats nothing; a copy never asks. The preview counts what is treated.
TEST_F(KeepWindowTest, AGroupLosingEveryCopyIsTreatedOnlyWhenConfirmed) {
  const struct {
    const char* name;
    void (TMainDlg::*command)();
    std::deque<int> answers;
    bool guardShown;
    std::vector<std::string> treated;  // by name
    std::string preview;               // "" when no preview comes
  } cases[] = {
      {"No", &TMainDlg::mniDeleteClick, {IDNO, IDOK}, true, {"N2"},
       "Move 1 messages from 1 folders to Deleted Items; keep 1; 1 groups left alone (every copy checked)"},
      {"Yes", &TMainDlg::mniDeleteClick, {IDYES, IDOK}, true, {"A", "B", "C", "N2"},
       "Move 4 messages from 2 folders to Deleted Items; keep 1"},
      {"Cancel", &TMainDlg::mniDeleteClick, {IDCANCEL}, true, {}, ""},
      {"the preview cancelled", &TMainDlg::mniDeleteClick, {IDNO, IDCANCEL}, true, {}, ""},
      {"No, delete permanently", &TMainDlg::mniDeletePermanentlyClick, {IDNO, IDYES}, true, {"N2"},
       "Delete 1 messages from 1 folders permanently; keep 1; 1 groups left alone (every copy checked). This "
       "cannot be undone.\n\nAre you sure that you want to permanently delete the selected item(s)?"},
      {"No, move to a folder", &TMainDlg::mniMovetoFolderClick, {IDNO, IDOK}, true, {"N2"},
       "Move 1 messages from 1 folders to Target; keep 1; 1 groups left alone (every copy checked)"},
      {"copy", &TMainDlg::mniCopytoFolderClick, {IDOK}, false, {"A", "B", "C", "N2"},
       "Copy 4 messages from 2 folders to Target; keep 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenKeeping();
    SearchAcross();
    // Plan all checked; Note: N2 checked, N1 kept.
    for (const char* name : {"A", "B", "C", "N2"}) dlg_->Emails().SetChecked(RowOf(name), true);
    dlg_->Emails().SetChecked(RowOf("N1"), false);
    const TProfileSnapshot before = TProfileSnapshot::Take(standin_);
    standin_.ScriptPickFolder(before.FolderEntryID("Mailbox/Target"));
    boxes_.clear();
    answers_ = c.answers;
    (dlg_.get()->*c.command)();

    std::size_t box = 0;
    if (c.guardShown) {
      ASSERT_GT(boxes_.size(), box);
      EXPECT_EQ(boxes_[box].text.find("Every copy of 1 group(s) is checked:\n    Plan+ann@example.com"), 0u)
          << boxes_[box].text;
      EXPECT_NE(boxes_[box].text.find("No: leave these groups alone"), std::string::npos);
      EXPECT_EQ(boxes_[box].type, static_cast<UINT>(MB_ICONWARNING | MB_YESNOCANCEL));
      ++box;
    }
    if (!c.preview.empty()) {
      ASSERT_GT(boxes_.size(), box);
      EXPECT_EQ(boxes_[box].text, c.preview);
      ++box;
    }
    if (c.answers.size() > box) ++box;  // a preview answered Cancel
    EXPECT_EQ(boxes_.size(), box);
    std::vector<std::string> treated;
    for (const char* name : {"A", "B", "C", "N1", "N2"})
      if (RowOf(name)->Data.bDeleted) treated.push_back(name);
    EXPECT_EQ(treated, c.treated);
    const TProfileSnapshot after = TProfileSnapshot::Take(standin_);
    const bool copied = c.command == &TMainDlg::mniCopytoFolderClick;
    EXPECT_EQ(after.MessageCount(), before.MessageCount() + (copied ? c.treated.size() : 0) -
                                        (c.command == &TMainDlg::mniDeletePermanentlyClick ? c.treated.size() : 0));
    CloseWindow();
  }
}

// Plan: A and C (Inbox), D (Deleted Items). Note: N1, N2 (Inbox).
std::string DeletedItemsProfile() {
  const std::string inbox = Copy("Plan", "2024-03-01T09:00:00Z", 1000, false) + "," +
                            Copy("Plan", "2024-05-01T09:00:00Z", 3000, true) + "," +
                            Copy("Note", "2024-02-01T09:00:00Z", 100, false) + "," +
                            Copy("Note", "2024-02-02T09:00:00Z", 200, true);
  const std::string deleted = Copy("Plan", "2024-01-01T09:00:00Z", 600, false);
  return Profile(Store("Mailbox", '1', true,
                       Folder("Inbox", "IPF.Note", inbox, "", "inbox") + "," + Folder("Target", "IPF.Note", "") +
                           "," + Folder("Deleted Items", "IPF.Note", deleted, "", "deleted")));
}

// Plan's only unchecked copy is in Deleted Items: a permanent delete, or a
// move to Deleted Items, asks first, naming that case; No leaves Plan alone
// (its copy in Deleted Items too), Yes treats it, Cancel treats nothing. A
// move to another folder leaves the copies where they can be found: no question.
TEST_F(KeepWindowTest, AGroupKeptOnlyInDeletedItemsIsTreatedOnlyWhenConfirmed) {
  const char kIntro[] =
      "The only unchecked copies of 1 group(s) are in Deleted Items, which is emptied routinely:\n"
      "    Plan+ann@example.com";
  const char kSure[] = ". This cannot be undone.\n\nAre you sure that you want to permanently delete the selected item(s)?";
  const struct {
    const char* name;
    void (TMainDlg::*command)();
    std::deque<int> answers;
    bool guardShown;
    std::vector<std::string> treated;  // by name
    std::string preview;               // "" when no preview comes
  } cases[] = {
      {"No, delete permanently", &TMainDlg::mniDeletePermanentlyClick, {IDNO, IDYES}, true, {"N2"},
       std::string("Delete 1 messages from 1 folders permanently; keep 1; 1 groups left alone (kept only in "
                   "Deleted Items)") + kSure},
      {"Yes, delete permanently", &TMainDlg::mniDeletePermanentlyClick, {IDYES, IDYES}, true, {"A", "C", "N2"},
       std::string("Delete 3 messages from 1 folders permanently; keep 2") + kSure},
      {"Cancel", &TMainDlg::mniDeletePermanentlyClick, {IDCANCEL}, true, {}, ""},
      {"No, move to Deleted Items", &TMainDlg::mniDeleteClick, {IDNO, IDOK}, true, {"N2"},
       "Move 1 messages from 1 folders to Deleted Items; keep 1; 1 groups left alone (kept only in Deleted Items)"},
      {"move to a folder", &TMainDlg::mniMovetoFolderClick, {IDOK}, false, {"A", "C", "N2"},
       "Move 3 messages from 1 folders to Target; keep 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenKeeping(DeletedItemsProfile());
    for (const auto& store : dlg_->TreeFolder().Roots())
      for (const auto& folder : store->Children)
        if (folder->Data.strCaption == L"Deleted Items") dlg_->TreeFolder().SetChecked(folder.get(), true);
    SearchAcross();
    for (const char* name : {"A", "C", "N2"}) dlg_->Emails().SetChecked(RowOf(name), true);
    for (const char* name : {"D", "N1"}) dlg_->Emails().SetChecked(RowOf(name), false);
    const TProfileSnapshot before = TProfileSnapshot::Take(standin_);
    ASSERT_EQ(before.PathOf(RowOf("D")->Data.txMsg.szEntryID), "Mailbox/Deleted Items");
    standin_.ScriptPickFolder(before.FolderEntryID("Mailbox/Target"));
    boxes_.clear();
    answers_ = c.answers;
    (dlg_.get()->*c.command)();

    std::size_t box = 0;
    if (c.guardShown) {
      ASSERT_GT(boxes_.size(), box);
      EXPECT_EQ(boxes_[box].text.find(kIntro), 0u) << boxes_[box].text;
      EXPECT_EQ(boxes_[box].text.find("Every copy of"), std::string::npos) << boxes_[box].text;
      EXPECT_NE(boxes_[box].text.find("No: leave these groups alone"), std::string::npos);
      EXPECT_EQ(boxes_[box].type, static_cast<UINT>(MB_ICONWARNING | MB_YESNOCANCEL));
      ++box;
    }
    if (!c.preview.empty()) {
      ASSERT_GT(boxes_.size(), box);
      EXPECT_EQ(boxes_[box].text, c.preview);
      ++box;
    }
    EXPECT_EQ(boxes_.size(), box);
    const TProfileSnapshot after = TProfileSnapshot::Take(standin_);
    for (const char* name : {"A", "C", "D", "N1", "N2"}) {
      const std::string id = RowOf(name)->Data.txMsg.szEntryID;
      const bool treated = std::find(c.treated.begin(), c.treated.end(), name) != c.treated.end();
      EXPECT_EQ(RowOf(name)->Data.bDeleted, treated) << name;
      if (!treated) {
        EXPECT_EQ(after.PathOf(id), before.PathOf(id)) << name << " was touched";
      }
    }
    CloseWindow();
  }
}

// The store's Deleted Items cannot be read: its unchecked copies are not
// known to be elsewhere, so each group is guarded, and the question says why.
TEST_F(KeepWindowTest, DeletedItemsThatCannotBeReadGuardTheStoresCopies) {
  OpenKeeping(DeletedItemsProfile());
  for (const auto& store : dlg_->TreeFolder().Roots())
    for (const auto& folder : store->Children)
      if (folder->Data.strCaption == L"Deleted Items") dlg_->TreeFolder().SetChecked(folder.get(), true);
  SearchAcross();
  for (const char* name : {"A", "C", "N2"}) dlg_->Emails().SetChecked(RowOf(name), true);
  for (const char* name : {"D", "N1"}) dlg_->Emails().SetChecked(RowOf(name), false);
  const TProfileSnapshot before = TProfileSnapshot::Take(standin_);
  standin_.AddFault("GetProps", "Mailbox", MAPI_E_NO_ACCESS, PR_IPM_WASTEBASKET_ENTRYID);
  answers_ = {IDNO};
  dlg_->mniDeletePermanentlyClick();
  standin_.ClearFaults();

  ASSERT_EQ(boxes_.size(), 2u);
  const std::string& text = boxes_[0].text;
  EXPECT_EQ(text.find("The only unchecked copies of 2 group(s) are in Deleted Items"), 0u) << text;
  EXPECT_NE(text.find("Whether 2 unchecked copies are in Deleted Items is not known; they count as if they were.\n"
                      "Could not read Deleted Items of:\n    Mailbox: Could not get EntryID for folder!"),
            std::string::npos)
      << text;
  EXPECT_EQ(boxes_[1].text.find("Delete 0 messages from 0 folders permanently; keep 0; 2 groups left alone"), 0u)
      << boxes_[1].text;
  EXPECT_TRUE(SameMessages(before, TProfileSnapshot::Take(standin_), before));
}

// "Inverse Selection" after "Clear Selected" checks every copy of every
// group: a move then treats nothing unless the user says so.
TEST_F(KeepWindowTest, InverseSelectionNeverTakesEveryCopySilently) {
  OpenKeeping();
  SearchAcross();
  dlg_->mniEmailClearSelectedClick();
  dlg_->mniInverseSelecionClick();
  ASSERT_EQ(dlg_->Emails().CheckedCount(), 5u);
  answers_ = {IDNO, IDOK};
  dlg_->mniDeleteClick();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].text.find("Every copy of 2 group(s) is checked:"), 0u) << boxes_[0].text;
  EXPECT_EQ(boxes_[1].text, "Move 0 messages from 0 folders to Deleted Items; keep 0; 2 groups left alone "
                            "(every copy checked)");
  for (const auto& root : dlg_->Emails().Roots())
    for (const auto& row : root->Children) EXPECT_FALSE(row->Data.bDeleted) << NameOf(*row);
}

// Twelve groups losing every copy: the first ten are named, the rest counted.
TEST_F(KeepWindowTest, TheGuardNamesTenGroupsAndCountsTheRest) {
  std::string mails;
  for (int g = 1; g <= 12; ++g)
    for (int copy = 0; copy < 2; ++copy)
      mails += (mails.empty() ? "" : ",") + Mail("Subject " + std::to_string(g), "bob", "body");
  OpenKeeping(Profile(Store("Mailbox", '1', true, Folder("Inbox", "IPF.Note", mails, "", "inbox"))));
  ASSERT_TRUE(RunSearch());
  ASSERT_EQ(dlg_->Emails().GroupCount(), 12u);
  dlg_->mniEmailClearSelectedClick();
  dlg_->mniInverseSelecionClick();
  answers_ = {IDCANCEL};
  dlg_->mniDeletePermanentlyClick();
  ASSERT_EQ(boxes_.size(), 1u);
  const std::string& text = boxes_[0].text;
  EXPECT_EQ(text.find("Every copy of 12 group(s) is checked:"), 0u) << text;
  std::size_t named = 0;
  for (std::size_t at = text.find("\n    Subject "); at != std::string::npos; at = text.find("\n    Subject ", at + 1))
    ++named;
  EXPECT_EQ(named, 10u) << text;
  EXPECT_NE(text.find("( 2 )\n    and 2 more\n\n"), std::string::npos) << text;
  for (const auto& root : dlg_->Emails().Roots())
    for (const auto& row : root->Children) EXPECT_FALSE(row->Data.bDeleted) << "Cancel treats nothing";
}

// The preview's numbers: the checked copies, their distinct folders, and the
// copies kept, grouped in thousands.
TEST_F(KeepWindowTest, ThePreviewCountsMessagesFoldersAndKeptCopies) {
  OpenKeeping();
  dlg_->SetKeepChain(Chain("newest"));
  SearchAcross();
  // Plan keeps C: A (Inbox) and B (Inbox/Archive) go; Note keeps N2: N1 (Inbox) goes.
  answer_ = IDCANCEL;
  boxes_.clear();
  dlg_->mniDeleteClick();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Move 3 messages from 2 folders to Deleted Items; keep 2");
  EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_ICONQUESTION | MB_OKCANCEL));
  for (const auto& root : dlg_->Emails().Roots())
    for (const auto& row : root->Children) EXPECT_FALSE(row->Data.bDeleted) << "Cancel treats nothing";
}

}  // namespace
