// A small window over the finder window: a note across the top, rows of
// texts under column headings, some rows drawn in bold, and at most one
// button under the list. The compare view and the near-miss view are made
// of it. It closes with its frame's close box or Esc, and with the window
// that owns it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/WindowClass.h"
#include "ui/ReportWindow.h"

struct TMarkedRow {
  std::vector<std::wstring> cells;  // one text per column
  bool bold = false;
};

struct TMarkedListLook {
  std::wstring caption;
  std::wstring note;  // the line (or two) above the list
  std::vector<TReportWindow::TColumn> columns;
  std::wstring button;  // empty: no button
  bool multiSelect = false;
};

class TMarkedListWindow {
 public:
  // Shown at once, centred over `owner`.
  TMarkedListWindow(HWND owner, HFONT font, HFONT bold, const TMarkedListLook& look, std::vector<TMarkedRow> rows);
  ~TMarkedListWindow();
  TMarkedListWindow(const TMarkedListWindow&) = delete;
  TMarkedListWindow& operator=(const TMarkedListWindow&) = delete;

  // Null once the window has been closed.
  HWND Handle() const { return FHandle; }
  HWND List() const { return FList; }
  HWND Button() const { return FButton; }
  std::wstring Caption() const;
  std::wstring Note() const;
  // The texts as the list control gives them back.
  int RowCount() const;
  std::wstring ListText(int row, int column) const;
  bool RowBold(int row) const;
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& rows);

  // The button was pressed.
  std::function<void()> OnButton;

 private:
  friend struct TWindowThunk<TMarkedListWindow>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  bool OnNotify(NMHDR* header, LRESULT& result);
  void Layout(int width, int height);

  HWND FHandle = nullptr;
  HWND FNote = nullptr;
  HWND FList = nullptr;
  HWND FButton = nullptr;
  HFONT FBold;
  std::vector<TMarkedRow> FRows;
};
