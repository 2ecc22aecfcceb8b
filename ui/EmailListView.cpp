#include "ui/EmailListView.h"

#include <algorithm>
#include <vector>

#include "support/ModuleFolder.h"
#include "support/Utf8Text.h"
#include "ui/CheckImages.h"
#include "ui/Painting.h"
#include "ui/ReceivedText.h"

namespace {

constexpr int kRowHeight = 20;
constexpr int kHeaderHeight = 23;
constexpr int kIndent = 16;
constexpr UINT_PTR kListSubclass = 1, kHeaderSubclass = 2;
// The list control keeps its own timers; this id is not one of them.
constexpr UINT_PTR kReloadTimer = 0x51D0;
constexpr UINT kReloadDelay = 100;  // ms

struct TColumnDef {
  int nWidth;
  int nFormat;
};
constexpr TColumnDef kColumns[kEmailColumns] = {
    {150, LVCFMT_LEFT}, {100, LVCFMT_LEFT}, {200, LVCFMT_LEFT}, {100, LVCFMT_LEFT}, {70, LVCFMT_LEFT},
    {110, LVCFMT_LEFT}};

// The header image: a 3 x 25 gradient from white to RGB 197, 222, 255 over
// 24 rows, above a bottom row of RGB 101, 147, 207.
TBitmapHandle MakeHeaderImage() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = -25;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TBitmapHandle image(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!image) return image;
  auto* pixel = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < 25; ++y) {
    int r = 101, g = 147, b = 207;
    if (y < 24) {
      r = 255 + (197 - 255) * y / 23;
      g = 255 + (222 - 255) * y / 23;
      b = 255;
    }
    for (int x = 0; x < 3; ++x) pixel[y * 3 + x] = (r << 16) | (g << 8) | b;
  }
  return image;
}

LRESULT CALLBACK HeaderSubclassProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (nMsg == HDM_LAYOUT) {
    const LRESULT result = DefSubclassProc(hwnd, nMsg, wParam, lParam);
    auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
    layout->pwpos->cy = kHeaderHeight;
    layout->prc->top = layout->pwpos->y + kHeaderHeight;
    return result;
  }
  return DefSubclassProc(hwnd, nMsg, wParam, lParam);
}

}  // namespace

TEmailListView::TEmailListView(HWND parent, int nId, TEmailList& model, HFONT normal, HFONT bold, HFONT struck)
    : FModel(model), FNormal(normal), FBold(bold), FStruck(struck), FDecimal(UserDecimalSeparator()) {
  FHandle = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                            0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                            OwnModule(), nullptr);
  // The cells carry message texts in any script: the list asks for them in
  // UTF-16 (LVN_GETDISPINFOW), whatever the parent window's own format.
  ListView_SetUnicodeFormat(FHandle, TRUE);
  ListView_SetExtendedListViewStyle(FHandle, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP);
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(normal), FALSE);
  // The small-image list sets the row height; it holds no images.
  FRowHeight.Reset(ImageList_Create(1, kRowHeight, ILC_COLOR24, 0, 0));
  ListView_SetImageList(FHandle, FRowHeight.Get(), LVSIL_SMALL);
  for (int c = 0; c < kEmailColumns; ++c) {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_FMT | LVCF_TEXT;
    column.cx = kColumns[c].nWidth;
    column.fmt = kColumns[c].nFormat;
    column.pszText = const_cast<char*>("");
    ListView_InsertColumn(FHandle, c, &column);
  }
  FHeaderImage = MakeHeaderImage();
  SetWindowSubclass(FHandle, SubclassProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  if (HWND header = ListView_GetHeader(FHandle)) {
    SetWindowSubclass(header, HeaderSubclassProc, kHeaderSubclass, 0);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  }
}

TEmailListView::~TEmailListView() {
  // The control lets go of the image list before the holder frees it.
  if (IsWindow(FHandle)) {
    if (FReloadPending) KillTimer(FHandle, kReloadTimer);
    RemoveWindowSubclass(FHandle, SubclassProc, kListSubclass);
    if (HWND header = ListView_GetHeader(FHandle)) RemoveWindowSubclass(header, HeaderSubclassProc, kHeaderSubclass);
    ListView_SetImageList(FHandle, nullptr, LVSIL_SMALL);
  }
}

void TEmailListView::SetColumnCaption(int column, const std::string& caption) {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = const_cast<char*>(caption.c_str());
  ListView_SetColumn(FHandle, column, &info);
}

std::string TEmailListView::ColumnCaption(int column) const {
  char text[128] = {};
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = text;
  info.cchTextMax = sizeof(text);
  ListView_GetColumn(FHandle, column, &info);
  return text;
}

void TEmailListView::Reload() {
  if (FReloadPending) KillTimer(FHandle, kReloadTimer);
  FReloadPending = false;
  ListView_SetItemCountEx(FHandle, static_cast<int>(FModel.VisibleRows().size()), LVSICF_NOSCROLL);
  InvalidateRect(FHandle, nullptr, FALSE);
}

void TEmailListView::ShowAppendedRows() {
  KillTimer(FHandle, kReloadTimer);
  FReloadPending = false;
  const int shown = ListView_GetItemCount(FHandle);
  if (AppendShows(shown)) return Reload();
  ListView_SetItemCountEx(FHandle, static_cast<int>(FModel.VisibleRows().size()),
                          LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

bool TEmailListView::AppendShows(int shown) const {
  const int top = ListView_GetTopIndex(FHandle);
  if (shown <= top + ListView_GetCountPerPage(FHandle) + 1) return true;
  // Appended rows may join the last group shown: its row shows their count.
  const TEmailNode* last = RowAt(shown - 1);
  if (!last || !last->Parent) return false;
  const auto& siblings = last->Parent->Children;
  for (std::size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i].get() != last) continue;
    const int groupRow = shown - 2 - static_cast<int>(i);
    return groupRow >= top;
  }
  return true;  // not where it should be: paint everything
}

void TEmailListView::ReloadSoon() {
  if (FReloadPending) return;
  // Without the timer the rows would wait for the next Reload: show them now.
  if (!SetTimer(FHandle, kReloadTimer, kReloadDelay, nullptr)) return Reload();
  FReloadPending = true;
}

TEmailNode* TEmailListView::RowAt(int index) const {
  const auto& rows = FModel.VisibleRows();
  return index >= 0 && static_cast<std::size_t>(index) < rows.size() ? rows[index] : nullptr;
}

TEmailNode* TEmailListView::FirstSelected() const {
  return RowAt(ListView_GetNextItem(FHandle, -1, LVNI_SELECTED));
}

std::vector<TEmailNode*> TEmailListView::SelectedRows() const {
  std::vector<TEmailNode*> rows;
  for (int i = ListView_GetNextItem(FHandle, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(FHandle, i, LVNI_SELECTED))
    if (TEmailNode* row = RowAt(i)) rows.push_back(row);
  return rows;
}

void TEmailListView::AddToSelection(const TEmailNode* node) {
  const std::ptrdiff_t index = FModel.VisibleIndexOf(node);
  if (index >= 0) ListView_SetItemState(FHandle, static_cast<int>(index), LVIS_SELECTED, LVIS_SELECTED);
}

void TEmailListView::Select(const TEmailNode* node) {
  ListView_SetItemState(FHandle, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  const std::ptrdiff_t index = FModel.VisibleIndexOf(node);
  if (index < 0) return;
  ListView_SetItemState(FHandle, static_cast<int>(index), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(FHandle, static_cast<int>(index), FALSE);
}

void TEmailListView::ToggleExpanded(TEmailNode* node) {
  if (!node || !node->IsGroup()) return;
  FModel.SetExpanded(node, !node->Expanded);
  Reload();
  Select(node);  // the selection was kept by position, which has moved
}

std::string TEmailListView::CellText(const TEmailNode& node, int column) const {
  if (node.IsGroup()) return column == 0 ? GroupCaption(node.Data.txMsg, FSelFields) : std::string();
  return MessageCellText(node.Data, column, &ReceivedText, FDecimal);
}

std::wstring TEmailListView::CellTextW(const TEmailNode& node, int column) const {
  return Utf8ToWide(CellText(node, column));
}

RECT TEmailListView::ColumnRect(int column, const RECT& row) const {
  RECT cell{};
  Header_GetItemRect(ListView_GetHeader(FHandle), column, &cell);
  return RECT{row.left + cell.left, row.top, row.left + cell.right, row.bottom};
}

RECT TEmailListView::ExpanderRect(const RECT& row) const {
  const RECT first = ColumnRect(0, row);
  const int y = (row.top + row.bottom - 9) / 2;
  return RECT{first.left + 5, y, first.left + 14, y + 9};
}

RECT TEmailListView::CheckBoxRect(const TEmailNode& node, const RECT& row) const {
  const RECT first = ColumnRect(0, row);
  const int x = first.left + (node.Parent ? kIndent : 0) + 2;
  return RECT{x, row.top, x + 16, row.bottom};
}

void TEmailListView::PaintRow(HDC dc, int index) {
  const TEmailNode* node = RowAt(index);
  RECT row{};
  if (!node || !ListView_GetItemRect(FHandle, index, &row, LVIR_BOUNDS)) return;
  const bool selected = ListView_GetItemState(FHandle, index, LVIS_SELECTED) != 0;
  FillColour(dc, row, selected ? RGB(192, 192, 192) : GetSysColor(COLOR_WINDOW));
  if (selected) FrameColour(dc, row, GetFocus() == FHandle ? RGB(160, 160, 160) : GetSysColor(COLOR_BTNSHADOW));
  SetBkMode(dc, TRANSPARENT);
  if (node->IsGroup()) PaintGroupRow(dc, *node, row);
  else PaintMessageRow(dc, *node, row);
}

void TEmailListView::PaintGroupRow(HDC dc, const TEmailNode& node, const RECT& row) {
  // The expander: a small box with a minus when open, a plus when closed.
  const RECT box = ExpanderRect(row);
  FrameColour(dc, box, RGB(120, 152, 181));
  const int cy = (box.top + box.bottom) / 2, cx = (box.left + box.right) / 2;
  DrawLines(dc, {{box.left + 2, cy}, {box.right - 2, cy}}, RGB(0, 0, 0));
  if (!node.Expanded) DrawLines(dc, {{cx, box.top + 2}, {cx, box.bottom - 2}}, RGB(0, 0, 0));

  // The caption runs over the empty cells to its right; the count follows.
  RECT text = {box.right + 6, row.top, row.right - 4, row.bottom};
  const std::wstring caption = CellTextW(node, 0);
  const std::string count = GroupCountText(node.Children.size());
  {
    const TSelectedObject font(dc, FBold);
    SetTextColor(dc, node.Data.bDeleted ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_WINDOWTEXT));
    RECT measured = text;
    DrawTextW(dc, caption.c_str(), -1, &measured, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    RECT tail = {std::min<LONG>(measured.right + (caption.empty() ? 0 : 6), text.right), row.top, text.right,
                 row.bottom};
    SetTextColor(dc, RGB(0, 0, 255));
    DrawTextA(dc, count.c_str(), -1, &tail, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  // The group underline, 2 pixels above the bottom edge, across every cell.
  DrawLines(dc, {{row.left, row.bottom - 2}, {row.right, row.bottom - 2}}, RGB(166, 202, 240));
}

void TEmailListView::PaintMessageRow(HDC dc, const TEmailNode& node, const RECT& row) {
  if (node.HasCheckBox)
    DrawCheckBox(dc, CheckBoxRect(node, row), node.Checked ? TCheckPicture::Checked : TCheckPicture::Unchecked,
                 FHandle);
  const TSelectedObject font(dc, node.Data.bDeleted ? FStruck : FNormal);
  SetTextColor(dc, node.Data.bDeleted ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_WINDOWTEXT));
  for (int c = 0; c < kEmailColumns; ++c) {
    RECT cell = ColumnRect(c, row);
    cell.left += c == 0 ? CheckBoxRect(node, row).right - cell.left + 4 : 6;
    cell.right -= 4;
    if (cell.right <= cell.left) continue;
    const std::wstring text = CellTextW(node, c);
    DrawTextW(dc, text.c_str(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void TEmailListView::PaintHeaderImage(HDC dc, const RECT& r) const {
  const TMemoryDC image(CreateCompatibleDC(dc));
  const TSelectedObject selected(image.Get(), FHeaderImage.Get());
  StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, image.Get(), 0, 0, 3, 25, SRCCOPY);
}

LRESULT TEmailListView::OnHeaderDraw(NMCUSTOMDRAW* draw) {
  if (draw->dwDrawStage == CDDS_PREPAINT) {
    // The background right of the last column gets the image too.
    RECT all;
    GetClientRect(draw->hdr.hwndFrom, &all);
    PaintHeaderImage(draw->hdc, all);
    return CDRF_NOTIFYITEMDRAW;
  }
  if (draw->dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const RECT& r = draw->rc;
  PaintHeaderImage(draw->hdc, r);
  DrawLines(draw->hdc, {{r.right - 2, r.top + 3}, {r.right - 2, r.bottom - 2}}, RGB(154, 198, 255));
  char text[128] = {};
  HDITEMA item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  Header_GetItem(draw->hdr.hwndFrom, static_cast<int>(draw->dwItemSpec), &item);
  RECT t = {r.left + 6, r.top, r.right - 6, r.bottom - 1};
  const TSelectedObject font(draw->hdc, FNormal);
  SetBkMode(draw->hdc, TRANSPARENT);
  SetTextColor(draw->hdc, RGB(21, 66, 139));
  DrawTextA(draw->hdc, text, -1, &t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  return CDRF_SKIPDEFAULT;
}

LRESULT CALLBACK TEmailListView::SubclassProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
  auto* self = reinterpret_cast<TEmailListView*>(data);
  if (nMsg == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom == ListView_GetHeader(hwnd) && header->code == NM_CUSTOMDRAW)
      return self->OnHeaderDraw(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
  }
  if (nMsg == WM_TIMER && wParam == kReloadTimer) {
    self->ShowAppendedRows();
    return 0;
  }
  if (nMsg == WM_SETFOCUS || nMsg == WM_KILLFOCUS) InvalidateRect(hwnd, nullptr, FALSE);
  return DefSubclassProc(hwnd, nMsg, wParam, lParam);
}

void TEmailListView::ToggleSelectedChecks() {
  bool changed = false;
  for (int i = ListView_GetNextItem(FHandle, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(FHandle, i, LVNI_SELECTED)) {
    TEmailNode* node = RowAt(i);
    if (node && node->HasCheckBox) {
      FModel.SetChecked(node, !node->Checked);
      changed = true;
    }
  }
  if (!changed) return;
  Repaint();
  if (OnChecked) OnChecked();
}

void TEmailListView::OnClick(bool doubleClick) {
  LVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  ScreenToClient(FHandle, &hit.pt);
  const int index = ListView_HitTest(FHandle, &hit);
  TEmailNode* node = RowAt(index);
  if (!node) return;
  RECT row{};
  ListView_GetItemRect(FHandle, index, &row, LVIR_BOUNDS);
  if (node->IsGroup()) {
    const RECT box = ExpanderRect(row);
    const bool onBox = hit.pt.x >= box.left - 3 && hit.pt.x < box.right + 3;
    if (doubleClick || onBox) ToggleExpanded(node);
    return;
  }
  const RECT check = CheckBoxRect(*node, row);
  if (node->HasCheckBox && hit.pt.x >= check.left && hit.pt.x < check.right) {
    FModel.SetChecked(node, !node->Checked);
    Repaint();
    if (OnChecked) OnChecked();
    return;
  }
  if (doubleClick && OnViewEmail) OnViewEmail();
}

bool TEmailListView::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->hwndFrom != FHandle) return false;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      const TEmailNode* node = RowAt(info->item.iItem);
      if (node && (info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const std::wstring text = CellTextW(*node, info->item.iSubItem);
        lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
      }
      return true;
    }
    case NM_CUSTOMDRAW: {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) result = CDRF_NOTIFYITEMDRAW;
      else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        PaintRow(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec));
        result = CDRF_SKIPDEFAULT;
      } else result = CDRF_DODEFAULT;
      return true;
    }
    case NM_CLICK: OnClick(false); return true;
    case NM_DBLCLK: OnClick(true); return true;
    case NM_RETURN:
      if (OnViewEmail) OnViewEmail();
      return true;
    case NM_RCLICK: {
      POINT pt;
      GetCursorPos(&pt);
      if (OnContextPopup) OnContextPopup(pt);
      return true;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_SPACE) ToggleSelectedChecks();
      return true;
    case LVN_ODSTATECHANGED:
    case LVN_ITEMCHANGED:
      InvalidateRect(FHandle, nullptr, FALSE);
      return true;
    default:
      return false;
  }
}
