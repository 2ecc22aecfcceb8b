#include "ui/FieldListView.h"

#include "support/ModuleFolder.h"

bool IsBoldField(std::int32_t nFieldID) {
  return nFieldID == FIELD_SUBJECT || nFieldID == FIELD_SENDER_EMAIL || nFieldID == FIELD_MESSAGE;
}

TFieldListView::TFieldListView(HWND parent, int nId, HFONT normal, HFONT bold) : FNormal(normal), FBold(bold) {
  FHandle = CreateWindowExA(0, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                            OwnModule(), nullptr);
  ListView_SetExtendedListViewStyle(FHandle, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = 220;
  ListView_InsertColumn(FHandle, 0, &column);
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(normal), FALSE);
}

void TFieldListView::Clear() {
  ListView_DeleteAllItems(FHandle);
  FDatas.clear();
}

void TFieldListView::FillField(const std::string& strCaption, std::int32_t nFieldID, bool bDefault) {
  FDatas.push_back(TFieldData{strCaption, nFieldID, bDefault});
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = Count() - 1;
  item.pszText = const_cast<char*>(strCaption.c_str());
  item.lParam = Count() - 1;
  const int row = ListView_InsertItem(FHandle, &item);
  ListView_SetCheckState(FHandle, row, bDefault);
}

bool TFieldListView::IsChecked(int row) const { return ListView_GetCheckState(FHandle, row) != FALSE; }

void TFieldListView::SetChecked(int row, bool checked) {
  ListView_SetCheckState(FHandle, row, checked);
  FDatas[row].bSelected = checked;  // the notification says the same
}

std::int32_t TFieldListView::SelectedMask() const {
  std::int32_t mask = 0;
  for (const TFieldData& data : FDatas) {
    if (data.bSelected) mask |= data.nFieldID;
  }
  return mask;
}

bool TFieldListView::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->hwndFrom != FHandle) return false;
  if (header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && change->iItem >= 0 && change->iItem < Count() &&
        ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)) {
      FDatas[change->iItem].bSelected = IsChecked(change->iItem);
    }
    return true;
  }
  if (header->code == NM_CUSTOMDRAW) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
      return true;
    }
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      const int row = static_cast<int>(draw->nmcd.dwItemSpec);
      const bool bold = row >= 0 && row < Count() && IsBoldField(FDatas[row].nFieldID);
      // CDRF_NEWFONT: the control puts its own font back after the row.
      SelectObject(draw->nmcd.hdc, bold ? FBold : FNormal);
      result = CDRF_NEWFONT;
      return true;
    }
  }
  return false;
}
