// The host's main window, an Outlook-like frame: a menu bar, the command-bar
// area (one row per visible bar: its name, then its caption buttons), the
// folder list on the left, an event log on the right and a status line.
// It knows nothing of COM: the host hands it what to show and hears of
// button presses through a callback.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace host {

struct BarView {
  size_t barIndex = 0;  // position in the host's list of bars
  std::wstring name;
  std::vector<std::wstring> captions;  // buttons in order
};

class THostWindow {
 public:
  // (bar index, button index) of a pressed button.
  using ButtonHandler = std::function<void(size_t, size_t)>;

  explicit THostWindow(ButtonHandler onButton) : onButton_(std::move(onButton)) {}
  ~THostWindow() { Destroy(); }
  THostWindow(const THostWindow&) = delete;
  THostWindow& operator=(const THostWindow&) = delete;

  bool Create(const wchar_t* title, bool show);
  void Destroy();
  HWND Handle() const { return window_; }

  void ShowBars(const std::vector<BarView>& bars);
  void ShowFolders(const std::vector<std::wstring>& lines);
  void AddLogLine(const std::wstring& line);
  void ShowStatus(const std::wstring& text);
  // The drawn button, or null when its bar is not shown.
  HWND ButtonWindow(size_t barIndex, size_t buttonIndex) const;
  // Closes the window after `ms` milliseconds.
  void CloseAfter(UINT ms);

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateChildren();
  void ClearBars();
  int AddBarRow(const BarView& bar, int top);
  void Layout();

  ButtonHandler onButton_;
  HWND window_ = nullptr;
  HWND folders_ = nullptr, log_ = nullptr, status_ = nullptr, rule_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<HWND> barWindows_;
  std::map<int, std::pair<size_t, size_t>> commands_;  // control id -> (bar, button)
  int barAreaHeight_ = 0;
  bool destroying_ = false;  // Destroy() called: no WM_QUIT for the loop
};

}  // namespace host
