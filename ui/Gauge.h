// Small painted controls of the window: the gauge, a bar from 0 to 100 with
// its percentage written across it, and the splitter between the settings
// side and the results, which reports where it was dragged to.
#pragma once

#include <windows.h>

#include <functional>

#include "support/WindowClass.h"

class TGauge {
 public:
  TGauge(HWND parent, HFONT font);
  HWND Handle() const { return FHandle; }
  int Position() const { return FPosition; }
  void SetPosition(int position);
  // Told each new position.
  std::function<void(int position)> OnChange;

 private:
  friend struct TWindowThunk<TGauge>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);

  HWND FHandle = nullptr;
  HFONT FFont;  // the owner's
  int FPosition = 0;
};

class TSplitter {
 public:
  explicit TSplitter(HWND parent);
  HWND Handle() const { return FHandle; }
  // Called while dragging with the splitter's new left edge in the parent.
  std::function<void(int x)> OnMoved;

 private:
  friend struct TWindowThunk<TSplitter>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  int FGrip = -1;  // where in the splitter the drag started; -1 when not dragging
};
