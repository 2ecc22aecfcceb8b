// Treating the checked rows of the results list: delete, move to Deleted
// Items, copy or move to a folder the user picks in Outlook, a batch of rows
// at a time; afterwards the summary, and what was not done in a list.
#include <algorithm>
#include <optional>

#include "om/OutlookCalls.h"
#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "ui/CountText.h"
#include "ui/ReceivedText.h"
#include "ui/uMainDlg.h"

namespace {

// A message row and where it stood when the walk began: top-level row
// `group`, or child `index` of group row `group`.
struct TRowPlace {
  TEmailNode* row;
  std::size_t group;
  std::optional<std::size_t> index;
};

// The message rows in list order: each group's rows, and top-level message rows.
template <typename TVisit>
void ForEachRowPlace(TEmailList& list, TVisit visit) {
  for (std::size_t g = 0; g < list.Roots().size(); ++g) {
    TEmailNode* const root = list.Roots()[g].get();
    if (!root->IsGroup()) visit(TRowPlace{root, g, std::nullopt});
    for (std::size_t r = 0; r < root->Children.size(); ++r) visit(TRowPlace{root->Children[r].get(), g, r});
  }
}

// Whether the row is still where it stood: the list did not change under the walk.
bool StillAt(TEmailList& list, const TRowPlace& place) {
  if (place.group >= list.Roots().size()) return false;
  TEmailNode* const root = list.Roots()[place.group].get();
  if (!place.index) return root == place.row;
  return *place.index < root->Children.size() && root->Children[*place.index].get() == place.row;
}

// The rows handed to the stores, each with its message's item.
struct TTreatedRows {
  std::vector<TBatchItem> items;
  std::vector<TEmailNode*> rows;
  std::vector<bool> checkedBefore;  // the rows' loaded check, for a row given back

  void Add(TEmailNode& row) {
    const char* id = row.Data.txMsg.szEntryID;
    items.emplace_back().entryID = id ? id : "";
    rows.push_back(&row);
    checkedBefore.push_back(row.Data.bChecked);
  }
  void DropFrom(std::size_t first) {
    items.resize(first);
    rows.resize(first);
    checkedBefore.resize(first);
  }
  // Drops the rows from `first` on that are no longer checked; how many.
  std::size_t DropUnchecked(std::size_t first) {
    std::size_t kept = first;
    for (std::size_t i = first; i < items.size(); ++i) {
      if (!rows[i]->Checked) continue;
      if (kept != i) {
        items[kept] = std::move(items[i]);
        rows[kept] = rows[i];
        checkedBefore[kept] = checkedBefore[i];
      }
      ++kept;
    }
    const std::size_t dropped = items.size() - kept;
    DropFrom(kept);
    return dropped;
  }
  // A treated row is struck out and loses its box; its check stays.
  void StrikeOutDone(std::size_t first) {
    for (std::size_t i = first; i < items.size(); ++i)
      if (items[i].done) {
        rows[i]->Data.bDeleted = true;
        rows[i]->Data.bChecked = false;
        rows[i]->HasCheckBox = false;
      }
  }
  // A row struck out whose treatment the check afterwards did not confirm.
  void GiveBackBoxes() {
    for (std::size_t i = 0; i < items.size(); ++i)
      if (!items[i].done && rows[i]->Data.bDeleted) {
        rows[i]->Data.bDeleted = false;
        rows[i]->Data.bChecked = checkedBefore[i];
        rows[i]->HasCheckBox = true;
      }
  }
};

TBatchAction ActionOf(TTreatment treatment) {
  switch (treatment) {
    case TTreatment::DeletePermanently: return TBatchAction::Delete;
    case TTreatment::MoveToDeletedItems: return TBatchAction::MoveToDeletedItems;
    case TTreatment::CopyToFolder: return TBatchAction::Copy;
    case TTreatment::MoveToFolder: return TBatchAction::Move;
  }
  return TBatchAction::Delete;
}

// The summary of each treatment, in TTreatment's order: done, of how many;
// how many were not.
struct TOutcomeTexts {
  TLangText done, left;
};
constexpr TOutcomeTexts kOutcomeTexts[] = {
    {{"strTreatDeleted", "Deleted %d of %d"}, {"strTreatNotDeleted", "%d could not be deleted"}},
    {{"strTreatMovedToDeleted", "Moved %d of %d to Deleted Items"}, {"strTreatNotMoved", "%d could not be moved"}},
    {{"strTreatCopied", "Copied %d of %d"}, {"strTreatNotCopied", "%d could not be copied"}},
    {{"strTreatMoved", "Moved %d of %d"}, {"strTreatNotMoved", "%d could not be moved"}},
};

// The other texts of a treatment's outcome.
constexpr TLangText kTreatStopped{"strTreatStopped", "stopped before %d"};
constexpr TLangText kTreatChecks{"strTreatChecks", "%d folder(s) not as planned"};
constexpr TLangText kTreatGrew{"strTreatGrew", "grew by %d, %d were put there"};
constexpr TLangText kTreatUnchecked{"strTreatUnchecked", "%d left alone: unchecked meanwhile"};
constexpr TLangText kReportFolder{"strSkippedFolder", "Folder"};
// The report window's columns, with their widths.
constexpr struct {
  TLangText caption;
  int width;
} kReportColumns[] = {{{"strSkippedKind", "Kind"}, 70},
                      {{"strSkippedName", "Name"}, 220},
                      {{"strSkippedReason", "Reason"}, 200},
                      {{"strSkippedError", "Error"}, 180}};

// A failure's text is the operation's, then the system's message on a line of its own.
std::string ReasonOf(const std::string& error) { return error.substr(0, error.find("\r\n")); }
std::string DetailOf(const std::string& error) {
  const std::size_t cut = error.find("\r\n");
  return cut == std::string::npos ? std::string() : error.substr(cut + 2);
}

}  // namespace

std::string LangLine(const TLangText& text) { return std::string(text.szKey) + "=" + text.szText; }

std::vector<std::string> TreatmentTextDefaults() {
  std::vector<std::string> lines;
  for (const TOutcomeTexts& texts : kOutcomeTexts) {
    lines.push_back(LangLine(texts.done));
    lines.push_back(LangLine(texts.left));
  }
  for (const TLangText& text : {kTreatStopped, kTreatChecks, kTreatGrew, kTreatUnchecked, kReportMessageKind, kReportFolder})
    lines.push_back(LangLine(text));
  for (const auto& column : kReportColumns) lines.push_back(LangLine(column.caption));
  return lines;
}

// The target folder from Outlook's folder picker; false when the user
// cancelled, the folder has no identifier or a call failed (shown).
bool TMainDlg::PickTarget(std::string& strEntryID, std::string* name) {
  try {
    if (!m_IDspApp) return false;
    const TComPtr<_NameSpace> nameSpace = om::GetNamespace(m_IDspApp.Get(), L"MAPI");
    if (!nameSpace) return false;
    const TComPtr<MAPIFolder> folder = om::PickFolder(nameSpace.Get());
    if (!folder) return false;
    strEntryID = WideToAnsi(om::GetEntryID(folder.Get()));
    const std::wstring folderName = om::GetName(folder.Get());
    if (name) *name = WideToUtf8(folderName);
    return !strEntryID.empty();
  } catch (const std::exception& e) {
    ErrorBox(e.what());
    return false;
  }
}

// While the rows are walked the window keeps processing its messages; the
// commands that would change the list under the walk are off meanwhile.
void TMainDlg::LockForTreatment(bool locked) {
  FTreating = locked;
  EnableWindow(btnSearch, !locked);
  if (locked) {
    EnableCommands(SelectionCommands, false);
    EnableCommands(TreatmentCommands, false);
  } else if (!FSearching) {  // a search started meanwhile keeps them off
    EnableCommands(SelectionCommands, FEmails.GroupCount() > 0);
    vstEmailsChecked();
  }
}

void TMainDlg::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void TMainDlg::TreatDuplicate(TTreatment treatment) {
  if (FTreating || FSearching || !FSession) return;
  std::string target, targetName;
  if (NeedsTarget(treatment) && !PickTarget(target, &targetName)) return;
  // The groups that would lose every copy, when the user leaves them alone.
  std::vector<std::size_t> leftAlone;
  if (!ConfirmTreatment(treatment, targetName, leftAlone)) return;
  FStopDel = false;
  const unsigned run = FRun;
  std::vector<TRowPlace> places;
  ForEachRowPlace(FEmails, [&](const TRowPlace& place) {
    if (place.row->Checked && !std::binary_search(leftAlone.begin(), leftAlone.end(), place.group))
      places.push_back(place);
  });
  if (places.empty()) return;
  // The journal: each list is recorded before it goes to the store.
  std::unique_ptr<TTreatmentJournal> journal;
  if (!StartJournal(treatment, target, journal)) return;
  FProgress->SetMax(static_cast<int>(places.size()));
  FProgress->SetPosition(0);
  FProgress->Show();
  FTreatWindow.reset();

  LockForTreatment(true);
  // The checked rows go to the stores a batch at a time: each batch's
  // messages are looked up, the window processes its messages (Cancel, Close,
  // a check box clicked), and the batch's rows still checked are treated.
  // Should the list have changed under the walk (a search started, the
  // results cleared), the walk ends there; showing the progress may already
  // have let that happen.
  bool listChanged = FRun != run || FSearching;
  TBatchTreatment batch(*FSession, ActionOf(treatment), target);
  batch.SetJournal(journal.get());
  TTreatedRows treated;
  std::size_t reached = 0;
  std::size_t uncheckedMeanwhile = 0;
  while (!listChanged && reached < places.size() && !FStopDel) {
    const std::size_t end = std::min(places.size(), reached + TBatchTreatment::kBatchSize);
    const std::size_t first = treated.items.size();
    for (std::size_t i = reached; i < end; ++i)
      if (!places[i].row->Data.bDeleted) treated.Add(*places[i].row);
    batch.Locate(std::span<TBatchItem>(treated.items.data() + first, treated.items.size() - first));
    FProgress->SetPosition(static_cast<int>(end));
    ProcessMessages();
    listChanged = FRun != run || FSearching ||
                  !std::all_of(places.begin() + reached, places.begin() + end,
                               [this](const TRowPlace& place) { return StillAt(FEmails, place); });
    if (listChanged) {
      treated.DropFrom(first);
      break;
    }
    // The boxes take clicks while the rows are walked: only a row checked at
    // the confirmation and still checked now is treated.
    uncheckedMeanwhile += treated.DropUnchecked(first);
    batch.Treat(std::span<TBatchItem>(treated.items.data() + first, treated.items.size() - first));
    reached = end;
    treated.StrikeOutDone(first);
    FEmailView->Repaint();
  }
  // The plan against the stores: a row whose message is still where it was
  // gets its box back.
  const std::vector<TFolderCheck> checks = batch.Verify(treated.items);
  EndJournal(journal.get(), batch);
  if (!listChanged) treated.GiveBackBoxes();
  FProgress->Hide();
  LockForTreatment(false);
  FEmailView->Repaint();
  if (FCloseAfterTreat) {
    PostMessageA(FHandle, WM_CLOSE, 0, 0);
    return;
  }
  if (!listChanged) ShowTreatmentOutcome(treatment, treated.items, treated.rows, uncheckedMeanwhile, places.size() - reached,
                         checks);
  ShowJournalOutcome(journal.get(), treatment);  // the offer to undo, or what went wrong with the journal
}

void TMainDlg::ShowTreatmentOutcome(TTreatment treatment, std::span<const TBatchItem> items,
                                    std::span<TEmailNode* const> rows, std::size_t uncheckedMeanwhile,
                                    std::size_t notReached,
                                    const std::vector<TFolderCheck>& checks) {
  const TOutcomeTexts& texts = kOutcomeTexts[static_cast<int>(treatment)];
  const long done =
      static_cast<long>(std::count_if(items.begin(), items.end(), [](const TBatchItem& i) { return i.done; }));
  const long left = static_cast<long>(items.size()) - done;
  const char thousands = UserThousandsSeparator();
  std::string summary = FillCounts(Msg(texts.done), {done, static_cast<long>(items.size())}, thousands);
  if (left > 0) summary += "; " + FillCounts(Msg(texts.left), {left}, thousands);
  if (uncheckedMeanwhile > 0)
    summary += "; " + FillCounts(Msg(kTreatUnchecked), {static_cast<long>(uncheckedMeanwhile)}, thousands);
  if (notReached > 0) summary += "; " + FillCounts(Msg(kTreatStopped), {static_cast<long>(notReached)}, thousands);
  if (!checks.empty())
    summary += "; " + FillCounts(Msg(kTreatChecks), {static_cast<long>(checks.size())}, thousands);
  ShowStatus(AnsiToWide(summary));
  if (left == 0 && checks.empty()) return;

  std::vector<TReportWindow::TRow> report;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].done) continue;
    const char* subject = rows[i]->Data.txMsg.szSubject;
    report.push_back({MsgW(kReportMessageKind), Utf8ToWide(subject ? subject : ""),
                      Utf8ToWide(ReasonOf(items[i].error)), Utf8ToWide(DetailOf(items[i].error))});
  }
  for (const TFolderCheck& check : checks) {
    const std::string reason = check.error.empty() ? FillCounts(Msg(kTreatGrew), {check.grown, check.expected})
                                                   : ReasonOf(check.error);
    report.push_back({MsgW(kReportFolder), Utf8ToWide(check.folder), AnsiToWide(reason),
                      Utf8ToWide(DetailOf(check.error))});
  }
  ShowLeftReport(summary, std::move(report));
}

void TMainDlg::ShowLeftReport(const std::string& summary, std::vector<TReportWindow::TRow> rows) {
  std::vector<TReportWindow::TColumn> columns;
  for (const auto& column : kReportColumns) columns.push_back({MsgW(column.caption), column.width});
  FTreatWindow = std::make_unique<TReportWindow>(FHandle, FFont.Get(), AnsiToWide(summary), std::move(columns),
                                                 std::move(rows));
}
