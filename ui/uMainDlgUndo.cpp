// The treatment journal as the window writes it, and undoing the last
// treatment from it: "&Undo last treatment", and the offer at start-up to put
// back a run that was cut short.
//
// After an undo the results list is left as it is: its struck-out rows name
// messages by identifiers the moves back have replaced, so the status bar
// asks for a new search rather than the list guessing.
#include <algorithm>

#include "support/AnsiText.h"
#include "ui/CountText.h"
#include "ui/ReceivedText.h"
#include "ui/uMainDlg.h"

namespace {

TJournalCommand JournalCommandOf(TTreatment treatment) {
  switch (treatment) {
    case TTreatment::DeletePermanently: return TJournalCommand::Delete;
    case TTreatment::MoveToDeletedItems: return TJournalCommand::SoftDelete;
    case TTreatment::CopyToFolder: return TJournalCommand::Copy;
    case TTreatment::MoveToFolder: return TJournalCommand::Move;
  }
  return TJournalCommand::Delete;
}

// "2026-12-11T00:05:12Z" as "2026-12-11 00:05:12 UTC".
std::string RunTimeText(std::string time) {
  if (time.size() == 20 && time[10] == 'T' && time.back() == 'Z') {
    time[10] = ' ';
    time.back() = ' ';
    time += "UTC";
  }
  return time;
}

// The texts of the journal and of an undo.
constexpr TLangText kJournalUnwritable{
    "strJournalUnwritable", "The treatment journal cannot be written, so the treatment could not be undone:"};
constexpr TLangText kJournalTreatAnyway{"strJournalTreatAnyway", "Treat the messages all the same?"};
constexpr TLangText kJournalNone{"strJournalNone", "Not journalled: this treatment cannot be undone"};
constexpr TLangText kJournalProblem{"strJournalProblem", "The journal is incomplete"};
constexpr TLangText kJournalAmbiguous{"strJournalAmbiguous",
                                      "%d moved message(s) cannot be told apart from copies that arrived with them; "
                                      "an undo leaves them where they are"};
constexpr TLangText kUndoOffer{"strUndoOffer", "File > Undo last treatment puts the treated messages back"};
constexpr TLangText kUndoCutShort{
    "strUndoCutShort", "The treatment started %s was cut short before it ended; %d message(s) were planned for it."};
constexpr TLangText kUndoCutShortAsk{"strUndoCutShortAsk", "Put them back into their folders now?"};
constexpr TLangText kUndoWaitSearch{"strUndoWaitSearch", "Undo waits for the search to end"};
constexpr TLangText kUndoConfirm{
    "strUndoConfirm", "Put the %d message(s) of the last treatment back into the folders they came from?"};
constexpr TLangText kUndoCaption{"strUndoCaption", "Putting Messages Back"};
constexpr TLangText kUndoRestored{"strUndoRestored", "Restored %d of %d"};
constexpr TLangText kUndoStopped{"strUndoStopped", "stopped before %d"};
constexpr TLangText kUndoSearchAgain{"strUndoSearchAgain", "search again to see the results as they are now"};
constexpr TLangText kUndoTexts[] = {kJournalUnwritable, kJournalTreatAnyway, kJournalNone,  kJournalProblem,
                                    kJournalAmbiguous,
                                    kUndoOffer,         kUndoCutShort,       kUndoCutShortAsk, kUndoWaitSearch,
                                    kUndoConfirm,       kUndoCaption,        kUndoRestored,  kUndoStopped,
                                    kUndoSearchAgain};

// The outcomes the report of an undo names (all but Restored and NotMoved),
// each by its key here; the English text is the undo's own (UndoOutcomeText).
constexpr TUndoOutcome kReportedOutcomes[] = {TUndoOutcome::Pending,        TUndoOutcome::Purged,
                                              TUndoOutcome::MovedElsewhere, TUndoOutcome::KeyInFolder,
                                              TUndoOutcome::FolderGone,     TUndoOutcome::Failed,
                                              TUndoOutcome::Stopped};
const char* OutcomeKey(TUndoOutcome outcome) {
  switch (outcome) {
    case TUndoOutcome::Pending: return "strUndoPending";
    case TUndoOutcome::Restored: return "strUndoRestoredOne";
    case TUndoOutcome::NotMoved: return "strUndoNotMoved";
    case TUndoOutcome::Purged: return "strUndoPurged";
    case TUndoOutcome::MovedElsewhere: return "strUndoMovedElsewhere";
    case TUndoOutcome::KeyInFolder: return "strUndoKeyInFolder";
    case TUndoOutcome::FolderGone: return "strUndoFolderGone";
    case TUndoOutcome::Failed: return "strUndoFailed";
    case TUndoOutcome::Stopped: return "strUndoStoppedOne";
  }
  return "";
}
TLangText OutcomeText(TUndoOutcome outcome) { return {OutcomeKey(outcome), UndoOutcomeText(outcome)}; }

// The subject of the results row of a message, when the list has it.
std::string SubjectInList(TEmailList& list, const std::string& entryID) {
  for (const auto& root : list.Roots()) {
    if (!root->IsGroup() && root->Data.txMsg.szEntryID && entryID == root->Data.txMsg.szEntryID)
      return root->Data.txMsg.szSubject ? root->Data.txMsg.szSubject : "";
    for (const auto& row : root->Children)
      if (row->Data.txMsg.szEntryID && entryID == row->Data.txMsg.szEntryID)
        return row->Data.txMsg.szSubject ? row->Data.txMsg.szSubject : "";
  }
  return {};
}

// The messages an undo did not put back but could still: stopped before
// their list, or their list failed. They go into a run of their own, so that
// "&Undo last treatment" takes them up where this undo left them.
bool JournalTheRest(const std::filesystem::path& folder, const TJournalRun& run, std::span<const TUndoItem> items,
                    std::string& error) {
  std::vector<TJournalEntry> rest;
  for (const TUndoItem& item : items)
    if ((item.outcome == TUndoOutcome::Stopped || item.outcome == TUndoOutcome::Failed) && !item.entryIDNow.empty())
      rest.push_back({JournalTimeNow(), run.command, item.storeEntryID, item.storeName, item.sourceFolder,
                      item.entryIDNow, {}, item.searchKey, {}});
  if (rest.empty()) return true;
  TJournalWriter writer(folder);
  const bool written = !writer.StartRun(run.command, run.targetFolderEntryID).empty() &&
                       writer.MarkBatchDone(writer.WriteBatch(rest), {}) && writer.EndRun();
  if (!written) error = writer.Error();
  return written;
}

}  // namespace

std::vector<std::string> UndoTextDefaults() {
  std::vector<std::string> lines;
  for (const TLangText& text : kUndoTexts) lines.push_back(LangLine(text));
  for (const TUndoOutcome outcome : kReportedOutcomes) lines.push_back(LangLine(OutcomeText(outcome)));
  lines.push_back(LangLine(kReportMessageKind));
  return lines;
}

std::filesystem::path TMainDlg::JournalFolder() const {
  if (!FSetup.strJournalFolder.empty()) return std::filesystem::path(FSetup.strJournalFolder);
  return std::filesystem::path(FSetup.strDBFile).parent_path();
}

bool TMainDlg::StartJournal(TTreatment treatment, const std::string& target,
                            std::unique_ptr<TTreatmentJournal>& journal) {
  FJournalProblems.clear();
  journal = std::make_unique<TTreatmentJournal>(JournalFolder(), JournalCommandOf(treatment), target);
  if (journal->Writable()) return true;
  const std::string text = MsgUtf8(kJournalUnwritable) + "\r\n" + journal->Error() + "\r\n\r\n" +
                           MsgUtf8(kJournalTreatAnyway);
  journal.reset();
  return FSetup.ShowMessage(FHandle, text, "Quop", MB_ICONWARNING | MB_YESNO) == IDYES;
}

void TMainDlg::EndJournal(TTreatmentJournal* journal, const TBatchTreatment& batch) {
  FJournalProblems = batch.JournalProblems();
  // Their new identifiers were not written: said first, as it is what an undo will miss.
  if (const std::size_t ambiguous = batch.Ambiguous().size(); ambiguous > 0)
    FJournalProblems.insert(FJournalProblems.begin(),
                            FillCounts(Msg(kJournalAmbiguous), {static_cast<long>(ambiguous)}, UserThousandsSeparator()));
  if (journal && !journal->End()) FJournalProblems.push_back(journal->Error());
}

// Over the results, beside the treatment's own summary in the status bar:
// that the treatment can be undone, or that the journal missed something
// (undo then checks where each message is).
void TMainDlg::ShowJournalOutcome(TTreatmentJournal* journal, TTreatment treatment) {
  RefreshUndoCommand();
  std::string more;
  if (!journal) {
    more = Msg(kJournalNone);
  } else if (!FJournalProblems.empty()) {
    const std::string& first = FJournalProblems.front();
    more = Msg(kJournalProblem) + ": " + first.substr(0, first.find("\r\n"));
  } else if (journal->Started() &&
             (treatment == TTreatment::MoveToDeletedItems || treatment == TTreatment::MoveToFolder) &&
             FMenus->IsEnabled(cmdUndo)) {
    more = Msg(kUndoOffer);
  }
  if (!more.empty()) ShowMsg(more);
}

void TMainDlg::RefreshUndoCommand() {
  const std::optional<TJournalRun> run = LastJournalRun(JournalFolder());
  FMenus->Enable(cmdUndo, run && OffersUndo(*run));
}

// A last run cut short (a crash, a kill) is offered for undo at every start
// until it is undone or a newer treatment is journalled: "No" leaves it, and
// "&Undo last treatment" can still put it back later.
void TMainDlg::OfferUndoOfCutRun() {
  const std::optional<TJournalRun> run = LastJournalRun(JournalFolder());
  FMenus->Enable(cmdUndo, run && OffersUndo(*run));
  if (!run || run->Finished() || !OffersUndo(*run) || !FSession) return;
  const std::string text =
      FillCounts(MsgUtf8(kUndoCutShort), {static_cast<long>(MessageCountOf(*run))}, UserThousandsSeparator());
  const std::size_t at = text.find("%s");
  const std::string said =
      at == std::string::npos ? text : text.substr(0, at) + RunTimeText(run->time) + text.substr(at + 2);
  if (FSetup.ShowMessage(FHandle, said + "\r\n\r\n" + MsgUtf8(kUndoCutShortAsk), "Quop", MB_ICONWARNING | MB_YESNO) ==
      IDYES)
    UndoRun(*run);
}

void TMainDlg::mniUndoClick() {
  if (FTreating || !FSession) return;
  if (FSearching) {
    ShowStatus(AnsiToWide(Msg(kUndoWaitSearch)));
    return;
  }
  const std::optional<TJournalRun> run = LastJournalRun(JournalFolder());
  if (!run || !OffersUndo(*run)) return RefreshUndoCommand();
  const std::string text =
      FillCounts(MsgUtf8(kUndoConfirm), {static_cast<long>(MessageCountOf(*run))}, UserThousandsSeparator());
  if (FSetup.ShowMessage(FHandle, text, "Quop", MB_ICONQUESTION | MB_YESNO) != IDYES) return;
  UndoRun(*run);
}

// The run's messages go back a list at a time with the progress box and its
// Cancel; the run is then marked undone, and what could still be put back
// (stopped, or a failed call) is journalled as a run of its own.
void TMainDlg::UndoRun(const TJournalRun& run) {
  std::vector<TUndoItem> items = UndoItemsOf(run);
  FStopDel = false;
  FTreatWindow.reset();
  const std::string treatingCaption = FProgress->Caption();  // a treatment's, given back afterwards
  FProgress->SetCaption(Msg(kUndoCaption));
  FProgress->SetMax(static_cast<int>(items.size()));
  FProgress->SetPosition(0);
  FProgress->Show();
  LockForTreatment(true);
  std::string failure;
  try {
    TUndoTreatment undo(*FSession, run.command == TJournalCommand::Move ? run.targetFolderEntryID : "");
    undo.Run(
        items,
        [this](std::size_t dealt) {
          FProgress->SetPosition(static_cast<int>(dealt));
          ProcessMessages();
        },
        [this] { return FStopDel; });
  } catch (const std::exception& e) {
    failure = e.what();  // nothing was moved: the run stays to be undone
  }
  FProgress->Hide();
  FProgress->SetCaption(treatingCaption);
  LockForTreatment(false);
  if (failure.empty() && JournalTheRest(JournalFolder(), run, items, failure)) {
    TJournalWriter writer(JournalFolder());
    if (!writer.MarkRunUndone(run.runID)) failure = writer.Error();
  }
  RefreshUndoCommand();
  if (FCloseAfterTreat) {
    PostMessageA(FHandle, WM_CLOSE, 0, 0);
    return;
  }
  ShowMsg(std::string());  // the offer to undo, if it was there
  ShowUndoOutcome(items);
  if (!failure.empty()) ErrorBox(failure);
}

void TMainDlg::ShowUndoOutcome(std::span<const TUndoItem> items) {
  const auto count = [&](auto pick) { return static_cast<long>(std::count_if(items.begin(), items.end(), pick)); };
  const long restored = count([](const TUndoItem& i) { return i.outcome == TUndoOutcome::Restored; });
  const long needed = count([](const TUndoItem& i) { return i.outcome != TUndoOutcome::NotMoved; });
  const long stopped = count([](const TUndoItem& i) { return i.outcome == TUndoOutcome::Stopped; });
  const char thousands = UserThousandsSeparator();
  std::string summary = FillCounts(Msg(kUndoRestored), {restored, needed}, thousands);
  if (stopped > 0) summary += "; " + FillCounts(Msg(kUndoStopped), {stopped}, thousands);
  summary += "; " + Msg(kUndoSearchAgain);
  ShowStatus(AnsiToWide(summary));
  if (restored == needed) return;

  std::vector<TReportWindow::TRow> report;
  for (const TUndoItem& item : items) {
    if (item.outcome == TUndoOutcome::Restored || item.outcome == TUndoOutcome::NotMoved) continue;
    const std::string subject = SubjectInList(FEmails, item.entryIDBefore);
    const std::size_t cut = item.error.find("\r\n");
    // A failed call's text is UTF-8 from the store layer; a language text is in the code page.
    const std::wstring reason = item.outcome == TUndoOutcome::Failed && !item.error.empty()
                                    ? Utf8ToWide(item.error.substr(0, cut))
                                    : MsgW(OutcomeText(item.outcome));
    report.push_back({MsgW(kReportMessageKind), Utf8ToWide(subject.empty() ? item.storeName : subject),
                      reason, Utf8ToWide(cut == std::string::npos ? "" : item.error.substr(cut + 2))});
  }
  ShowLeftReport(summary, std::move(report));
}
