// The results list control over the TEmailList model: a virtual report list
// whose rows the window paints itself (group rows with their caption across
// the row, the count in blue and the underline; message rows with a check
// box; treated rows struck out) under a header with a gradient background.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>
#include <string>

#include "support/WinHandles.h"
#include "ui/EmailList.h"

class TEmailListView {
 public:
  TEmailListView(HWND parent, int nId, TEmailList& model, HFONT normal, HFONT bold, HFONT struck);
  ~TEmailListView();
  TEmailListView(const TEmailListView&) = delete;
  TEmailListView& operator=(const TEmailListView&) = delete;

  HWND Handle() const { return FHandle; }
  void SetColumnCaption(int column, const std::string& caption);
  std::string ColumnCaption(int column) const;
  // The search mask the group captions are built from.
  void SetSelFields(std::int32_t mask) { FSelFields = mask; }

  // After rows were added, removed or expanded: the row count again.
  void Reload();
  // After rows were appended while the results load: the row count again
  // within a tenth of a second. Setting the count redraws the scroll bar at
  // once, which costs more than adding a batch of rows, so the batches that
  // arrive meanwhile share one count update; and the rows are painted again
  // only when the appended ones, or the group row whose count they raise,
  // are in view.
  void ReloadSoon();
  // After check or treatment changes: paint again.
  void Repaint() { InvalidateRect(FHandle, nullptr, FALSE); }

  // The first selected row, or null.
  TEmailNode* FirstSelected() const;
  // Every selected row, in list order.
  std::vector<TEmailNode*> SelectedRows() const;
  void Select(const TEmailNode* node);
  // Adds a row to the selection, keeping the rows selected before.
  void AddToSelection(const TEmailNode* node);
  void ToggleExpanded(TEmailNode* node);

  // What the window does on the list's commands and clicks.
  std::function<void()> OnChecked;      // a check state changed
  std::function<void()> OnViewEmail;    // double click on a message row, Enter
  std::function<void(POINT)> OnContextPopup;  // right click, in screen coordinates

  bool OnNotify(NMHDR* header, LRESULT& result);

  // The text of a cell as the list shows it (group rows: column 0 only), in
  // UTF-8 as the records carry it, and in UTF-16 as it is drawn.
  std::string CellText(const TEmailNode& node, int column) const;
  std::wstring CellTextW(const TEmailNode& node, int column) const;

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
  LRESULT OnHeaderDraw(NMCUSTOMDRAW* draw);
  // The header image stretched over r.
  void PaintHeaderImage(HDC dc, const RECT& r) const;
  void PaintRow(HDC dc, int index);
  void PaintGroupRow(HDC dc, const TEmailNode& node, const RECT& row);
  void PaintMessageRow(HDC dc, const TEmailNode& node, const RECT& row);
  RECT ColumnRect(int column, const RECT& row) const;
  // Hit areas inside column 0.
  RECT CheckBoxRect(const TEmailNode& node, const RECT& row) const;
  RECT ExpanderRect(const RECT& row) const;
  TEmailNode* RowAt(int index) const;
  // The count update of ReloadSoon.
  void ShowAppendedRows();
  // Whether rows appended after the first `shown` ones change what is in view.
  bool AppendShows(int shown) const;
  void OnClick(bool doubleClick);
  void ToggleSelectedChecks();

  HWND FHandle;
  TEmailList& FModel;
  HFONT FNormal, FBold, FStruck;  // the owner's
  TBitmapHandle FHeaderImage;
  TImageList FRowHeight;
  std::int32_t FSelFields = 0;
  bool FReloadPending = false;
  char FDecimal = '.';
};
