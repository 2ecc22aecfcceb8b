// The settings side's containers: collapsible captioned sections stacked in
// a scroll box. A section's window text is its caption; a click on the
// caption bar rolls it up or down. Both forward the notifications of the
// controls they hold to the top-level window, so the form handles them all.
#pragma once

#include <windows.h>

#include <vector>

#include "support/WindowClass.h"

inline constexpr int kRollUpCaptionHeight = 22;
// Sent to the top-level window after a section rolled up or down;
// wParam = the section's window.
inline constexpr UINT WM_ROLLUP_TOGGLED = WM_APP + 20;
// Sent to the top-level window after a section was resized; wParam as above.
inline constexpr UINT WM_ROLLUP_RESIZED = WM_APP + 21;

class TRollUpPanel {
 public:
  // A section of the given client height when expanded.
  TRollUpPanel(HWND parent, const char* szCaption, int nDesignHeight, HFONT font);

  HWND Handle() const { return FHandle; }
  // The rectangle below the caption bar that the section's controls fill.
  RECT ContentRect() const;
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool expanded);
  void Toggle() { SetExpanded(!FExpanded); }
  int DesignHeight() const { return FDesignHeight; }
  void SetDesignHeight(int height) { FDesignHeight = height; }
  // The section's full height as it stands.
  int Height() const { return kRollUpCaptionHeight + (FExpanded ? FDesignHeight : 0); }
  bool Visible() const { return (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0; }

 private:
  friend struct TWindowThunk<TRollUpPanel>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  void PaintCaption(HDC dc);

  HWND FHandle = nullptr;
  int FDesignHeight;
  bool FExpanded = true;
  bool FHot = false;
  HFONT FFont;  // the owner's
};

class TScrollBox {
 public:
  explicit TScrollBox(HWND parent);

  HWND Handle() const { return FHandle; }
  void Add(TRollUpPanel* section) { FSections.push_back(section); }
  // Stacks the visible sections from the top, at the box's width, and sets
  // the scroll range to their total height.
  void Layout();

 private:
  friend struct TWindowThunk<TScrollBox>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  void Scroll(int nPos);

  HWND FHandle = nullptr;
  std::vector<TRollUpPanel*> FSections;
  int FPos = 0;
  int FTotal = 0;
};

// Hands a child control's notification to the top-level window.
LRESULT ForwardToRoot(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
