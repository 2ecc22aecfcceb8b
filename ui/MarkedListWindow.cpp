#include "ui/MarkedListWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "support/ModuleFolder.h"

namespace {

constexpr wchar_t kClassName[] = L"TMarkedListWindow";
constexpr int kNoteHeight = 40, kButtonHeight = 25, kButtonWidth = 96, kMargin = 6;
constexpr int kButtonId = 1;

}  // namespace

TMarkedListWindow::TMarkedListWindow(HWND owner, HFONT font, HFONT bold, const TMarkedListLook& look,
                                     std::vector<TMarkedRow> rows)
    : FBold(bold), FRows(std::move(rows)) {
  // A Unicode class: the texts and the list's notifications carry UTF-16.
  static const TWindowClass registered(kClassName, TWindowThunk<TMarkedListWindow>::Proc,
                                       TWindowLook{.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  int width = 40;
  for (const TReportWindow::TColumn& c : look.columns) width += c.nWidth;
  const int height = 380;
  RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(owner, &over);
  const int x = std::max<int>(0, (over.left + over.right - width) / 2);
  const int y = std::max<int>(0, (over.top + over.bottom - height) / 2);
  FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, look.caption.c_str(), WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX,
                            x, y, width, height, owner, nullptr, OwnModule(), this);
  if (!FHandle) return;
  const auto child = [this, font](const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int id) {
    const HWND h = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, FHandle,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), OwnModule(), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
  };
  FNote = child(L"STATIC", look.note, SS_LEFT | SS_NOPREFIX, 0, 0);
  // A virtual list: the rows are handed over as the list asks for them.
  FList = child(WC_LISTVIEWW, L"",
                WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | (look.multiSelect ? 0 : LVS_SINGLESEL),
                WS_EX_CLIENTEDGE, 0);
  ListView_SetExtendedListViewStyle(FList, LVS_EX_FULLROWSELECT);
  for (std::size_t c = 0; c < look.columns.size(); ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = look.columns[c].nWidth;
    column.pszText = const_cast<wchar_t*>(look.columns[c].strHeading.c_str());
    SendMessageW(FList, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  ListView_SetItemCountEx(FList, static_cast<int>(FRows.size()), 0);
  if (!look.button.empty()) FButton = child(L"BUTTON", look.button, BS_PUSHBUTTON | WS_TABSTOP, 0, kButtonId);
  RECT client;
  GetClientRect(FHandle, &client);
  Layout(client.right, client.bottom);
  ShowWindow(FHandle, SW_SHOWNORMAL);
  SetFocus(FList);
}

TMarkedListWindow::~TMarkedListWindow() {
  if (FHandle) DestroyWindow(FHandle);
}

void TMarkedListWindow::Layout(int width, int height) {
  const int listBottom = height - (FButton ? kButtonHeight + 2 * kMargin : 0);
  MoveWindow(FNote, kMargin, kMargin, std::max(0, width - 2 * kMargin), kNoteHeight - kMargin, TRUE);
  MoveWindow(FList, 0, kNoteHeight, width, std::max(0, listBottom - kNoteHeight), TRUE);
  if (FButton)
    MoveWindow(FButton, width - kMargin - kButtonWidth, listBottom + kMargin, kButtonWidth, kButtonHeight, TRUE);
}

std::wstring TMarkedListWindow::Caption() const {
  wchar_t text[256] = {};
  GetWindowTextW(FHandle, text, 256);
  return text;
}

std::wstring TMarkedListWindow::Note() const {
  wchar_t text[1024] = {};
  GetWindowTextW(FNote, text, 1024);
  return text;
}

int TMarkedListWindow::RowCount() const { return FList ? ListView_GetItemCount(FList) : 0; }

std::wstring TMarkedListWindow::ListText(int row, int column) const { return ListViewText(FList, row, column); }

bool TMarkedListWindow::RowBold(int row) const {
  return row >= 0 && static_cast<std::size_t>(row) < FRows.size() && FRows[row].bold;
}

std::vector<int> TMarkedListWindow::SelectedRows() const {
  std::vector<int> rows;
  for (int i = ListView_GetNextItem(FList, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(FList, i, LVNI_SELECTED))
    rows.push_back(i);
  return rows;
}

void TMarkedListWindow::SelectRows(const std::vector<int>& rows) {
  ListView_SetItemState(FList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (int row : rows) ListView_SetItemState(FList, row, LVIS_SELECTED, LVIS_SELECTED);
}

LRESULT TMarkedListWindow::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_SIZE:
      if (FList) Layout(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED && OnButton) OnButton();
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_NCDESTROY:
      // Closed by the user or with its owner: the object stays, without a window.
      FHandle = FNote = FList = FButton = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, nMsg, wParam, lParam);
}

bool TMarkedListWindow::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->hwndFrom != FList) return false;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      const int row = info->item.iItem, column = info->item.iSubItem;
      if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0 && row >= 0 &&
          static_cast<std::size_t>(row) < FRows.size() && column >= 0 &&
          static_cast<std::size_t>(column) < FRows[row].cells.size())
        lstrcpynW(info->item.pszText, FRows[row].cells[column].c_str(), info->item.cchTextMax);
      return true;
    }
    case NM_CUSTOMDRAW: {
      // The marked rows in bold; the control draws the rest.
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
      } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && RowBold(static_cast<int>(draw->nmcd.dwItemSpec))) {
        SelectObject(draw->nmcd.hdc, FBold);
        result = CDRF_NEWFONT;
      } else {
        result = CDRF_DODEFAULT;
      }
      return true;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey != VK_ESCAPE) return false;
      PostMessageW(FHandle, WM_CLOSE, 0, 0);
      return true;
    default:
      return false;
  }
}
