// The journal and "&Undo last treatment" across a restart of the window: a
// treatment, the window closed, a new window on the same data folder, and
// the undo puts the profile back as it was before the treatment. A run cut
// short by a crash is offered at start-up; "No" leaves it, and it is offered
// again at the next start until it is undone.
#include <filesystem>

#include "tests/mapi/CrashingJournal.h"
#include "tests/ui/ProfileSnapshot.h"
#include "tests/ui/WindowFixture.h"

using namespace profile;

namespace {

// n copies of one message, each with a Cc of its own (not a compared field).
std::string Copies(int n, const std::string& subject) {
  std::string all;
  for (int i = 1; i <= n; ++i)
    all += (all.empty() ? "" : ",") +
           Mail(subject, "ann", subject + " body", "\"cc\": \"" + subject + " copy " + std::to_string(i) + "\"");
  return all;
}

// After a search, each folder on its own: the later copies of Budget
// (Inbox) and Report (Projects) are checked, two lists for an undo.
std::string UndoProfile() {
  return Profile(Store("Mailbox", '1', true,
                       Folder("Inbox", "IPF.Note", Copies(3, "Budget") + "," + Copies(1, "Lunch"), "", "inbox") + "," +
                           Folder("Projects", "IPF.Note", Copies(3, "Report")) + "," +
                           Folder("Target", "IPF.Note", "") + "," +
                           Folder("Deleted Items", "IPF.Note", "", "", "deleted")));
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class UndoWindowTest : public WindowTest {
 protected:
  // Opens the window on the profile and searches; `before_` is the profile then.
  void OpenSearched() {
    Open(UndoProfile());
    ASSERT_TRUE(RunSearch());
    ASSERT_TRUE(boxes_.empty());
    checked_.clear();
    for (const auto& root : dlg_->Emails().Roots())
      for (const auto& row : root->Children)
        if (row->Checked) checked_.emplace_back(row->Data.txMsg.szEntryID);
    ASSERT_EQ(checked_.size(), 4u);
    before_ = TProfileSnapshot::Take(standin_);
  }

  // Closes the window and opens a new one on the same data folder and the
  // profile as it is, answering its message boxes with `answer`.
  void Restart(int answer) {
    CloseWindow();
    boxes_.clear();
    answer_ = answer;
    Reopen();
  }

  // Runs a treatment command on the checked rows, every box answered Yes.
  void Treat(void (TMainDlg::*command)(), bool toTarget = false) {
    if (toTarget) standin_.ScriptPickFolder(before_.FolderEntryID("Mailbox/Target"));
    answer_ = IDYES;
    (dlg_.get()->*command)();
    boxes_.clear();
  }

  bool UndoEnabled() { return dlg_->Menus().IsEnabled(cmdUndo); }

  // The profile is as it was before the treatment; `treated` is the profile
  // right after it, whose moved messages the undo gave new identifiers.
  // A message put back is a copy: it has a new identifier and carries the
  // search key it was served with.
  void ExpectBackAsBefore(const TProfileSnapshot& treated) {
    TProfileSnapshot expected = before_;
    for (const std::string& id : checked_)
      if (treated.PathOf(id).empty()) expected.Put(before_.PathOf(id), expected.Take(id));
    EXPECT_TRUE(SameMessages(expected, TProfileSnapshot::Take(standin_), treated));
  }

  TProfileSnapshot before_{nlohmann::json::object()};
  std::vector<std::string> checked_;  // entry ids of the checked rows after the search
};

TEST_F(UndoWindowTest, ASoftDeleteOrMoveIsUndoneAfterARestart) {
  struct TCase {
    const char* name;
    void (TMainDlg::*command)();
    bool toTarget;
  };
  for (const TCase& c : {TCase{"soft delete", &TMainDlg::mniDeleteClick, false},
                         TCase{"move", &TMainDlg::mniMovetoFolderClick, true}}) {
    SCOPED_TRACE(c.name);
    OpenSearched();
    EXPECT_FALSE(UndoEnabled());
    Treat(c.command, c.toTarget);
    const TProfileSnapshot treated = TProfileSnapshot::Take(standin_);
    EXPECT_FALSE(SameMessages(before_, treated, before_));
    EXPECT_TRUE(UndoEnabled());
    EXPECT_TRUE(dlg_->BannerVisible());
    EXPECT_TRUE(Has(dlg_->BannerText(), "Undo last treatment")) << dlg_->BannerText();

    Restart(IDYES);
    EXPECT_TRUE(boxes_.empty()) << "a finished run is not offered at start-up";
    EXPECT_TRUE(UndoEnabled());
    dlg_->mniUndoClick();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(Has(boxes_[0].text, "Put the 4 message(s)")) << boxes_[0].text;
    ExpectBackAsBefore(treated);
    EXPECT_TRUE(Has(dlg_->StatusText(), "Restored 4 of 4")) << dlg_->StatusText();
    EXPECT_TRUE(Has(dlg_->StatusText(), "search again")) << dlg_->StatusText();
    EXPECT_EQ(dlg_->TreatReportWindow(), nullptr);
    EXPECT_FALSE(UndoEnabled());

    Restart(IDYES);
    EXPECT_FALSE(UndoEnabled()) << "the journal says the run was undone";
    EXPECT_TRUE(boxes_.empty());
    CloseWindow();
  }
}

// A message emptied from Deleted Items between the treatment and the undo
// (after a restart) is named in the report; every other one goes back.
TEST_F(UndoWindowTest, APurgeBetweenIsReportedAndNothingElseIsLost) {
  OpenSearched();
  Treat(&TMainDlg::mniDeleteClick);
  const TProfileSnapshot treated = TProfileSnapshot::Take(standin_);
  const std::optional<TJournalRun> run = LastJournalRun(dir_);
  ASSERT_TRUE(run);
  const std::vector<TUndoItem> journalled = UndoItemsOf(*run);
  ASSERT_EQ(journalled.size(), 4u);
  const TUndoItem& purged = journalled.back();
  {
    TsxMAPI_Session other;
    other.Logon();
    ASSERT_NO_THROW(other.DelMsg(purged.entryIDAfter, false));
  }
  Restart(IDYES);
  dlg_->mniUndoClick();
  EXPECT_TRUE(Has(dlg_->StatusText(), "Restored 3 of 4")) << dlg_->StatusText();
  const TReportWindow* report = dlg_->TreatReportWindow();
  ASSERT_NE(report, nullptr);
  ASSERT_EQ(report->RowCount(), 1);
  EXPECT_EQ(report->ListText(0, 2), L"No store has the message any more");

  TProfileSnapshot expected = before_;
  for (const std::string& id : checked_) {
    nlohmann::json message = expected.Take(id);
    if (id != purged.entryIDBefore) expected.Put(before_.PathOf(id), message);
  }
  EXPECT_TRUE(SameMessages(expected, TProfileSnapshot::Take(standin_), treated));
  EXPECT_FALSE(UndoEnabled());
}

// "No" to the confirmation changes nothing and leaves the command on.
TEST_F(UndoWindowTest, AnUndoNotConfirmedChangesNothing) {
  OpenSearched();
  Treat(&TMainDlg::mniDeleteClick);
  const TProfileSnapshot treated = TProfileSnapshot::Take(standin_);
  answer_ = IDNO;
  dlg_->mniUndoClick();
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_TRUE(SameMessages(treated, TProfileSnapshot::Take(standin_), treated));
  EXPECT_TRUE(UndoEnabled());
}

// The last run decides: after a permanent delete or a copy the command is
// off, though the run before could have been undone.
TEST_F(UndoWindowTest, APermanentDeleteOrACopyCannotBeUndone) {
  for (const auto& [name, command, toTarget] :
       {std::tuple{"delete permanently", &TMainDlg::mniDeletePermanentlyClick, false},
        std::tuple{"copy", &TMainDlg::mniCopytoFolderClick, true}}) {
    SCOPED_TRACE(name);
    OpenSearched();
    {
      // An earlier soft delete of a message long gone, never undone.
      TTreatmentJournal earlier(dir_, TJournalCommand::SoftDelete, "");
      ASSERT_TRUE(earlier.Planned({{"00", "Mailbox", "01", "02", "", {}}}));
      ASSERT_TRUE(earlier.Done({}) && earlier.End());
    }
    Restart(IDOK);
    ASSERT_TRUE(RunSearch());
    EXPECT_TRUE(UndoEnabled());
    Treat(command, toTarget);
    EXPECT_FALSE(SameMessages(before_, TProfileSnapshot::Take(standin_), before_));
    EXPECT_FALSE(UndoEnabled());
    EXPECT_FALSE(Has(dlg_->BannerText(), "Undo last treatment")) << dlg_->BannerText();
    const std::optional<TJournalRun> last = LastJournalRun(dir_);
    ASSERT_TRUE(last);
    EXPECT_TRUE(last->Finished());
    EXPECT_EQ(MessageCountOf(*last), 4u) << "journalled all the same";
    CloseWindow();
  }
}

// A run cut short (the process died after its first list) is offered at
// every start until it is undone; "No" leaves the profile as it is.
TEST_F(UndoWindowTest, ARunCutShortIsOfferedAtEveryStartUntilUndone) {
  OpenSearched();
  {
    std::vector<TBatchItem> items;
    for (const auto& root : dlg_->Emails().Roots())
      for (const auto& row : root->Children)
        if (row->Checked) items.emplace_back().entryID = row->Data.txMsg.szEntryID;
    TTreatmentJournal journal(dir_, TJournalCommand::SoftDelete, "");
    TCrashingJournal crashing(journal);
    TsxMAPI_Session session;
    session.Logon();
    TBatchTreatment batch(session, TBatchAction::MoveToDeletedItems);
    batch.SetJournal(&crashing);
    batch.Locate(items);
    batch.Treat(items);
    // Budget's list went to the store; Report's could not be journalled.
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const TBatchItem& i) { return i.done; }), 2);
  }
  const TProfileSnapshot treated = TProfileSnapshot::Take(standin_);
  for (int start = 0; start < 2; ++start) {
    Restart(IDNO);
    ASSERT_EQ(boxes_.size(), 1u) << "start " << start;
    EXPECT_TRUE(Has(boxes_[0].text, "cut short")) << boxes_[0].text;
    EXPECT_TRUE(Has(boxes_[0].text, "2 message(s)")) << boxes_[0].text;
    EXPECT_TRUE(SameMessages(treated, TProfileSnapshot::Take(standin_), treated));
    EXPECT_TRUE(UndoEnabled());
  }
  Restart(IDYES);
  EXPECT_EQ(boxes_.size(), 1u);
  ExpectBackAsBefore(treated);
  EXPECT_TRUE(Has(dlg_->StatusText(), "Restored 2 of 2")) << dlg_->StatusText();
  Restart(IDYES);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_FALSE(UndoEnabled());
}

// Cancel after the first list: that list is back, the rest is listed as
// stopped and stays undoable; the next undo puts it back.
TEST_F(UndoWindowTest, ACancelledUndoLeavesTheRestToUndoLater) {
  OpenSearched();
  Treat(&TMainDlg::mniDeleteClick);
  const TProfileSnapshot treated = TProfileSnapshot::Take(standin_);
  dlg_->dlgProgress().OnPosition = [this](int position) {
    if (position > 0) dlg_->dlgProgressCancel();
  };
  answer_ = IDYES;
  dlg_->mniUndoClick();
  EXPECT_TRUE(Has(dlg_->StatusText(), "Restored 2 of 4; stopped before 2")) << dlg_->StatusText();
  const TReportWindow* report = dlg_->TreatReportWindow();
  ASSERT_NE(report, nullptr);
  ASSERT_EQ(report->RowCount(), 2);
  EXPECT_EQ(report->ListText(0, 1), L"Report");
  EXPECT_EQ(report->ListText(0, 2), L"Stopped before it was put back");
  EXPECT_TRUE(UndoEnabled());

  dlg_->dlgProgress().OnPosition = nullptr;
  Restart(IDYES);
  dlg_->mniUndoClick();
  EXPECT_TRUE(Has(dlg_->StatusText(), "Restored 2 of 2")) << dlg_->StatusText();
  ExpectBackAsBefore(treated);
  EXPECT_FALSE(UndoEnabled());
}

// A journal that cannot be written is said before anything is treated; "No"
// treats nothing, "Yes" treats without it.
TEST_F(UndoWindowTest, AnUnwritableJournalIsSaidBeforeTreating) {
  OpenSearched();
  // A folder where the journal file should be: it cannot be opened.
  std::filesystem::create_directories(std::filesystem::path(dir_) / "treatments.journal");
  Restart(IDYES);
  ASSERT_TRUE(RunSearch());
  answerFor_ = [](const std::string& text) { return Has(text, "journal") ? IDNO : IDYES; };
  dlg_->mniDeleteClick();
  ASSERT_FALSE(boxes_.empty());
  EXPECT_TRUE(Has(boxes_.back().text, "journal cannot be written")) << boxes_.back().text;
  EXPECT_TRUE(SameMessages(before_, TProfileSnapshot::Take(standin_), before_));
  answerFor_ = nullptr;
  Treat(&TMainDlg::mniDeleteClick);
  EXPECT_FALSE(SameMessages(before_, TProfileSnapshot::Take(standin_), before_));
  EXPECT_TRUE(Has(dlg_->BannerText(), "Not journalled")) << dlg_->BannerText();
  EXPECT_FALSE(UndoEnabled());
}

}  // namespace
