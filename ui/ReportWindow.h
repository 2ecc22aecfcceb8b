// A small window over the finder window that lists rows of texts under
// column headings, for reading only: the window shows in it what the last
// search could not read. It closes with its frame's close box or Esc, and
// with the window that owns it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/WindowClass.h"

// The text of a cell of a list view in report mode, as the control gives it
// back (through LVN_GETDISPINFOW for a virtual list).
std::wstring ListViewText(HWND list, int row, int column);

class TReportWindow {
 public:
  using TRow = std::vector<std::wstring>;
  struct TColumn {
    std::wstring strHeading;
    int nWidth;
  };

  // Shown at once, centred over `owner`; each row has one text per column.
  TReportWindow(HWND owner, HFONT font, const std::wstring& caption, const std::vector<TColumn>& columns,
                std::vector<TRow> rows);
  ~TReportWindow();
  TReportWindow(const TReportWindow&) = delete;
  TReportWindow& operator=(const TReportWindow&) = delete;

  // Null once the window has been closed.
  HWND Handle() const { return FHandle; }
  HWND List() const { return FList; }
  // The texts as the list control gives them back.
  int RowCount() const;
  std::wstring ListText(int row, int column) const;
  std::wstring Caption() const;

 private:
  friend struct TWindowThunk<TReportWindow>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  bool OnNotify(NMHDR* header);

  HWND FHandle = nullptr;
  HWND FList = nullptr;
  std::vector<TRow> FRows;
};
