// Treating the checked rows of the results list: after each command the
// profile holds exactly the messages the user asked for (compared as the
// stand-in writes them: every property and attachment), the treated rows are
// struck out and the others left as they were; Cancel, a picker cancelled,
// a message gone or a failing store call change only what they must; and
// the window stays safe while the rows are walked.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "tests/ui/ProfileSnapshot.h"
#include "tests/ui/WindowFixture.h"

using namespace profile;

namespace {

// How many treatments were checked against the profile and how many
// messages were found where they belong; printed once for the report.
struct TTally {
  int cases = 0;
  std::size_t messages = 0;
};
TTally& Tally() {
  static TTally tally;
  return tally;
}

class TTallyPrinter : public ::testing::Environment {
 public:
  void TearDown() override {
    std::printf("treatment cases: %d, messages checked: %zu\n", Tally().cases, Tally().messages);
  }
};
[[maybe_unused]] ::testing::Environment* const kTallyPrinter = ::testing::AddGlobalTestEnvironment(new TTallyPrinter);

// n copies of one message; every copy has its own Cc (not a compared field),
// so a copy treated in place of another shows.
std::string Copies(int n, const std::string& subject, const std::string& sender, const std::string& more = "") {
  std::string all;
  for (int i = 1; i <= n; ++i) {
    const std::string cc = "\"cc\": \"" + subject + " copy " + std::to_string(i) + "\"";
    all += (all.empty() ? "" : ",") + Mail(subject, sender, subject + " body", cc + (more.empty() ? "" : ", " + more));
  }
  return all;
}

const char kAttachments[] =
    "\"size\": 4096, \"submitTime\": \"2024-03-01T09:30:00Z\", \"deliveryTime\": \"2024-03-01T09:31:00Z\", "
    "\"to\": \"Bob\", \"attachments\": [{\"displayName\": \"plan.xls\", \"fileName\": \"PLAN.XLS\", "
    "\"longFileName\": \"plan.xls\", \"size\": 120}, {\"method\": 5, \"displayName\": \"Forwarded\", \"size\": 900}]";

// Two stores, each with duplicates and its own Deleted Items. After a search
// (each folder on its own) the checked rows are the later copies of Budget
// (Inbox, three copies with attachments), Report (Inbox/Projects), Trip
// (Quarantine) and Memo (Archive/Inbox). Target is where copies and moves go.
std::string TreatProfile() {
  const std::string mailbox = Store(
      "Mailbox", '1', true,
      Folder("Inbox", "IPF.Note", Copies(3, "Budget", "ann", kAttachments) + "," + Copies(1, "Lunch", "bob"),
             Folder("Projects", "IPF.Note", Copies(2, "Report", "cat")), "inbox") +
          "," + Folder("Quarantine", "IPF.Note", Copies(2, "Trip", "dan")) + "," + Folder("Target", "IPF.Note", "") +
          "," + Folder("Sent Items", "IPF.Note", "", "", "sent") + "," + Folder("Outbox", "IPF.Note", "", "", "outbox") +
          "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted") + "," +
          Folder("Drafts", "IPF.Note", "", "", "drafts") + "," + Folder("Junk E-mail", "IPF.Note", "", "", "junk") +
          "," + Folder("RSS Feeds", "IPF.Note", "", "", "rss") + "," + Folder("To-Do List", "IPF.Task", "", "", "todo"));
  const std::string archive =
      Store("Archive", '2', false,
            Folder("Inbox", "IPF.Note", Copies(2, "Memo", "eve", kAttachments)) + "," +
                Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  return Profile(mailbox + "," + archive);
}

const char kTarget[] = "Mailbox/Target";

// The confirmation a command shows before it treats anything: its numbers,
// and for a permanent delete the warning and the question.
std::string PreviewOf(TTreatment treatment, std::size_t messages, std::size_t folders, std::size_t kept) {
  const std::string what = std::to_string(messages) + " messages from " + std::to_string(folders) + " folders";
  const std::string keep = "; keep " + std::to_string(kept);
  switch (treatment) {
    case TTreatment::DeletePermanently:
      return "Delete " + what + " permanently" + keep +
             ". This cannot be undone.\n\nAre you sure that you want to permanently delete the selected item(s)?";
    case TTreatment::MoveToDeletedItems: return "Move " + what + " to Deleted Items" + keep;
    case TTreatment::CopyToFolder: return "Copy " + what + " to Target" + keep;
    case TTreatment::MoveToFolder: return "Move " + what + " to Target" + keep;
  }
  return std::string();
}

// TreatProfile with a folder Bulk of 131 copies of one message, so that its
// 130 checked rows need more than one batch.
const int kBulkChecked = 130;
std::string BatchProfile() {
  const std::string mailbox = Store(
      "Mailbox", '1', true,
      Folder("Bulk", "IPF.Note", Copies(kBulkChecked + 1, "Bulk", "fay")) + "," +
          Folder("Inbox", "IPF.Note", Copies(3, "Budget", "ann", kAttachments) + "," + Copies(1, "Lunch", "bob"),
                 Folder("Projects", "IPF.Note", Copies(2, "Report", "cat")), "inbox") +
          "," + Folder("Quarantine", "IPF.Note", Copies(2, "Trip", "dan")) + "," + Folder("Target", "IPF.Note", "") +
          "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  const std::string archive =
      Store("Archive", '2', false,
            Folder("Inbox", "IPF.Note", Copies(2, "Memo", "eve", kAttachments)) + "," +
                Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  return Profile(mailbox + "," + archive);
}

struct TCommand {
  TTreatment treatment;
  const char* name;
  void (TMainDlg::*handler)();
};
const TCommand kCommands[] = {
    {TTreatment::DeletePermanently, "delete permanently", &TMainDlg::mniDeletePermanentlyClick},
    {TTreatment::MoveToDeletedItems, "delete to Deleted Items", &TMainDlg::mniDeleteClick},
    {TTreatment::CopyToFolder, "copy to folder", &TMainDlg::mniCopytoFolderClick},
    {TTreatment::MoveToFolder, "move to folder", &TMainDlg::mniMovetoFolderClick},
};

// What a row shows: treated rows are struck out, keep their check and lose
// the box; the others keep the box and their check.
std::string RowState(const TEmailNode& row) {
  if (row.Data.bDeleted && !row.HasCheckBox && row.Checked && !row.Data.bChecked) return "treated";
  if (!row.Data.bDeleted && row.HasCheckBox) return row.Checked ? "checked" : "unchecked";
  return "odd";
}

class TreatTest : public WindowTest {
 protected:
  // Opens the window on the profile and searches; `before` is the profile then.
  void OpenSearched(const std::string& json = TreatProfile()) {
    boxes_.clear();
    answer_ = IDOK;
    Open(json);
    standin_.ScriptPickFolder("");
    ASSERT_TRUE(RunSearch());
    ASSERT_TRUE(boxes_.empty());
    ASSERT_FALSE(CheckedIds().empty());
    for (const TEmailNode* row : MessageRows()) ASSERT_EQ(RowState(*row), row->Checked ? "checked" : "unchecked");
    before_ = TProfileSnapshot::Take(standin_);
  }

  std::vector<TEmailNode*> MessageRows() const {
    std::vector<TEmailNode*> rows;
    for (const auto& root : dlg_->Emails().Roots()) {
      if (!root->IsGroup()) rows.push_back(root.get());
      for (const auto& row : root->Children) rows.push_back(row.get());
    }
    return rows;
  }

  // The entry identifiers of the checked rows, in list order.
  std::vector<std::string> CheckedIds() const {
    std::vector<std::string> ids;
    for (const TEmailNode* row : MessageRows())
      if (row->Checked) ids.emplace_back(row->Data.txMsg.szEntryID);
    return ids;
  }

  // Picks the target of a copy or move, answers the confirmation of a
  // permanent delete with Yes, and runs the command through its handler.
  void Run(const TCommand& command) {
    if (NeedsTarget(command.treatment)) standin_.ScriptPickFolder(before_.FolderEntryID(kTarget));
    answer_ = IDYES;
    (dlg_.get()->*command.handler)();
  }

  // The profile `before` with the messages `ids` treated as `treatment` does.
  static TProfileSnapshot Treated(TProfileSnapshot expected, const std::vector<std::string>& ids,
                                  TTreatment treatment) {
    for (const std::string& id : ids) {
      const std::string deleted = expected.DeletedItemsOf(id);
      // A copy leaves the message where it is.
      nlohmann::json message =
          treatment == TTreatment::CopyToFolder ? TProfileSnapshot(expected).Take(id) : expected.Take(id);
      EXPECT_FALSE(message.is_null()) << id << " is not in the profile";
      if (treatment == TTreatment::MoveToDeletedItems) expected.Put(deleted, message);
      if (NeedsTarget(treatment)) expected.Put(kTarget, message);
    }
    return expected;
  }

  // The stand-in's profile now equals `expected`; counts for the tally.
  void ExpectProfile(const TProfileSnapshot& expected) {
    const TProfileSnapshot actual = TProfileSnapshot::Take(standin_);
    EXPECT_TRUE(SameMessages(expected, actual, before_));
    ++Tally().cases;
    Tally().messages += actual.MessageCount();
  }

  // Every message row: "treated" when its message is in `treated`,
  // otherwise as it was loaded.
  void ExpectRows(const std::vector<std::string>& treated, const std::vector<std::string>& checked) {
    for (const TEmailNode* row : MessageRows()) {
      const std::string id = row->Data.txMsg.szEntryID;
      const bool wasChecked = std::find(checked.begin(), checked.end(), id) != checked.end();
      const bool isTreated = std::find(treated.begin(), treated.end(), id) != treated.end();
      EXPECT_EQ(RowState(*row), isTreated ? "treated" : wasChecked ? "checked" : "unchecked")
          << dlg_->vstEmails().CellText(*row, 2) << " " << id;
    }
    for (const auto& root : dlg_->Emails().Roots())
      if (root->IsGroup()) {
        EXPECT_FALSE(root->Data.bDeleted);
      }
  }

  TProfileSnapshot before_{nlohmann::json::object()};
};

TEST_F(TreatTest, EachCommandLeavesExactlyTheMessagesAskedFor) {
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched();
    const std::vector<std::string> ids = CheckedIds();
    std::vector<int> positions;
    bool shownWhileWalking = true;
    dlg_->dlgProgress().OnPosition = [&](int p) {
      positions.push_back(p);
      if (p > 0 && p < static_cast<int>(ids.size())) shownWhileWalking &= dlg_->dlgProgress().Visible();
    };
    Run(command);

    ExpectProfile(Treated(before_, ids, command.treatment));
    ExpectRows(ids, ids);
    EXPECT_EQ(dlg_->dlgProgress().Max(), static_cast<int>(ids.size()));
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), static_cast<int>(ids.size()));
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_TRUE(shownWhileWalking);
    EXPECT_FALSE(dlg_->dlgProgress().Visible());
    EXPECT_FALSE(dlg_->Treating());
    // Every command asks first, stating its numbers; a permanent delete
    // also says it cannot be undone and asks Yes or No as before.
    ASSERT_EQ(boxes_.size(), 1u);
    std::set<std::string> folders;
    for (const std::string& id : ids) folders.insert(before_.PathOf(id));
    EXPECT_EQ(boxes_[0].text,
              PreviewOf(command.treatment, ids.size(), folders.size(), MessageRows().size() - ids.size()));
    EXPECT_EQ(boxes_[0].caption, "Quop");
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(command.treatment == TTreatment::DeletePermanently
                                                     ? MB_ICONQUESTION | MB_YESNO
                                                     : MB_ICONQUESTION | MB_OKCANCEL));
    // Each store's treated copies went to its own Deleted Items.
    if (command.treatment == TTreatment::MoveToDeletedItems) {
      const TProfileSnapshot after = TProfileSnapshot::Take(standin_);
      for (const char* deleted : {"Mailbox/Deleted Items", "Archive/Deleted Items"})
        EXPECT_FALSE(after.Folders().at(deleted).messages.empty()) << deleted;
    }
    CloseWindow();
  }
}

// A command that ends before the walk: the confirmation answered No, the
// picker cancelled, or a picked folder Outlook cannot find (the picker's
// failure is shown).
TEST_F(TreatTest, ACommandEndedBeforeTheWalkChangesNothing) {
  struct TCase {
    const char* name;
    int command;  // index in kCommands
    int answer;
    std::string picked;  // "": the picker cancelled
    std::vector<std::string> boxes;
  };
  const TCase cases[] = {
      {"delete permanently answered No", 0, IDNO, "",
       {"Delete 5 messages from 4 folders permanently; keep 4. This cannot be undone.\n\n"
        "Are you sure that you want to permanently delete the selected item(s)?"}},
      {"copy with the picker cancelled", 2, IDYES, "", {}},
      {"move with the picker cancelled", 3, IDYES, "", {}},
      {"move to a folder Outlook cannot find", 3, IDYES, std::string(8, '0') + std::string(32, '1') + "46FFFFFF",
       {"NameSpace.PickFolder failed: 0x8004010F"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    OpenSearched();
    const std::vector<std::string> ids = CheckedIds();
    int positionCalls = 0;
    dlg_->dlgProgress().OnPosition = [&](int) { ++positionCalls; };
    standin_.ScriptPickFolder(c.picked);
    answer_ = c.answer;
    (dlg_.get()->*kCommands[c.command].handler)();

    ExpectProfile(before_);
    ExpectRows({}, ids);
    EXPECT_EQ(positionCalls, 0);
    EXPECT_FALSE(dlg_->dlgProgress().Visible());
    std::vector<std::string> shown;
    for (const TShownBox& box : boxes_) shown.push_back(box.text);
    EXPECT_EQ(shown, c.boxes);
    CloseWindow();
  }
}

// Cancel pressed while the first batch is in flight: that batch is still
// treated, nothing after it is.
TEST_F(TreatTest, CancelStopsAfterTheBatchItWasPressedOn) {
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched(BatchProfile());
    const std::vector<std::string> ids = CheckedIds();
    ASSERT_GT(ids.size(), TBatchTreatment::kBatchSize);
    std::vector<int> positions;
    dlg_->dlgProgress().OnPosition = [&](int p) {
      if (p == 0) return;  // the reset before the walk
      positions.push_back(p);
      if (positions.size() == 1) dlg_->dlgProgressCancel();
    };
    Run(command);

    const std::vector<std::string> treated(ids.begin(), ids.begin() + TBatchTreatment::kBatchSize);
    ExpectProfile(Treated(before_, treated, command.treatment));
    ExpectRows(treated, ids);
    EXPECT_EQ(positions, (std::vector<int>{static_cast<int>(TBatchTreatment::kBatchSize)}));
    EXPECT_NE(dlg_->StatusText().find("; stopped before " + std::to_string(ids.size() - treated.size())),
              std::string::npos)
        << dlg_->StatusText();
    EXPECT_EQ(dlg_->TreatReportWindow(), nullptr);
    EXPECT_FALSE(dlg_->dlgProgress().Visible());
    EXPECT_FALSE(dlg_->Treating());
    CloseWindow();
  }
}

// The check boxes take clicks while the rows are walked. A row unchecked
// meanwhile, one in the batch in flight and one in a later batch, is left
// alone with its message where it was, and the summary counts it apart; a
// row checked meanwhile was never confirmed and is left alone too.
TEST_F(TreatTest, ARowUncheckedDuringTheWalkIsLeftAlone) {
  const std::size_t kBatch = TBatchTreatment::kBatchSize;
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched(BatchProfile());
    const std::vector<std::string> ids = CheckedIds();
    ASSERT_GT(ids.size(), kBatch + 1);
    const std::set<std::string> unchecked = {ids[kBatch / 2], ids[kBatch + 1]};
    std::string checkedMeanwhile;
    for (const TEmailNode* row : MessageRows())
      if (!row->Checked && checkedMeanwhile.empty()) checkedMeanwhile = row->Data.txMsg.szEntryID;
    ASSERT_FALSE(checkedMeanwhile.empty());
    dlg_->dlgProgress().OnPosition = [&](int p) {
      if (p != static_cast<int>(kBatch)) return;  // the first batch is in flight
      for (TEmailNode* row : MessageRows()) {
        const std::string id = row->Data.txMsg.szEntryID;
        if (unchecked.count(id)) dlg_->Emails().SetChecked(row, false);
        if (id == checkedMeanwhile) dlg_->Emails().SetChecked(row, true);
      }
    };
    Run(command);

    std::vector<std::string> treated;
    for (const std::string& id : ids)
      if (!unchecked.count(id)) treated.push_back(id);
    ExpectProfile(Treated(before_, treated, command.treatment));
    std::vector<std::string> checkedAfter = treated;
    checkedAfter.push_back(checkedMeanwhile);
    ExpectRows(treated, checkedAfter);
    for (const std::string& id : unchecked) EXPECT_FALSE(before_.PathOf(id).empty());
    const std::string count = std::to_string(treated.size());
    const std::map<TTreatment, std::string> done = {
        {TTreatment::DeletePermanently, "Deleted " + count + " of " + count},
        {TTreatment::MoveToDeletedItems, "Moved " + count + " of " + count + " to Deleted Items"},
        {TTreatment::CopyToFolder, "Copied " + count + " of " + count},
        {TTreatment::MoveToFolder, "Moved " + count + " of " + count}};
    EXPECT_EQ(dlg_->StatusText(), done.at(command.treatment) + "; 2 left alone: unchecked meanwhile");
    EXPECT_EQ(dlg_->TreatReportWindow(), nullptr);
    EXPECT_FALSE(dlg_->Treating());
    CloseWindow();
  }
}

// A checked message deleted outside the window after the search: its row
// keeps its check box, every other checked row is treated.
TEST_F(TreatTest, AMessageGoneBeforeTheTreatmentKeepsItsRow) {
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched();
    const std::vector<std::string> ids = CheckedIds();
    const std::string gone = ids[1];
    {
      TsxMAPI_Session other;
      other.Logon();
      ASSERT_NO_THROW(other.DelMsg(gone, false));
    }
    before_ = TProfileSnapshot::Take(standin_);
    ASSERT_TRUE(before_.PathOf(gone).empty());
    Run(command);

    std::vector<std::string> treated = ids;
    treated.erase(treated.begin() + 1);
    ExpectProfile(Treated(before_, treated, command.treatment));
    ExpectRows(treated, ids);
    // The confirmation counts the rows as listed: five checked in four folders, four kept.
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, PreviewOf(command.treatment, ids.size(), 4, 4));
    CloseWindow();
  }
}

// A store call failing for the one checked message of Quarantine (Trip):
// that row stays checked with its box, the others are treated; no message
// box, but the summary counts it and the list that ends the treatment names it.
TEST_F(TreatTest, AFailingStoreCallLeavesOnlyItsRowUntreated) {
  struct TCase {
    int command;  // index in kCommands
    const char* call;
    const char* target;
  };
  const TCase cases[] = {
      {0, "DeleteMessages", "Quarantine"}, {1, "CopyMessages", "Quarantine"},
      {2, "CopyMessages", "Quarantine"},   {3, "CopyMessages", "Quarantine"},
      {0, "OpenEntry", "Trip"},            {1, "OpenEntry", "Trip"},
      {3, "GetProps", "Trip"},             {0, "OpenEntry", "Quarantine"},
      {1, "OpenEntry", "Quarantine"},      {2, "OpenEntry", "Quarantine"},
  };
  for (const TCase& c : cases) {
    const TCommand& command = kCommands[c.command];
    SCOPED_TRACE(std::string(command.name) + ", " + c.call + " failing on " + c.target);
    OpenSearched();
    const std::vector<std::string> ids = CheckedIds();
    std::vector<std::string> treated;
    std::string failing;
    for (const std::string& id : ids) {
      if (before_.PathOf(id) == "Mailbox/Quarantine") failing = id;
      else treated.push_back(id);
    }
    ASSERT_FALSE(failing.empty());
    standin_.AddFault(c.call, c.target, MAPI_E_NO_ACCESS);
    Run(command);

    ExpectProfile(Treated(before_, treated, command.treatment));
    ExpectRows(treated, ids);
    ASSERT_EQ(boxes_.size(), 1u) << "the confirmation, and nothing else";
    EXPECT_EQ(boxes_[0].text.find(command.treatment == TTreatment::DeletePermanently ? "Delete 5 messages"
                                  : command.treatment == TTreatment::CopyToFolder    ? "Copy 5 messages"
                                                                                     : "Move 5 messages"),
              0u)
        << boxes_[0].text;
    const std::string status = dlg_->StatusText();
    EXPECT_NE(status.find(std::to_string(treated.size()) + " of " + std::to_string(ids.size())), std::string::npos)
        << status;
    EXPECT_NE(status.find("; 1 could not be"), std::string::npos) << status;
    const TReportWindow* report = dlg_->TreatReportWindow();
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->RowCount(), 1);
    EXPECT_EQ(report->ListText(0, 0), L"Message");
    EXPECT_EQ(report->ListText(0, 1), L"Trip");
    CloseWindow();
  }
}

// The same command again over its treated rows treats nothing new; the
// treated rows still count for the progress maximum.
TEST_F(TreatTest, RunningACommandTwiceTreatsNothingNew) {
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched();
    const std::vector<std::string> ids = CheckedIds();
    Run(command);
    const TProfileSnapshot afterFirst = TProfileSnapshot::Take(standin_);
    ExpectProfile(Treated(before_, ids, command.treatment));

    int lastPosition = -1;
    dlg_->dlgProgress().OnPosition = [&](int p) { lastPosition = p; };
    Run(command);
    // Identical to the end of the first run, the new copies' ids included.
    EXPECT_TRUE(SameMessages(afterFirst, TProfileSnapshot::Take(standin_), afterFirst));
    ExpectRows(ids, ids);
    EXPECT_EQ(dlg_->dlgProgress().Max(), static_cast<int>(ids.size()));
    EXPECT_EQ(lastPosition, static_cast<int>(ids.size()));
    EXPECT_FALSE(dlg_->dlgProgress().Visible());
    CloseWindow();
  }
}

// While the rows are walked: "&Search" and the selection and treatment
// commands are off and a second treatment does nothing; afterwards
// everything is on again.
TEST_F(TreatTest, TheWindowIsLockedWhileTheRowsAreWalked) {
  OpenSearched();
  const std::vector<std::string> ids = CheckedIds();
  const std::size_t groups = dlg_->Emails().GroupCount();
  struct TSeen {
    bool searchEnabled = true, selectionEnabled = true, treatmentEnabled = true, treating = false;
  } seen;
  int nested = 0;
  dlg_->dlgProgress().OnPosition = [&](int p) {
    if (p == 0 || nested > 0 || seen.treating) return;  // the first batch only
    seen.searchEnabled = IsWindowEnabled(dlg_->Control("btnSearch"));
    seen.selectionEnabled = std::any_of(SelectionCommands.begin(), SelectionCommands.end(),
                                        [&](TMenuCommand c) { return dlg_->Menus().IsEnabled(c); });
    seen.treatmentEnabled = std::any_of(TreatmentCommands.begin(), TreatmentCommands.end(),
                                        [&](TMenuCommand c) { return dlg_->Menus().IsEnabled(c); });
    seen.treating = dlg_->Treating();
    ++nested;
    dlg_->mniMovetoFolderClick();  // a second treatment
    --nested;
  };
  standin_.ScriptPickFolder(before_.FolderEntryID(kTarget));
  dlg_->mniDeleteClick();
  dlg_->dlgProgress().OnPosition = nullptr;

  EXPECT_EQ(nested, 0);
  EXPECT_FALSE(seen.searchEnabled);
  EXPECT_FALSE(seen.selectionEnabled);
  EXPECT_FALSE(seen.treatmentEnabled);
  EXPECT_TRUE(seen.treating);
  ExpectProfile(Treated(before_, ids, TTreatment::MoveToDeletedItems));
  ExpectRows(ids, ids);
  EXPECT_EQ(dlg_->Emails().GroupCount(), groups);
  EXPECT_EQ(dlg_->State(), TSearchState::Idle);
  EXPECT_TRUE(IsWindowEnabled(dlg_->Control("btnSearch")));
  for (TMenuCommand c : SelectionCommands) EXPECT_TRUE(dlg_->Menus().IsEnabled(c));
  // The treated rows keep their check, so the treatment commands stay on.
  for (TMenuCommand c : TreatmentCommands) EXPECT_TRUE(dlg_->Menus().IsEnabled(c));
}

// A search clicked while the rows are walked does nothing: the walk runs to
// its end over the list it started with, and no search starts.
TEST_F(TreatTest, ASearchClickedDuringTheWalkDoesNothing) {
  OpenSearched();
  const std::vector<std::string> ids = CheckedIds();
  const std::size_t groups = dlg_->Emails().GroupCount();
  TSearchState during = TSearchState::Loading;
  dlg_->dlgProgress().OnPosition = [&](int p) {
    if (p == 0) return;  // the reset before the walk
    dlg_->btnSearchClick();
    SendMessageA(dlg_->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(dlg_->Control("btnSearch")), BN_CLICKED),
                 reinterpret_cast<LPARAM>(dlg_->Control("btnSearch")));
    during = dlg_->State();
  };
  dlg_->mniDeleteClick();
  dlg_->dlgProgress().OnPosition = nullptr;
  EXPECT_EQ(during, TSearchState::Idle);
  EXPECT_FALSE(dlg_->Treating());
  EXPECT_EQ(dlg_->Emails().GroupCount(), groups);
  ExpectProfile(Treated(before_, ids, TTreatment::MoveToDeletedItems));
  ExpectRows(ids, ids);
}

// Closing the window while the first batch is in flight: that batch is
// treated, the walk stops, and the window closes once it has.
TEST_F(TreatTest, ClosingWhileTheRowsAreWalkedClosesAfterTheBatch) {
  OpenSearched(BatchProfile());
  const std::vector<std::string> ids = CheckedIds();
  dlg_->dlgProgress().OnPosition = [&](int p) {
    if (p == static_cast<int>(TBatchTreatment::kBatchSize)) dlg_->Close();
  };
  dlg_->mniDeleteClick();
  ASSERT_NE(dlg_->Handle(), nullptr) << "the window went while its rows were walked";
  const std::vector<std::string> treated(ids.begin(), ids.begin() + TBatchTreatment::kBatchSize);
  ExpectRows(treated, ids);
  EXPECT_TRUE(PumpUntil([this] { return dlg_->Handle() == nullptr; }, std::chrono::seconds(10)));
  ExpectProfile(Treated(before_, treated, TTreatment::MoveToDeletedItems));
}

// The lists a treatment hands the stores: the checked rows a batch at a time
// in list order, one list per folder within each batch.
unsigned long ExpectedLists(const TProfileSnapshot& before, const std::vector<std::string>& ids) {
  unsigned long lists = 0;
  for (std::size_t at = 0; at < ids.size(); at += TBatchTreatment::kBatchSize) {
    std::set<std::string> folders;
    for (std::size_t i = at; i < std::min(ids.size(), at + TBatchTreatment::kBatchSize); ++i)
      folders.insert(before.PathOf(ids[i]));
    lists += folders.size();
  }
  return lists;
}

// More than a batch of rows in one folder, and rows of several folders in
// two stores: every message ends where the command puts it, each batch costs
// one store call per folder, and the progress moves a batch at a time.
TEST_F(TreatTest, BatchesOfRowsLoseNothing) {
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched(BatchProfile());
    const std::vector<std::string> ids = CheckedIds();
    ASSERT_EQ(ids.size(), kBulkChecked + 5u);
    std::vector<int> positions;
    bool shownWhileWalking = true;
    dlg_->dlgProgress().OnPosition = [&](int p) {
      if (p == 0) return;  // the reset before the walk
      positions.push_back(p);
      shownWhileWalking &= dlg_->dlgProgress().Visible();
    };
    standin_.ResetCalls();
    Run(command);
    const unsigned long lists = standin_.CallCountOf("DeleteMessages") + standin_.CallCountOf("CopyMessages");

    ExpectProfile(Treated(before_, ids, command.treatment));
    ExpectRows(ids, ids);
    EXPECT_EQ(lists, ExpectedLists(before_, ids));
    EXPECT_EQ(positions,
              (std::vector<int>{static_cast<int>(TBatchTreatment::kBatchSize), static_cast<int>(ids.size())}));
    EXPECT_TRUE(shownWhileWalking);
    const std::string count = std::to_string(ids.size());
    const std::map<TTreatment, std::string> summaries = {
        {TTreatment::DeletePermanently, "Deleted " + count + " of " + count},
        {TTreatment::MoveToDeletedItems, "Moved " + count + " of " + count + " to Deleted Items"},
        {TTreatment::CopyToFolder, "Copied " + count + " of " + count},
        {TTreatment::MoveToFolder, "Moved " + count + " of " + count}};
    EXPECT_EQ(dlg_->StatusText(), summaries.at(command.treatment));
    EXPECT_EQ(dlg_->TreatReportWindow(), nullptr);
    CloseWindow();
  }
}

// A checked message deleted outside the window while its batch is in flight
// (after the rows were looked up, before the store was called): the store
// takes the rest of the list, and only that row is left. A permanent delete
// counts it as done: the message is gone, as asked.
TEST_F(TreatTest, AMessageGoneInTheMiddleOfABatchLeavesOnlyItsRow) {
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched(BatchProfile());
    const std::vector<std::string> ids = CheckedIds();
    const std::string gone = ids[TBatchTreatment::kBatchSize / 2];
    dlg_->dlgProgress().OnPosition = [&](int p) {
      if (p != static_cast<int>(TBatchTreatment::kBatchSize)) return;
      TsxMAPI_Session other;
      other.Logon();
      ASSERT_NO_THROW(other.DelMsg(gone, false));
      before_ = TProfileSnapshot::Take(standin_);
    };
    Run(command);

    std::vector<std::string> treated = ids;
    treated.erase(std::find(treated.begin(), treated.end(), gone));
    ExpectProfile(Treated(before_, treated, command.treatment));
    if (command.treatment == TTreatment::DeletePermanently) {
      ExpectRows(ids, ids);
      EXPECT_EQ(dlg_->TreatReportWindow(), nullptr);
      CloseWindow();
      continue;
    }
    ExpectRows(treated, ids);
    EXPECT_NE(dlg_->StatusText().find("; 1 could not be"), std::string::npos) << dlg_->StatusText();
    const TReportWindow* report = dlg_->TreatReportWindow();
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->RowCount(), 1);
    EXPECT_EQ(report->ListText(0, 2), L"The message is no longer in its folder!");
    CloseWindow();
  }
}

// A message gone in the middle of a batch, with a copy of it (the same
// search key) already in Deleted Items: its row passes for moved, but the
// check afterwards finds Deleted Items one short and says so.
TEST_F(TreatTest, TheCheckAfterwardsShowsATargetThatDidNotGrowAsPlanned) {
  OpenSearched(BatchProfile());
  const std::vector<std::string> ids = CheckedIds();
  const std::string gone = ids[TBatchTreatment::kBatchSize / 2];
  ASSERT_EQ(before_.DeletedItemsOf(gone), "Mailbox/Deleted Items");
  const long intoMailbox = static_cast<long>(std::count_if(ids.begin(), ids.end(), [this](const std::string& id) {
    return before_.DeletedItemsOf(id) == "Mailbox/Deleted Items";
  }));
  dlg_->dlgProgress().OnPosition = [&](int p) {
    if (p != static_cast<int>(TBatchTreatment::kBatchSize)) return;
    TsxMAPI_Session other;
    other.Logon();
    ASSERT_NO_THROW(other.MoveMsg(gone, before_.FolderEntryID("Mailbox/Deleted Items"), 0));
    ASSERT_NO_THROW(other.DelMsg(gone, false));
  };
  Run(kCommands[1]);

  const std::string status = dlg_->StatusText();
  EXPECT_NE(status.find("; 1 folder(s) not as planned"), std::string::npos) << status;
  const TReportWindow* report = dlg_->TreatReportWindow();
  ASSERT_NE(report, nullptr);
  ASSERT_EQ(report->RowCount(), 1);
  EXPECT_EQ(report->ListText(0, 0), L"Folder");
  EXPECT_EQ(report->ListText(0, 1), L"Deleted Items");
  EXPECT_EQ(report->ListText(0, 2), L"grew by " + std::to_wstring(intoMailbox - 1) + L", " +
                                        std::to_wstring(intoMailbox) + L" were put there");
}

// The list call for Bulk failing, and then the call for one message of it
// as the list is done again one message at a time: that message alone is
// left, the rest of the batch is treated.
TEST_F(TreatTest, AFailureInTheMiddleOfABatchLeavesOnlyItsRow) {
  const int kFailingCall = 50;  // the list, then 48 messages on their own
  for (const TCommand& command : kCommands) {
    SCOPED_TRACE(command.name);
    OpenSearched(BatchProfile());
    const std::vector<std::string> ids = CheckedIds();
    std::vector<std::string> bulkInFirstBatch;
    for (std::size_t i = 0; i < TBatchTreatment::kBatchSize; ++i)
      if (before_.PathOf(ids[i]) == "Mailbox/Bulk") bulkInFirstBatch.push_back(ids[i]);
    ASSERT_GE(bulkInFirstBatch.size(), static_cast<std::size_t>(kFailingCall));
    const std::string failing = bulkInFirstBatch[kFailingCall - 2];
    const char* call = command.treatment == TTreatment::DeletePermanently ? "DeleteMessages" : "CopyMessages";
    standin_.AddFault(call, "Bulk", MAPI_E_CALL_FAILED, 0, 1);
    standin_.AddFault(call, "Bulk", MAPI_E_NO_ACCESS, 0, kFailingCall);
    Run(command);
    standin_.ClearFaults();

    std::vector<std::string> treated = ids;
    treated.erase(std::find(treated.begin(), treated.end(), failing));
    ExpectProfile(Treated(before_, treated, command.treatment));
    ExpectRows(treated, ids);
    const TReportWindow* report = dlg_->TreatReportWindow();
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->RowCount(), 1);
    EXPECT_EQ(report->ListText(0, 1), L"Bulk");
    EXPECT_EQ(report->ListText(0, 2), command.treatment == TTreatment::DeletePermanently
                                          ? L"Could not delete message!"
                                          : command.treatment == TTreatment::CopyToFolder ? L"Could not copy message!"
                                                                                          : L"Could not move message!");
    CloseWindow();
  }
}


// Every MAPI call of a treatment may fail: for each n the n-th call fails,
// and every checked row is then either treated, its message where the
// command puts it, or still checked with its message untouched. Under ctest
// every few n (QUOP_SWEEP_STRIDE, 11 by default); `./quop fault-sweep` all.
TEST_F(TreatTest, EveryFailingCallLeavesEachRowTreatedOrUntouched) {
  const char* strideText = std::getenv("QUOP_SWEEP_STRIDE");
  const unsigned long stride = strideText && std::atoi(strideText) > 0 ? std::atoi(strideText) : 11;
  int runs = 0;
  for (const TCommand& command : kCommands) {
    OpenSearched();
    standin_.ResetCalls();
    Run(command);
    const unsigned long calls = standin_.CallCount();
    CloseWindow();
    ASSERT_GT(calls, 10u) << command.name;
    for (unsigned long n = 1; n <= calls; n += n < 5 ? 1 : stride) {
      SCOPED_TRACE(std::string(command.name) + ": call " + std::to_string(n) + " of " + std::to_string(calls) +
                   " fails");
      OpenSearched();
      const std::vector<std::string> ids = CheckedIds();
      standin_.ResetCalls();
      standin_.AddFault("*", "*", MAPI_E_CALL_FAILED, 0, n);
      Run(command);
      standin_.ClearFaults();
      std::vector<std::string> treated;
      for (const TEmailNode* row : MessageRows())
        if (row->Data.bDeleted) treated.emplace_back(row->Data.txMsg.szEntryID);
      ExpectProfile(Treated(before_, treated, command.treatment));
      ExpectRows(treated, ids);
      CloseWindow();
      ++runs;
      if (HasFailure()) return;  // the first failing call is enough to show
    }
  }
  std::printf("fault sweep: %d treatment runs\n", runs);
}

}  // namespace
