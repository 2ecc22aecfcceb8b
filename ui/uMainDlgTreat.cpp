// Treating the checked rows of the results list: delete, move to Deleted
// Items, copy or move to a folder the user picks in Outlook.
#include "om/OutlookCalls.h"
#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "ui/uMainDlg.h"

namespace {

// The message rows in list order: each group's rows, and top-level message rows.
template <typename TVisit>
void ForEachMessageRow(TEmailList& list, TVisit visit) {
  for (const auto& root : list.Roots()) {
    if (!root->IsGroup()) {
      if (!visit(*root)) return;
      continue;
    }
    for (const auto& row : root->Children)
      if (!visit(*row)) return;
  }
}

}  // namespace

// The target folder from Outlook's folder picker; false when the user
// cancelled, the folder has no identifier or a call failed (shown).
bool TMainDlg::PickTarget(std::string& strEntryID) {
  try {
    if (!m_IDspApp) return false;
    const TComPtr<_NameSpace> nameSpace = om::GetNamespace(m_IDspApp.Get(), L"MAPI");
    if (!nameSpace) return false;
    const TComPtr<MAPIFolder> folder = om::PickFolder(nameSpace.Get());
    if (!folder) return false;
    strEntryID = WideToAnsi(om::GetEntryID(folder.Get()));
    om::GetName(folder.Get());
    return !strEntryID.empty();
  } catch (const std::exception& e) {
    ErrorBox(e.what());
    return false;
  }
}

bool TMainDlg::TreatRow(TEmailNode& node, TTreatment treatment, const std::string& target) {
  const char* id = node.Data.txMsg.szEntryID;
  if (!id || !*id) return false;
  // A message the session could not treat raises, naming the failed call;
  // its row stays checked with its box, which is all the window shows of it.
  try {
    switch (treatment) {
      case TTreatment::DeletePermanently: FSession->DelMsg(id, false); break;
      case TTreatment::MoveToDeletedItems: FSession->DelMsg(id, true); break;
      case TTreatment::CopyToFolder: FSession->MoveMsg(id, target, 0); break;
      case TTreatment::MoveToFolder: FSession->MoveMsg(id, target, MESSAGE_MOVE); break;
    }
    return true;
  } catch (const std::exception&) {
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
  std::string target;
  if (NeedsTarget(treatment) && !PickTarget(target)) return;
  if (treatment == TTreatment::DeletePermanently &&
      FSetup.ShowMessage(FHandle,
                         MsgUtf8("strDelMsg", "Are you sure that you want to permanently delete the selected item(s)?"),
                         "Quop", MB_ICONQUESTION | MB_YESNO) != IDYES)
    return;
  FStopDel = false;
  FProgress->SetPosition(0);
  int count = 0;
  ForEachMessageRow(FEmails, [&](TEmailNode& row) {
    if (row.Checked) ++count;
    return true;
  });
  if (count == 0) return;
  FProgress->SetMax(count);
  FProgress->SetPosition(0);
  FProgress->Show();

  LockForTreatment(true);
  // The rows are walked by place, and each row is looked up again after the
  // window has processed its messages: should the list have changed under
  // the walk (a search started, the results cleared), the walk ends there.
  const unsigned run = FRun;
  int position = 0;
  bool listChanged = false;
  for (std::size_t g = 0; !FStopDel && !listChanged && g < FEmails.Roots().size(); ++g) {
    TEmailNode* const root = FEmails.Roots()[g].get();
    const bool group = root->IsGroup();
    const std::size_t rows = group ? root->Children.size() : 1;
    for (std::size_t r = 0; !FStopDel && r < rows; ++r) {
      TEmailNode* const row = group ? root->Children[r].get() : root;
      if (!row->Checked) continue;
      FProgress->SetPosition(++position);
      ProcessMessages();
      listChanged = FRun != run || FSearching || g >= FEmails.Roots().size() || FEmails.Roots()[g].get() != root ||
                    (group && (r >= root->Children.size() || root->Children[r].get() != row));
      if (listChanged) break;
      if (!row->Data.bDeleted && TreatRow(*row, treatment, target)) {
        row->Data.bDeleted = true;
        row->Data.bChecked = false;
        row->HasCheckBox = false;  // the check state stays
        FEmailView->Repaint();
      }
    }
  }
  FProgress->Hide();
  LockForTreatment(false);
  FEmailView->Repaint();
  if (FCloseAfterTreat) PostMessageA(FHandle, WM_CLOSE, 0, 0);
}
