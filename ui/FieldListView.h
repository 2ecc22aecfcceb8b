// The compare-field list: one check-box row per compare field, the rows of
// the default fields in bold. The rows' data live here, in list order.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "indexapi/CompareFields.h"

class TFieldListView {
 public:
  TFieldListView(HWND parent, int nId, HFONT normal, HFONT bold);

  HWND Handle() const { return FHandle; }

  void Clear();
  // Appends a row with its data and a check box, checked when bDefault.
  void FillField(const std::string& strCaption, std::int32_t nFieldID, bool bDefault);
  int Count() const { return static_cast<int>(FDatas.size()); }
  const TFieldData& Data(int row) const { return FDatas[row]; }
  bool IsChecked(int row) const;
  void SetChecked(int row, bool checked);
  // The mask of the checked rows.
  std::int32_t SelectedMask() const;

  // Handles the control's notifications; true when handled.
  bool OnNotify(NMHDR* header, LRESULT& result);

 private:
  HWND FHandle;
  HFONT FNormal, FBold;  // the owner's
  std::vector<TFieldData> FDatas;
};

// Whether a field's row is drawn in bold: Subject, Sender E-mail and Message.
bool IsBoldField(std::int32_t nFieldID);
