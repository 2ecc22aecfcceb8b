// The compare-field list and the commands of the results list.
#include "ui/uMainDlg.h"

void TMainDlg::FillFields() {
  FFieldList->Clear();
  for (const TCompareField& field : CompareFields)
    FFieldList->FillField(FieldText(field.szKey, field.szCaption), field.nFieldID, field.bDefault);
}

void TMainDlg::mniSelectDefaultClick() {
  for (int row = 0; row < FFieldList->Count(); ++row)
    FFieldList->SetChecked(row, IsBoldField(FFieldList->Data(row).nFieldID));
}

void TMainDlg::mniFieldSelectAllClick() {
  for (int row = 0; row < FFieldList->Count(); ++row) FFieldList->SetChecked(row, true);
}

void TMainDlg::mniFieldUnselectAllClick() {
  for (int row = 0; row < FFieldList->Count(); ++row) FFieldList->SetChecked(row, false);
}

void TMainDlg::mniFieldInverseSelectionClick() {
  for (int row = 0; row < FFieldList->Count(); ++row) FFieldList->SetChecked(row, !FFieldList->IsChecked(row));
}

void TMainDlg::vstEmailsChecked() { EnableCommands(TreatmentCommands, FEmails.AnyChecked()); }

void TMainDlg::mniEmailSelectAllDuplicatesClick() {
  FEmails.SelectAllDuplicates();
  FEmailView->Repaint();
  vstEmailsChecked();
}

void TMainDlg::mniEmailClearSelectedClick() {
  FEmails.UnselectAll();
  FEmailView->Repaint();
  vstEmailsChecked();
}

void TMainDlg::mniInverseSelecionClick() {
  FEmails.InverseSelection();
  FEmailView->Repaint();
  vstEmailsChecked();
}

void TMainDlg::mniEmailExpandAllClick() {
  const TEmailNode* selected = FEmailView->FirstSelected();
  FEmails.ExpandAll();
  FEmailView->Reload();
  if (selected) FEmailView->Select(selected);
}

void TMainDlg::mniEmailCollapseAllClick() {
  TEmailNode* selected = FEmailView->FirstSelected();
  FEmails.CollapseAll();
  FEmailView->Reload();
  // A hidden message row hands the selection to its group row.
  if (selected && selected->Parent && !selected->Parent->Expanded) selected = selected->Parent;
  if (selected) FEmailView->Select(selected);
}

void TMainDlg::mniViewEmailClick() {
  const TEmailNode* node = FEmailView->FirstSelected();
  if (!node || node->IsGroup() || !node->Data.txMsg.szEntryID) return;
  try {
    FSession->ShowMsgForm(node->Data.txMsg.szEntryID);
  } catch (const std::exception& e) {
    ErrorBox(e.what());
  }
}

void TMainDlg::pmEmailPopup() {
  const TEmailNode* node = FEmailView->FirstSelected();
  if (node) FMenus->Enable(cmdViewEmail, !node->IsGroup());
}
