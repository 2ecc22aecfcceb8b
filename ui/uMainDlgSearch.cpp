// The run of a search: settings, collection, loading, the end of the run.
#include <windowsx.h>

#include <algorithm>

#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "ui/uMainDlg.h"

namespace {

TDateTime DateOf(const SYSTEMTIME& st) {
  SYSTEMTIME day = st;
  day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
  double value = 0;
  SystemTimeToVariantTime(&day, &value);
  return value;
}

TDateTime DateField(HWND picker) {
  SYSTEMTIME st{};
  if (DateTime_GetSystemtime(picker, &st) != GDT_VALID) return 0;
  return DateOf(st);
}

}  // namespace

TSearchState TMainDlg::State() const {
  if (!FSearching) return TSearchState::Idle;
  return FLoadEmails ? TSearchState::Loading : TSearchState::Collecting;
}

void TMainDlg::ClearResults() {
  FEmails.Clear();
  FEmailView->Reload();
}

// Every event a worker raises carries the tag of its run; the events of a
// run that a newer one replaced are dropped.
void TMainDlg::BindSessionEvents(unsigned nRun) {
  FSession->OnProgressStep = [this, nRun](TsxMAPI_Session*) {
    if (nRun == FRun) OnStepProgress(true);
  };
  FSession->OnProgressMsg = [this, nRun](const std::string& text) {
    if (nRun == FRun && FSearching) OnShowProgressMsg(text);
  };
  FSession->OnTerminate = [this, nRun](TsxMAPI_Session*) {
    if (nRun == FRun) OnTerminateGetAllMsg(true);
  };
}

void TMainDlg::WaitForWorkers() {
  if (FSession) FSession->WaitForRun();
  if (FLoadEmails) {
    FLoadEmails->Terminate();
    FLoadEmails->WaitFor();
    FLoadEmails.reset();
  }
}

bool TMainDlg::UpdateMsgSet() {
  FSession->ClearFolderSet();
  std::vector<TFolderPick> folders;
  for (const TNodeData* data : FTreeFolder.Datas()) {
    if (!data) continue;
    const std::string id = WideToAnsi(data->strEntryID);
    FSession->AddFolderSet(id, data->bChecked);
    folders.push_back(TFolderPick{id, data->bChecked});
    if (data->bChecked) ++FFoldersCount;
  }
  // Folders the tree does not list cannot be ticked, so they are not searched.
  for (const std::wstring& hidden : FTreeFolder.HiddenEntryIDs()) FSession->AddFolderSet(WideToAnsi(hidden), false);

  TSearchChoices choices;
  choices.Folders = folders;
  choices.nSelFields = FFieldList->SelectedMask();
  choices.bSearchOverFolders = Button_GetCheck(rbtnOverFolders) == BST_CHECKED;
  choices.ReceivedRange = ReceivedRange();
  choices.dtFromField = DateField(deFrom);
  choices.dtToField = DateField(deTo);
  SYSTEMTIME now;
  GetLocalTime(&now);
  choices.dtToday = DateOf(now);
  if (JoinCheckedEntryIDs(folders).empty()) {
    ErrorBox(MsgUtf8("strSelFolders", "Please select folders for search"));
    return false;
  }
  if (choices.nSelFields == 0) {
    ErrorBox(MsgUtf8("strSelFields", "Please select fields for compare"));
    return false;
  }
  FSession->nSelFields = choices.nSelFields;
  FSession->SetSearchOverFolders(choices.bSearchOverFolders);
  FMsgSet = FillMsgSet(choices);
  if (FtxDB) FtxDB->SetMsgSet(FMsgSet.Record());
  return true;
}

void TMainDlg::btnSearchClick() {
  if (FTreating) return;  // the rows are being walked; the button is off meanwhile
  EnableCommands(SelectionCommands, false);
  EnableCommands(TreatmentCommands, false);
  if (FSearching) {
    // Stop: the workers are asked to end, and the window is Idle at once.
    FStoping = true;
    FSession->StopGetAllMsg();
    if (FtxDB) FtxDB->StopFindMsg();
    if (FLoadEmails) FLoadEmails->Terminate();
    EndOfSearch(true);
    return;
  }
  // A stopped run may still be ending; the index takes no settings before it has.
  WaitForWorkers();
  FFoldersCount = 0;
  FFoldersNum = 0;
  bsbGauge->SetPosition(0);
  ClearResults();
  // What the previous run skipped is no longer the news.
  FMsgRead = 0;
  FSkippedItems.clear();
  FCollectionComplete = false;
  FSkippedWindow.reset();
  FMenus->Enable(cmdSkipped, false);
  if (!UpdateMsgSet()) {
    ShowMsg(Msg("strNoDuplicates", "No duplicated emails found yet"));
    return;
  }
  ShowMsg(Msg("strSearching", "Searching..."));
  FStoping = false;
  FSearching = true;
  SetWindowTextA(btnSearch, Msg("strStop", "&Stop").c_str());
  ShowWindow(bsbGauge->Handle(), SW_SHOWNA);
  SetSettingsPanelHeight(true);
  FEmailView->SetSelFields(FSession->nSelFields);
  BindSessionEvents(++FRun);
  if (FtxDB) FtxDB->ClearDB();
  if (!FSession->GetAllMessage()) OnTerminateGetAllMsg(true);
}

void TMainDlg::OnStepProgress(bool fromSession) {
  if (fromSession) {
    ++FFoldersNum;
    if (FFoldersCount > 0) bsbGauge->SetPosition(FFoldersNum * 50 / FFoldersCount);
  } else {
    bsbGauge->SetPosition(bsbGauge->Position() + 1);
  }
}

// The collection reports every message it reads; the status bar shows the
// latest report at most every 50 ms, so a fast worker cannot keep the window
// busy repainting texts nobody can read.
void TMainDlg::OnShowProgressMsg(const std::string& text) {
  FPendingStatus = text;
  if (!FStatusTimer) FStatusTimer = SetTimer(FHandle, kStatusTimer, 50, nullptr);
}

void TMainDlg::ShowStatus(const std::wstring& text) {
  if (FStatusTimer) KillTimer(FHandle, kStatusTimer);
  FStatusTimer = 0;
  FPendingStatus.clear();
  SendMessageW(splMain, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMainDlg::StartLoader() {
  const unsigned nRun = FRun;
  TLoadEmailsEvents events;
  events.OnAddEmails = [this, nRun](std::vector<TOwnedQuopMsg>& batch) {
    // Rows come only from the loader of this run, and not after Stop.
    if (nRun == FRun && FLoadEmails && !FLoadEmails->Terminated()) AddEmails(batch);
  };
  events.OnProgressStep = [this, nRun] {
    if (nRun == FRun && FSearching) OnStepProgress(false);
  };
  events.OnTerminate = [this, nRun] {
    if (nRun != FRun) return;
    if (FLoadEmails) {
      FLoadEmails->WaitFor();
      FLoadEmails.reset();
    }
    OnTerminateGetAllMsg(false);
  };
  FLoadEmails = std::make_unique<TLoadEmails>(*FtxDB, *FDispatcher, std::move(events));
  FLoadEmails->Start();
}

void TMainDlg::AddEmails(std::vector<TOwnedQuopMsg>& batch) {
  const char* lastGroup = nullptr;
  for (TOwnedQuopMsg& record : batch) {
    // The rows take the records' strings: the subject is read from the model.
    const TAddResult added = FEmails.AdoptEmail(record.Get());
    if (added.bNewGroup) {
      const char* subject = FEmails.Roots().back()->Data.txMsg.szSubject;
      lastGroup = subject ? subject : "";
    }
  }
  // The status bar names the subject of the group added last.
  if (lastGroup) OnShowProgressMsg(lastGroup);
  FEmailView->ReloadSoon();
}

void TMainDlg::OnTerminateGetAllMsg(bool fromSession) {
  if (fromSession) {
    TakeCollectionCounts();
    ShowMsg(std::string());
    if (FtxDB) FtxDB->CommitDB();
    if (!FStoping && FtxDB) {
      ClearResults();
      StartLoader();
      return;
    }
  }
  EndOfSearch(false);
}

void TMainDlg::EndOfSearch(bool forStop) {
  // A run that collected to its end reports what it read and skipped.
  ShowStatus(FCollectionComplete ? ReadSkippedText() : AnsiToWide(Msg("strReady", "Ready")));
  SetWindowTextA(btnSearch, Msg("strSearch", "&Search").c_str());
  FSearching = false;
  if (!forStop) FStoping = false;
  ShowWindow(bsbGauge->Handle(), SW_HIDE);
  SetSettingsPanelHeight(false);
  FEmails.KeepLastGroup();  // the last group loaded is complete now
  const bool found = FEmails.GroupCount() > 0;
  EnableCommands(SelectionCommands, found);
  if (!found) ShowMsg(Msg("strNoDuplicates", "No duplicated emails found yet"));
  EnableCommands(TreatmentCommands, FEmails.AnyChecked());
  // The rows of the last batches are shown now rather than a moment later.
  FEmailView->Reload();
}
