// The progress box of a treatment: a caption, a label, a bar with the
// percentage, and Cancel. It stays on top of its owner, does not block, and
// hides itself when its position reaches its maximum. Cancel and the close
// button both ask the owner to stop.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "support/WindowClass.h"
#include "ui/Gauge.h"

class TProgressDialog {
 public:
  TProgressDialog(HWND owner, HFONT font);
  ~TProgressDialog();
  TProgressDialog(const TProgressDialog&) = delete;
  TProgressDialog& operator=(const TProgressDialog&) = delete;

  HWND Handle() const { return FHandle; }
  void SetCaption(const std::string& caption);
  std::string Caption() const;
  void SetLabel(const std::string& label);
  std::string Label() const;

  void SetMax(int max) { FMax = max; }
  int Max() const { return FMax; }
  void SetPosition(int position);
  int Position() const { return FPosition; }
  void Show();
  void Hide();
  bool Visible() const { return (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0; }

  std::function<void()> OnCancel;           // Cancel or the close button
  std::function<void(int position)> OnPosition;  // each new position

 private:
  friend struct TWindowThunk<TProgressDialog>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  HWND FLabel = nullptr;
  HWND FCancel = nullptr;
  std::unique_ptr<TGauge> FBar;
  int FMax = 100;
  int FPosition = 0;
};
