#include "ui/ReportWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "support/ModuleFolder.h"

namespace {

constexpr wchar_t kClassName[] = L"TReportWindow";

}  // namespace

TReportWindow::TReportWindow(HWND owner, HFONT font, const std::wstring& caption,
                             const std::vector<TColumn>& columns, std::vector<TRow> rows)
    : FRows(std::move(rows)) {
  // A Unicode class: the caption and the list's notifications carry UTF-16.
  static const TWindowClass registered(kClassName, TWindowThunk<TReportWindow>::Proc,
                                       TWindowLook{.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  int width = 24;
  for (const TColumn& c : columns) width += c.nWidth;
  const int height = 300;
  RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(owner, &over);
  const int x = std::max<int>(0, (over.left + over.right - width) / 2);
  const int y = std::max<int>(0, (over.top + over.bottom - height) / 2);
  FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX, x, y,
                            width, height, owner, nullptr, OwnModule(), this);
  if (!FHandle) return;
  // A virtual list: the rows are handed over as the list asks for them.
  FList = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
                          10, 10, FHandle, nullptr, OwnModule(), nullptr);
  SendMessageW(FList, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ListView_SetExtendedListViewStyle(FList, LVS_EX_FULLROWSELECT);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = columns[c].nWidth;
    column.pszText = const_cast<wchar_t*>(columns[c].strHeading.c_str());
    SendMessageW(FList, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  ListView_SetItemCountEx(FList, static_cast<int>(FRows.size()), 0);
  RECT client;
  GetClientRect(FHandle, &client);
  MoveWindow(FList, 0, 0, client.right, client.bottom, FALSE);
  ShowWindow(FHandle, SW_SHOWNORMAL);
  SetFocus(FList);
}

TReportWindow::~TReportWindow() {
  if (FHandle) DestroyWindow(FHandle);
}

int TReportWindow::RowCount() const { return FList ? ListView_GetItemCount(FList) : 0; }

std::wstring ListViewText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

std::wstring TReportWindow::ListText(int row, int column) const { return ListViewText(FList, row, column); }

std::wstring TReportWindow::Caption() const {
  wchar_t text[256] = {};
  GetWindowTextW(FHandle, text, 256);
  return text;
}

LRESULT TReportWindow::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_SIZE:
      if (FList) MoveWindow(FList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_NOTIFY:
      if (OnNotify(reinterpret_cast<NMHDR*>(lParam))) return 0;
      break;
    case WM_NCDESTROY:
      // Closed by the user or with its owner: the object stays, without a window.
      FHandle = nullptr;
      FList = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, nMsg, wParam, lParam);
}

bool TReportWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom != FList) return false;
  if (header->code == LVN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    const int row = info->item.iItem, column = info->item.iSubItem;
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0 && row >= 0 &&
        static_cast<std::size_t>(row) < FRows.size() && column >= 0 &&
        static_cast<std::size_t>(column) < FRows[row].size())
      lstrcpynW(info->item.pszText, FRows[row][column].c_str(), info->item.cchTextMax);
    return true;
  }
  if (header->code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_ESCAPE) {
    PostMessageW(FHandle, WM_CLOSE, 0, 0);
    return true;
  }
  return false;
}
