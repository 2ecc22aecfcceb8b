// The duplicate finder window driven through its handlers over the stand-in
// platform: what it shows after creation, the folder tree and field list,
// the settings checks, whole searches, Stop, closing during a run, and the
// commands of the results list.
#include <windowsx.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <set>
#include <thread>

#include "tests/ui/WindowFixture.h"

using namespace profile;

namespace {

std::string Twice(const std::string& m) { return m + "," + m; }

std::string Mailbox() {
  return Store(
      "Mailbox", '1', true,
      Folder("Inbox", "IPF.Note",
             Twice(Mail("Budget", "ann", "b1")) + "," + Mail("Lunch", "bob", "l1"),
             Folder("Projects", "IPF.Note", Mail("Budget", "ann", "b1")), "inbox") + "," +
          Folder("Sent Items", "IPF.Note", Twice(Mail("Report", "cat", "r1")), "", "sent") + "," +
          Folder("Outbox", "IPF.Note", "", "", "outbox") + "," +
          Folder("Deleted Items", "IPF.Note", Twice(Mail("Lunch", "bob", "l1")), "", "deleted") + "," +
          Folder("Drafts", "IPF.Note", "", "", "drafts") + "," +
          Folder("Junk E-mail", "IPF.Note", "", "", "junk") + "," +
          Folder("RSS Feeds", "IPF.Note", Twice(Mail("Feed", "rss", "f1")), "", "rss") + "," +
          Folder("To-Do List", "IPF.Task", "", "", "todo") + "," +
          Folder("Calendar", "IPF.Appointment", ""));
}

std::string Archive() {
  return Store("Archive", '2', false,
               Folder("Inbox", "IPF.Note",
                      Mail("Budget", "ann", "b1") + "," + Twice(Mail("Trip", "dan", "t1")) + "," +
                          Mail("Trip", "dan", "t1")) + "," +
                   Folder("Deleted Items", "IPF.Note", ""));
}

// The special folders every default store has.
std::string Specials() {
  return Folder("Sent Items", "IPF.Note", "", "", "sent") + "," + Folder("Outbox", "IPF.Note", "", "", "outbox") +
         "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted") + "," +
         Folder("Drafts", "IPF.Note", "", "", "drafts") + "," + Folder("Junk E-mail", "IPF.Note", "", "", "junk") +
         "," + Folder("RSS Feeds", "IPF.Note", "", "", "rss") + "," + Folder("To-Do List", "IPF.Task", "", "", "todo");
}

std::string TwoStores() { return Profile(Mailbox() + "," + Archive()); }

// A profile big enough that a search takes a while: n messages in two
// folders, every third one a copy of the one before, in the same folder.
std::string Busy(int n) {
  std::string a, b;
  for (int i = 0; i < n; ++i) {
    const std::string key = std::to_string(i - (i % 3 == 2));
    const std::string m = Mail("Subject " + key, "eve", "body " + key);
    std::string& into = (i / 3) % 2 ? b : a;
    into += (into.empty() ? "" : ",") + m;
  }
  return Profile(Store("Mailbox", '1', true,
                       Folder("Inbox", "IPF.Note", a, "", "inbox") + "," + Folder("Archive", "IPF.Note", b) +
                           "," + Specials()));
}

std::vector<std::string> Captions(TMainDlg& dlg) {
  std::vector<std::string> captions;
  for (const TNodeData* d : dlg.TreeFolder().Datas())
    captions.emplace_back(d->strCaption.begin(), d->strCaption.end());
  return captions;
}

bool AllEnabled(TMainDlg& dlg, const auto& commands, bool enabled) {
  return std::all_of(commands.begin(), commands.end(),
                     [&](TMenuCommand c) { return dlg.Menus().IsEnabled(c) == enabled; });
}

}  // namespace

TEST_F(WindowTest, CreationShowsTheSettingsAndWritesTheLanguageFile) {
  Open(TwoStores());
  char title[64] = {};
  GetWindowTextA(dlg_->Handle(), title, sizeof title);
  EXPECT_STREQ(title, "Quop Twinsweeps");
  RECT r;
  GetWindowRect(dlg_->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 800);
  EXPECT_EQ(r.bottom - r.top, 600);
  EXPECT_EQ(dlg_->BannerText(), "Click Search button to find duplicate emails");
  EXPECT_EQ(dlg_->SearchCaption(), "&Search");
  EXPECT_FALSE(dlg_->GaugeVisible());
  EXPECT_EQ(dlg_->SettingsPanelHeight(), dlg_->GaugeTop() + dlg_->GaugeHeight());
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
  EXPECT_TRUE(AllEnabled(*dlg_, SelectionCommands, false));
  EXPECT_TRUE(AllEnabled(*dlg_, TreatmentCommands, false));
  EXPECT_FALSE(dlg_->Menus().IsEnabled(cmdSkipped));
  EXPECT_EQ(Button_GetCheck(dlg_->Control("rbtnEachFolder")), BST_CHECKED);
  EXPECT_EQ(Button_GetCheck(dlg_->Control("rbtnAllTime")), BST_CHECKED);
  EXPECT_FALSE(dlg_->DateFieldsEnabled());
  for (int c = 0; c < 5; ++c)
    EXPECT_EQ(dlg_->vstEmails().ColumnCaption(c),
              (std::vector<std::string>{"From", "Folder", "Subject", "Recieved", "Size"})[c]);

  const std::string file = LangFileText();
  for (const char* line : {"[TMainDlg]", "MainDlg_FontName=Tahoma", "mniExit_Caption=&Exit",
                           "mniDelete1_Caption=Delete (Move to deleted Items folder)", "plFolders_Caption=Search &In",
                           "rbtnOverFolders_Caption=Searching &across folders", "btnSearch_Caption=&Search",
                           "strSelFolders=Please select folders for search",
                           "strClickSearch=Click Search button to find duplicate emails",
                           "strProgressCaption=Treating Messages", "[Fields]", "strSenderEmail=Sender E-mail",
                           "strRecieved=Recieved", "mniSkipped_Caption=&Skipped Items...",
                           "strReadSkipped=%d messages read, %d skipped", "strSkippedCaption=Skipped Items",
                           "strSkippedReason=Reason", "strTreatMovedToDeleted=Moved %d of %d to Deleted Items",
                           "strTreatNotMoved=%d could not be moved", "strTreatGrew=grew by %d, %d were put there",
                           "strTreatUnchecked=%d left alone: unchecked meanwhile",
                           // The later features' texts are there before any of them is used.
                           "strKeptBecause=Kept because", "strKeepLargest=Largest",
                           "strPreviewMoveDeleted=Move %d messages from %d folders to Deleted Items",
                           "strPreviewKeep=; keep %d", "strGuardIntro=Every copy of %d group(s) is checked:",
                           "strGuardDeletedIntro=The only unchecked copies of %d group(s) are in Deleted Items, "
                           "which is emptied routinely:",
                           "strPreviewKeptInDeleted=; %d groups left alone (kept only in Deleted Items)",
                           "strUndoConfirm=Put the %d message(s) of the last treatment back into the folders they "
                           "came from?",
                           "strUndoPurged=No store has the message any more", "strSkippedMessage=Message",
                           "strUndoMovedElsewhere=Moved elsewhere since the treatment; left where it is",
                           "strJournalAmbiguous=%d moved message(s) cannot be told apart from copies that arrived "
                           "with them; an undo leaves them where they are",
                           "strCompareKeptApartBy=Kept apart by: %s", "strCompareSame=same",
                           "strNearMissNone=No near misses: dropping any one compared field forms no new group.",
                           "strDelMsg=Are you sure that you want to permanently delete the selected item(s)?",
                           "strSkippedKind=Kind",
                           "strExportDone=%d rows written to %s"})
    EXPECT_NE(file.find(line), std::string::npos) << line;
  // A key two treatments or two features share is in the file once.
  for (const char* key : {"\nstrTreatNotMoved=", "\nstrSkippedMessage="}) {
    const std::size_t first = file.find(key);
    ASSERT_NE(first, std::string::npos) << key;
    EXPECT_EQ(file.find(key, first + 1), std::string::npos) << key;
  }
  EXPECT_EQ(file.find("N1_Caption"), std::string::npos);
  EXPECT_EQ(file.find("N4_Caption"), std::string::npos);
  EXPECT_EQ(file.find("MainDlg_Caption"), std::string::npos);
}

TEST_F(WindowTest, TranslatedTextsComeFromTheLanguageFile) {
  Open(TwoStores());
  CloseWindow();
  // A translator's edit of the file shows at the next opening.
  std::string text = LangFileText();
  const std::string from = "btnSearch_Caption=&Search";
  text.replace(text.find(from), from.size(), "btnSearch_Caption=&Suchen");
  const std::string field = "strMessage=Message";
  text.replace(text.find(field), field.size(), "strMessage=Nachricht");
  // Only "%d" takes a count; a translator's other "%" stays as written.
  const std::string counts = "strReadSkipped=%d messages read, %d skipped";
  ASSERT_NE(text.find(counts), std::string::npos);
  text.replace(text.find(counts), counts.size(), "strReadSkipped=%d gelesen, %d ausgelassen (%s%n)");
  {
    std::ofstream out(dir_ + "\\English.lng", std::ios::binary | std::ios::trunc);
    out << text;
  }
  Reopen();
  EXPECT_EQ(dlg_->SearchCaption(), "&Suchen");
  EXPECT_EQ(dlg_->vstFields().Data(2).strFieldName, "Nachricht");
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(dlg_->StatusText(), "10 gelesen, 0 ausgelassen (%s%n)");
}

// The later features' texts too: a translator's edit shows at the next
// opening, in a message box, a column's caption and a treatment's preview.
TEST_F(WindowTest, TranslatedTextsOfTheLaterFeaturesComeFromTheLanguageFile) {
  Open(TwoStores());
  CloseWindow();
  const struct {
    const char* line;
    const char* translated;
  } edits[] = {
      {"strNearMissSearchFirst=Search first: near misses are measured against the last search.",
       "strNearMissSearchFirst=Erst suchen"},
      {"strNearMissCaption=Near Misses", "strNearMissCaption=Beinahe-Treffer"},
      {"strExportNothing=There are no results to export yet.", "strExportNothing=Nichts zu exportieren"},
      {"strKeptBecause=Kept because", "strKeptBecause=Behalten weil"},
      {"strPreviewMoveDeleted=Move %d messages from %d folders to Deleted Items",
       "strPreviewMoveDeleted=%d Nachrichten aus %d Ordnern verschieben"},
      {"strPreviewKeep=; keep %d", "strPreviewKeep=; %d behalten"},
  };
  std::string text = LangFileText();
  for (const auto& edit : edits) {
    const std::size_t at = text.find(edit.line);
    ASSERT_NE(at, std::string::npos) << edit.line;
    text.replace(at, std::string(edit.line).size(), edit.translated);
  }
  {
    std::ofstream out(dir_ + "\\English.lng", std::ios::binary | std::ios::trunc);
    out << text;
  }
  Reopen();
  EXPECT_EQ(dlg_->vstEmails().ColumnCaption(5), "Behalten weil");
  dlg_->mniNearMissesClick();
  dlg_->mniExportClick();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].text, "Erst suchen");
  EXPECT_EQ(boxes_[0].caption, "Beinahe-Treffer");
  EXPECT_EQ(boxes_[1].text, "Nichts zu exportieren");

  // Searched, the default checks: the preview of a move to Deleted Items,
  // cancelled.
  ASSERT_TRUE(RunSearch());
  boxes_.clear();
  answer_ = IDCANCEL;
  dlg_->mniDeleteClick();
  ASSERT_EQ(boxes_.size(), 1u);
  const std::string preview = boxes_[0].text;
  const std::size_t moved = preview.find(" Nachrichten aus "), kept = preview.find("; "),
                    keptText = preview.find(" behalten");
  EXPECT_NE(moved, std::string::npos) << preview;
  EXPECT_TRUE(kept != std::string::npos && keptText != std::string::npos && moved < kept && kept < keptText)
      << preview;
  EXPECT_EQ(preview.find("Deleted Items"), std::string::npos) << preview;
  EXPECT_EQ(preview.find("keep"), std::string::npos) << preview;
}

TEST_F(WindowTest, FolderTreeListsMailFoldersOfEveryStore) {
  Open(TwoStores());
  EXPECT_EQ(Captions(*dlg_), (std::vector<std::string>{"Mailbox", "Inbox", "Projects", "Sent Items", "Outbox",
                                                       "Deleted Items", "Drafts", "Junk E-mail", "Archive", "Inbox",
                                                       "Deleted Items"}));
  TFolderTreeView& view = dlg_->TreeFolderView();
  EXPECT_EQ(view.ImageCount(), 15);
  const HWND tree = view.Handle();
  // Items carry the model's image and check state; store roots are expanded.
  for (const TNodeData* d : dlg_->TreeFolder().Datas()) {
    const TFolderNode* node = dlg_->TreeFolder().NodeOf(d);
    const HTREEITEM item = view.ItemOf(node);
    ASSERT_NE(item, nullptr);
    TVITEMA tv{};
    tv.mask = TVIF_IMAGE | TVIF_STATE;
    tv.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
    tv.hItem = item;
    ASSERT_TRUE(TreeView_GetItem(tree, &tv));
    EXPECT_EQ(tv.iImage, d->nImageIndex);
    const int state = (tv.state & TVIS_STATEIMAGEMASK) >> 12;
    EXPECT_EQ(state, node->State == TCheckState::csUnchecked ? 1 : node->State == TCheckState::csChecked ? 2 : 3);
    if (!node->Parent) {
      EXPECT_TRUE(tv.state & TVIS_EXPANDED);
    }
  }
  const TFolderNode* mailbox = dlg_->TreeFolder().Roots()[0].get();
  EXPECT_EQ(mailbox->State, TCheckState::csMixed);  // Deleted Items below it is unticked
  EXPECT_TRUE(mailbox->Data.bChecked);

  // A click on the mixed root's box ticks everything below it.
  view.ToggleCheck(dlg_->TreeFolder().Roots()[0].get());
  for (const auto& child : mailbox->Children) EXPECT_EQ(child->State, TCheckState::csChecked);
}

TEST_F(WindowTest, FieldListDefaultsAndItsCommands) {
  Open(TwoStores());
  TFieldListView& fields = dlg_->vstFields();
  ASSERT_EQ(fields.Count(), 12);
  std::vector<std::string> checked;
  for (int row = 0; row < fields.Count(); ++row) {
    EXPECT_EQ(fields.IsChecked(row), fields.Data(row).bSelected);
    EXPECT_EQ(IsBoldField(fields.Data(row).nFieldID), row < 3);
    if (fields.IsChecked(row)) checked.push_back(fields.Data(row).strFieldName);
  }
  EXPECT_EQ(checked, (std::vector<std::string>{"Subject", "Sender E-mail", "Message"}));
  EXPECT_EQ(fields.SelectedMask(), 0x00D);

  dlg_->mniFieldSelectAllClick();
  EXPECT_EQ(fields.SelectedMask(), 0xFFF);
  dlg_->mniSelectDefaultClick();
  EXPECT_EQ(fields.SelectedMask(), 0x00D);
  dlg_->mniFieldInverseSelectionClick();
  EXPECT_EQ(fields.SelectedMask(), 0xFF2);
  dlg_->mniFieldUnselectAllClick();
  EXPECT_EQ(fields.SelectedMask(), 0);
  // A check-box click reaches the row's data through the list's notification.
  ListView_SetCheckState(fields.Handle(), 3, TRUE);
  EXPECT_EQ(fields.SelectedMask(), 0x002);
}

TEST_F(WindowTest, SearchWithoutFolderOrFieldStaysIdle) {
  Open(TwoStores());
  struct TCase {
    const char* name;
    std::function<void(TMainDlg&)> prepare;
    const char* box;
  };
  const TCase cases[] = {
      {"no folder", [](TMainDlg& d) { d.TreeFolder().UnselectAll(); }, "Please select folders for search"},
      {"no field", [](TMainDlg& d) { d.mniFieldUnselectAllClick(); }, "Please select fields for compare"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    dlg_->FormShow();
    boxes_.clear();
    c.prepare(*dlg_);
    dlg_->btnSearchClick();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, c.box);
    EXPECT_EQ(boxes_[0].caption, "Error");
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_EQ(dlg_->BannerText(), "No duplicated emails found yet");
    EXPECT_EQ(dlg_->SearchCaption(), "&Search");
    EXPECT_EQ(dlg_->State(), TSearchState::Idle);
    EXPECT_FALSE(dlg_->GaugeVisible());
  }
}

// A folder tree that cannot be filled (here the store list fails) is
// reported; the window opens without folders or compare fields, so no
// search reads folders the tree never listed.
TEST_F(WindowTest, AFailingFolderTreeLeavesTheFieldListEmpty) {
  Open(TwoStores(), [](failing::Application& app) { app.nameSpace.foldersResult = E_FAIL; });
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "NameSpace.Folders failed: 0x80004005");
  EXPECT_EQ(boxes_[0].caption, "Error");
  EXPECT_EQ(dlg_->vstFields().Count(), 0);
  EXPECT_TRUE(dlg_->TreeFolder().Datas().empty());
  boxes_.clear();
  dlg_->btnSearchClick();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Please select folders for search");
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
}

TEST_F(WindowTest, SearchEachFolderFindsTheGroupsOfTheTickedFolders) {
  Open(TwoStores());
  ASSERT_TRUE(RunSearch());
  // Deleted Items is unticked and RSS Feeds not listed: neither is searched.
  std::vector<std::string> rows = Rows();
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "Budget+ann@example.com ( 2 )", "[ ] Budget", "[x] Budget",
                      "Report+cat@example.com ( 2 )", "[ ] Report", "[x] Report",
                      "Trip+dan@example.com ( 3 )", "[ ] Trip", "[x] Trip", "[x] Trip"}));
  // Inbox 3, Projects 1, Sent Items 2 and the archive's Inbox 4.
  EXPECT_EQ(dlg_->StatusText(), "10 messages read, 0 skipped");
  EXPECT_EQ(dlg_->SearchCaption(), "&Search");
  EXPECT_FALSE(dlg_->GaugeVisible());
  EXPECT_FALSE(dlg_->BannerVisible());
  EXPECT_TRUE(AllEnabled(*dlg_, SelectionCommands, true));
  EXPECT_TRUE(AllEnabled(*dlg_, TreatmentCommands, true));
  EXPECT_EQ(dlg_->SettingsPanelHeight(), dlg_->GaugeTop() + dlg_->GaugeHeight());

  // Message rows show their cells; the group row only its caption.
  const TEmailNode* first = dlg_->Emails().VisibleRows()[1];
  EXPECT_EQ(dlg_->vstEmails().CellText(*first, 0), "ann");
  EXPECT_EQ(dlg_->vstEmails().CellText(*first, 1), "Inbox");
  EXPECT_EQ(dlg_->vstEmails().CellText(*dlg_->Emails().VisibleRows()[0], 1), "");
}

TEST_F(WindowTest, SearchAcrossFoldersGroupsCopiesOfDifferentFolders) {
  Open(TwoStores());
  dlg_->ClickRadio("rbtnOverFolders");
  ASSERT_TRUE(RunSearch());
  const std::vector<std::string> rows = Rows();
  EXPECT_NE(std::find(rows.begin(), rows.end(), "Budget+ann@example.com ( 4 )"), rows.end());
  EXPECT_EQ(dlg_->Emails().GroupCount(), 3u);
}

TEST_F(WindowTest, SearchNothingFound) {
  Open(Profile(Store("Mailbox", '1', true,
                     Folder("Inbox", "IPF.Note", Mail("A", "ann", "1") + "," + Mail("B", "bob", "2"), "", "inbox") +
                         "," + Specials())));
  ASSERT_TRUE(RunSearch());
  EXPECT_TRUE(dlg_->Emails().Roots().empty());
  EXPECT_EQ(dlg_->StatusText(), "2 messages read, 0 skipped");
  EXPECT_EQ(dlg_->BannerText(), "No duplicated emails found yet");
  EXPECT_TRUE(AllEnabled(*dlg_, SelectionCommands, false));
  EXPECT_TRUE(AllEnabled(*dlg_, TreatmentCommands, false));
}

TEST_F(WindowTest, TwoTickedFoldersFillTheGaugeToAQuarterThenHalf) {
  // The store root (mixed, so it takes part) and its Inbox are the two
  // ticked records; the collection reads both.
  Open(Profile(Store("Mailbox", '1', true,
                     Folder("Inbox", "IPF.Note", Twice(Mail("A", "ann", "1")), "", "inbox") + "," +
                         Folder("Deleted Items", "IPF.Note", "", "", "deleted"))));
  std::vector<int> positions;
  dlg_->Gauge().OnChange = [&](int p) { positions.push_back(p); };
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(dlg_->FFoldersCount, 2);
  ASSERT_GE(positions.size(), 2u);
  EXPECT_EQ(positions[0], 25);
  EXPECT_EQ(positions[1], 50);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

TEST_F(WindowTest, StopDuringCollectionLoadsNothing) {
  Open(Busy(3000));
  dlg_->btnSearchClick();
  ASSERT_EQ(dlg_->State(), TSearchState::Collecting);
  EXPECT_EQ(dlg_->SearchCaption(), "&Stop");
  EXPECT_TRUE(dlg_->GaugeVisible());
  EXPECT_EQ(dlg_->SettingsPanelHeight(), dlg_->GaugeTop() - dlg_->GaugeHeight());
  EXPECT_EQ(dlg_->BannerText(), "Searching...");
  EXPECT_TRUE(AllEnabled(*dlg_, SelectionCommands, false));
  dlg_->btnSearchClick();  // Stop
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
  EXPECT_EQ(dlg_->StatusText(), "Ready");
  EXPECT_EQ(dlg_->SearchCaption(), "&Search");
  EXPECT_FALSE(dlg_->GaugeVisible());
  // The collection's late end commits the index and loads nothing.
  dlg_->Session()->WaitForRun();
  PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_TRUE(dlg_->Emails().Roots().empty());
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
  EXPECT_EQ(dlg_->StatusText(), "Ready");
}

TEST_F(WindowTest, StopDuringLoadingKeepsTheRowsLoaded) {
  Open(Busy(3000));
  dlg_->btnSearchClick();
  ASSERT_TRUE(PumpUntil([this] { return dlg_->State() == TSearchState::Loading; }));
  PumpUntil([this] { return !dlg_->Emails().Roots().empty() || dlg_->State() == TSearchState::Idle; });
  dlg_->btnSearchClick();  // Stop
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
  const std::size_t loaded = dlg_->Emails().VisibleRows().size();
  PumpUntil([] { return false; }, std::chrono::milliseconds(500));
  EXPECT_EQ(dlg_->Emails().VisibleRows().size(), loaded) << "rows arrived after Stop";
  EXPECT_LT(dlg_->Emails().GroupCount(), 1000u);
  EXPECT_TRUE(AllEnabled(*dlg_, SelectionCommands, dlg_->Emails().GroupCount() > 0));
  EXPECT_TRUE(AllEnabled(*dlg_, TreatmentCommands, dlg_->Emails().AnyChecked()));
}

// The list control asks the model for each row it shows, so its row count
// must never run ahead of the model's rows; it may lag while batches arrive
// and catches up at once when the search ends or stops.
TEST_F(WindowTest, TheListCountFollowsTheRowsLoaded) {
  Open(Busy(3000));
  const HWND list = dlg_->vstEmails().Handle();
  const auto shown = [&] { return static_cast<std::size_t>(ListView_GetItemCount(list)); };
  std::size_t ahead = 0;
  dlg_->btnSearchClick();
  ASSERT_TRUE(PumpUntil([&] {
    const std::size_t rows = dlg_->Emails().VisibleRows().size();
    if (shown() > rows) ++ahead;
    return dlg_->State() == TSearchState::Idle;
  }));
  EXPECT_EQ(ahead, 0u);
  EXPECT_EQ(shown(), dlg_->Emails().VisibleRows().size());
  EXPECT_EQ(dlg_->Emails().GroupCount(), 1000u);

  // Stop during the load: what was loaded is shown, nothing more comes.
  dlg_->btnSearchClick();
  ASSERT_TRUE(PumpUntil([this] { return dlg_->Emails().VisibleRows().size() > 0; }));
  dlg_->btnSearchClick();  // Stop
  EXPECT_EQ(shown(), dlg_->Emails().VisibleRows().size());
  PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(shown(), dlg_->Emails().VisibleRows().size());
}

// ReloadSoon sets the count within a tenth of a second; a Reload meanwhile
// sets it at once.
TEST_F(WindowTest, ReloadSoonCatchesUpAndReloadIsImmediate) {
  Open(TwoStores());
  ASSERT_TRUE(RunSearch());
  TEmailListView& view = dlg_->vstEmails();
  const auto shown = [&] { return static_cast<std::size_t>(ListView_GetItemCount(view.Handle())); };
  ASSERT_EQ(shown(), 10u);
  dlg_->Emails().CollapseAll();
  view.ReloadSoon();
  EXPECT_TRUE(PumpUntil([&] { return shown() == 3u; }, std::chrono::seconds(2)));

  dlg_->Emails().ExpandAll();
  view.ReloadSoon();
  view.Reload();
  EXPECT_EQ(shown(), 10u);
  dlg_->Emails().CollapseAll();
  // The timer the Reload cancelled sets nothing; only the next Reload does.
  PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(shown(), 10u);
  view.Reload();
  EXPECT_EQ(shown(), 3u);
}

TEST_F(WindowTest, ASearchStartedRightAfterStopIsNotDisturbedByTheStoppedRun) {
  Open(Busy(3000));
  dlg_->btnSearchClick();
  dlg_->btnSearchClick();  // Stop, the collection still running
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(dlg_->Emails().GroupCount(), 1000u);
  EXPECT_EQ(dlg_->StatusText(), "3000 messages read, 0 skipped");
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
}

TEST_F(WindowTest, ClosingDuringARunEndsCleanly) {
  for (const TSearchState when : {TSearchState::Collecting, TSearchState::Loading}) {
    SCOPED_TRACE(when == TSearchState::Collecting ? "collecting" : "loading");
    Open(Busy(3000));
    dlg_->btnSearchClick();
    ASSERT_TRUE(PumpUntil([&] { return dlg_->State() == when; }));
    CloseWindow();
    app_.Reset();
    EXPECT_EQ(standin_.LiveObjects(), 0);
    EXPECT_EQ(standin_.LiveBuffers(), 0);
  }
}

TEST_F(WindowTest, ResultListCommands) {
  Open(TwoStores());
  ASSERT_TRUE(RunSearch());
  TEmailList& rows = dlg_->Emails();
  dlg_->mniInverseSelecionClick();
  EXPECT_EQ(rows.CheckedCount(), 3u);  // the first row of each group
  dlg_->mniEmailClearSelectedClick();
  EXPECT_EQ(rows.CheckedCount(), 0u);
  EXPECT_TRUE(AllEnabled(*dlg_, TreatmentCommands, false));
  dlg_->mniEmailSelectAllDuplicatesClick();
  EXPECT_EQ(rows.CheckedCount(), 4u);
  EXPECT_TRUE(AllEnabled(*dlg_, TreatmentCommands, true));

  dlg_->mniEmailCollapseAllClick();
  EXPECT_EQ(rows.VisibleRows().size(), 3u);
  dlg_->mniEmailExpandAllClick();
  EXPECT_EQ(rows.VisibleRows().size(), 10u);

  // "&View Email" is for message rows; the popup follows the selection.
  TEmailListView& list = dlg_->vstEmails();
  list.Select(rows.VisibleRows()[0]);
  dlg_->pmEmailPopup();
  EXPECT_FALSE(dlg_->Menus().IsEnabled(cmdViewEmail));
  standin_.ClearLog();
  dlg_->mniViewEmailClick();
  auto log = standin_.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), std::string("ShowForm")), 0);
  list.Select(rows.VisibleRows()[2]);
  dlg_->pmEmailPopup();
  EXPECT_TRUE(dlg_->Menus().IsEnabled(cmdViewEmail));
  dlg_->mniViewEmailClick();
  log = standin_.Log();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) { return l.rfind("ShowForm", 0) == 0; }));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(WindowTest, DateButtonsEnableTheDateFieldsOnlyForSpecify) {
  Open(TwoStores());
  dlg_->ClickRadio("rbtnSpecify");
  EXPECT_TRUE(dlg_->DateFieldsEnabled());
  dlg_->ClickRadio("rbtnPastYear");
  EXPECT_FALSE(dlg_->DateFieldsEnabled());
}

// The window and the console scan read the same profile the same way: with
// every folder ticked, the window shows the groups the scan reports.
TEST_F(WindowTest, GroupsMatchTheConsoleScan) {
  const std::string sample = std::string(QUOP_SOURCE_DIR) + "/standin/profiles/sample.json";
  std::ifstream in(sample, std::ios::binary);
  std::stringstream json;
  json << in.rdbuf();
  ASSERT_FALSE(json.str().empty()) << sample;
  standin_.LoadProfile(json.str());

  // The scan: every folder, the default fields, each folder on its own.
  const TGroupSet scanned = ScannedGroups();
  // The index library holds one index per process: the window opens its
  // own once the scan has closed it.
  Open(json.str());
  dlg_->TreeFolder().SelectAll();
  ASSERT_TRUE(RunSearch());
  const TGroupSet shown = ShownGroups(*dlg_);
  EXPECT_EQ(shown.size(), 14u);
  EXPECT_EQ(shown, scanned);
}
