// The host's main window, an Outlook-like frame: a menu bar, the ribbon
// (one row per tab the add-ins add to: its name, then each group as a frame
// of large or small buttons with their images and the group's label
// below), the command-bar area (one row per visible bar: its name, then
// its caption buttons), the folder list on the left, an event log on the
// right and a status line.
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

struct RibbonButtonView {
  std::wstring label;
  bool large = false;
  HICON icon = nullptr;      // drawn above the label of a large button, or
  HBITMAP bitmap = nullptr;  // this; both stay the caller's
};

struct RibbonGroupView {
  size_t groupIndex = 0;  // position in the host's list of ribbon groups
  std::wstring tab;       // the row it is drawn in
  std::wstring label;
  std::vector<RibbonButtonView> buttons;
};

class THostWindow {
 public:
  // (bar index, button index) of a pressed button; for the ribbon,
  // (group index, button index).
  using ButtonHandler = std::function<void(size_t, size_t)>;

  THostWindow(ButtonHandler onButton, ButtonHandler onRibbonButton)
      : onButton_(std::move(onButton)), onRibbonButton_(std::move(onRibbonButton)) {}
  ~THostWindow() { Destroy(); }
  THostWindow(const THostWindow&) = delete;
  THostWindow& operator=(const THostWindow&) = delete;

  bool Create(const wchar_t* title, bool show);
  void Destroy();
  HWND Handle() const { return window_; }

  void ShowBars(const std::vector<BarView>& bars);
  void ShowRibbon(const std::vector<RibbonGroupView>& groups);
  void ShowFolders(const std::vector<std::wstring>& lines);
  void AddLogLine(const std::wstring& line);
  void ShowStatus(const std::wstring& text);
  // The drawn button, or null when its bar is not shown.
  HWND ButtonWindow(size_t barIndex, size_t buttonIndex) const;
  // The drawn ribbon button, or null.
  HWND RibbonButtonWindow(size_t groupIndex, size_t buttonIndex) const;
  // Closes the window after `ms` milliseconds.
  void CloseAfter(UINT ms);

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateChildren();
  void ClearBars();
  void Rebuild();
  int AddBarRow(const BarView& bar, int top);
  int AddRibbonRow(const std::wstring& tab, int top);
  int AddRibbonGroup(const RibbonGroupView& group, int x, int top);
  HWND AddRowName(const std::wstring& name, int top, int height);
  void DrawRibbonButton(const DRAWITEMSTRUCT& item) const;
  void Layout();

  ButtonHandler onButton_;
  ButtonHandler onRibbonButton_;
  std::vector<BarView> bars_;
  std::vector<RibbonGroupView> ribbon_;
  HWND window_ = nullptr;
  HWND folders_ = nullptr, log_ = nullptr, status_ = nullptr, rule_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<HWND> barWindows_;
  std::map<int, std::pair<size_t, size_t>> commands_;  // control id -> (bar, button)
  std::map<int, std::pair<size_t, size_t>> ribbonCommands_;  // control id -> (group, button)
  std::map<HWND, RibbonButtonView> ribbonButtons_;  // what each drawn ribbon button shows
  int barAreaHeight_ = 0;
  bool destroying_ = false;  // Destroy() called: no WM_QUIT for the loop
};

}  // namespace host
