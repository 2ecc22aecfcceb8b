#include "standin/host/HostWindow.h"

#include <algorithm>

namespace host {
namespace {

constexpr wchar_t kClassName[] = L"QuopOutlookHostWindow";
constexpr int kRowHeight = 30;
constexpr int kFirstButtonId = 1000;
constexpr int kFirstRibbonId = 5000;
constexpr int kLargeButtonHeight = 66, kSmallButtonHeight = 24, kGroupLabelHeight = 18;
constexpr int kRibbonRowHeight = kLargeButtonHeight + kGroupLabelHeight + 10;
constexpr int kImageSize = 32;
constexpr int kExitCommand = 100;
constexpr UINT_PTR kCloseTimer = 1;

void RegisterOnce(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  registered = RegisterClassExW(&wc) != 0;
}

HMENU MakeMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kExitCommand, L"E&xit");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  for (const wchar_t* title : {L"&Edit", L"&View", L"&Go", L"&Tools", L"&Actions", L"&Help"}) {
    HMENU empty = CreatePopupMenu();
    AppendMenuW(empty, MF_STRING | MF_GRAYED, 0, L"(not in this host)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(empty), title);
  }
  return bar;
}

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

}  // namespace

bool THostWindow::Create(const wchar_t* title, bool show) {
  RegisterOnce(&THostWindow::Proc);
  window_ = CreateWindowExW(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                            CW_USEDEFAULT, 900, 600, nullptr, MakeMenu(), GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) return false;
  if (show) {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
  }
  return true;
}

void THostWindow::Destroy() {
  destroying_ = true;
  if (window_ != nullptr) DestroyWindow(window_);
  destroying_ = false;
}

LRESULT CALLBACK THostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<THostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<THostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self != nullptr ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT THostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateChildren();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id == kExitCommand) PostMessageW(window_, WM_CLOSE, 0, 0);
      if (HIWORD(wParam) != BN_CLICKED) return 0;
      auto it = commands_.find(id);
      if (it != commands_.end()) onButton_(it->second.first, it->second.second);
      auto ribbon = ribbonCommands_.find(id);
      if (ribbon != ribbonCommands_.end()) onRibbonButton_(ribbon->second.first, ribbon->second.second);
      return 0;
    }
    case WM_DRAWITEM:
      DrawRibbonButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kCloseTimer) PostMessageW(window_, WM_CLOSE, 0, 0);
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      barWindows_.clear();
      commands_.clear();
      ribbonCommands_.clear();
      ribbonButtons_.clear();
      if (!destroying_) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void THostWindow::CreateChildren() {
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  folders_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0, 0, 0,
                             window_, nullptr, instance, nullptr);
  log_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0,
                         0, window_, nullptr, instance, nullptr);
  status_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_LEFTNOWORDWRAP, 0, 0, 0, 0,
                            window_, nullptr, instance, nullptr);
  rule_ = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, 0, 0, 0, window_,
                          nullptr, instance, nullptr);
  for (HWND child : {folders_, log_, status_}) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
}

void THostWindow::ClearBars() {
  for (HWND child : barWindows_) DestroyWindow(child);
  barWindows_.clear();
  commands_.clear();
  ribbonCommands_.clear();
  ribbonButtons_.clear();
}

void THostWindow::ShowBars(const std::vector<BarView>& bars) {
  bars_ = bars;
  Rebuild();
}

void THostWindow::ShowRibbon(const std::vector<RibbonGroupView>& groups) {
  ribbon_ = groups;
  Rebuild();
}

// The ribbon's rows (one per tab, in the order tabs first appear), then
// the command bars' rows.
void THostWindow::Rebuild() {
  if (window_ == nullptr) return;
  ClearBars();
  int top = 2;
  std::vector<std::wstring> tabs;
  for (const RibbonGroupView& group : ribbon_) {
    if (std::find(tabs.begin(), tabs.end(), group.tab) == tabs.end()) tabs.push_back(group.tab);
  }
  for (const std::wstring& tab : tabs) top = AddRibbonRow(tab, top);
  for (const BarView& bar : bars_) top = AddBarRow(bar, top);
  barAreaHeight_ = top;
  Layout();
}

// A row's name in an etched frame at the left; the frame.
HWND THostWindow::AddRowName(const std::wstring& name, int top, int height) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int x = 6, nameWidth = TextWidth(window_, font_, name) + 12;
  HWND frame = CreateWindowExW(0, L"STATIC", name.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE | SS_ETCHEDFRAME,
                               x, top + 2, nameWidth, height - 4, window_, nullptr, instance, nullptr);
  HWND text = CreateWindowExW(0, L"STATIC", name.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                              x + 1, top + 3, nameWidth - 2, height - 6, window_, nullptr, instance, nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  barWindows_.push_back(frame);
  barWindows_.push_back(text);
  return frame;
}

int THostWindow::AddRibbonRow(const std::wstring& tab, int top) {
  HWND name = AddRowName(tab, top, kRibbonRowHeight);
  RECT rect;
  GetWindowRect(name, &rect);
  int x = 6 + (rect.right - rect.left) + 6;
  for (const RibbonGroupView& group : ribbon_) {
    if (group.tab == tab) x = AddRibbonGroup(group, x, top);
  }
  return top + kRibbonRowHeight;
}

// A group: its buttons side by side (small ones stacked in threes) over
// its label, in an etched frame; the x after it.
int THostWindow::AddRibbonGroup(const RibbonGroupView& group, int x, int top) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int left = x;
  x += 4;
  int smallRow = 0, smallWidth = 0;
  for (size_t i = 0; i < group.buttons.size(); ++i) {
    const RibbonButtonView& view = group.buttons[i];
    const int id = kFirstRibbonId + static_cast<int>(ribbonCommands_.size());
    const int textWidth = TextWidth(window_, font_, view.label);
    int width, height, y;
    if (view.large) {
      if (smallRow != 0) x += smallWidth + 2, smallRow = 0, smallWidth = 0;
      width = std::max(textWidth + 12, kImageSize + 16), height = kLargeButtonHeight, y = top + 4;
    } else {
      width = textWidth + (view.icon || view.bitmap ? 16 + 10 : 0) + 12, height = kSmallButtonHeight;
      y = top + 4 + smallRow * (kSmallButtonHeight + 1);
    }
    HWND button = CreateWindowExW(0, L"BUTTON", view.label.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, width,
                                  height, window_, reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
    barWindows_.push_back(button);
    ribbonCommands_[id] = {group.groupIndex, i};
    ribbonButtons_[button] = view;
    if (view.large) {
      x += width + 2;
    } else {
      smallWidth = std::max(smallWidth, width);
      if (++smallRow == 3) x += smallWidth + 2, smallRow = 0, smallWidth = 0;
    }
  }
  if (smallRow != 0) x += smallWidth + 2;
  x = std::max(x + 2, left + TextWidth(window_, font_, group.label) + 16);
  const int labelTop = top + kRibbonRowHeight - kGroupLabelHeight - 4;
  HWND frame = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, left, top + 2,
                               x - left, kRibbonRowHeight - 4, window_, nullptr, instance, nullptr);
  HWND label = CreateWindowExW(0, L"STATIC", group.label.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, left + 1,
                               labelTop, x - left - 2, kGroupLabelHeight, window_, nullptr, instance, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  barWindows_.push_back(frame);
  barWindows_.push_back(label);
  return x + 6;
}

// A ribbon button: a flat face (sunken while pressed), the image (32 x 32
// above the label of a large button, 16 x 16 before that of a small one).
void THostWindow::DrawRibbonButton(const DRAWITEMSTRUCT& item) const {
  auto it = ribbonButtons_.find(item.hwndItem);
  if (it == ribbonButtons_.end()) return;
  const RibbonButtonView& view = it->second;
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rect, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : BDR_RAISEDINNER, BF_RECT);
  const int size = view.large ? kImageSize : 16;
  const int imageX = view.large ? (rect.right - rect.left - size) / 2 : 4;
  const int imageY = view.large ? 6 : (rect.bottom - rect.top - size) / 2;
  if (view.icon != nullptr) {
    DrawIconEx(dc, imageX, imageY, view.icon, size, size, 0, nullptr, DI_NORMAL);
  } else if (view.bitmap != nullptr) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, view.bitmap);
    BITMAP info{};
    GetObjectW(view.bitmap, sizeof info, &info);
    StretchBlt(dc, imageX, imageY, size, size, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  RECT text = rect;
  if (view.large) {
    text.top = imageY + size + 4;
  } else if (view.icon != nullptr || view.bitmap != nullptr) {
    text.left += size + 8;
  }
  HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, view.label.c_str(), -1, &text,
            DT_SINGLELINE | (view.large ? DT_CENTER | DT_TOP : DT_LEFT | DT_VCENTER));
  SelectObject(dc, oldFont);
}

// One row: the bar's name, then a push button per caption; the next row's top.
int THostWindow::AddBarRow(const BarView& bar, int top) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  int x = 6;
  HWND name = AddRowName(bar.name, top, kRowHeight);
  RECT rect;
  GetWindowRect(name, &rect);
  x += (rect.right - rect.left) + 6;
  for (size_t i = 0; i < bar.captions.size(); ++i) {
    int id = kFirstButtonId + static_cast<int>(commands_.size());
    int width = TextWidth(window_, font_, bar.captions[i]) + 24;
    HWND button = CreateWindowExW(0, L"BUTTON", bar.captions[i].c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x,
                                  top + 2, width, kRowHeight - 4, window_, reinterpret_cast<HMENU>(INT_PTR(id)),
                                  instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
    barWindows_.push_back(button);
    commands_[id] = {bar.barIndex, i};
    x += width + 2;
  }
  return top + kRowHeight;
}

HWND THostWindow::RibbonButtonWindow(size_t groupIndex, size_t buttonIndex) const {
  for (const auto& [id, where] : ribbonCommands_) {
    if (where.first == groupIndex && where.second == buttonIndex) return GetDlgItem(window_, id);
  }
  return nullptr;
}

HWND THostWindow::ButtonWindow(size_t barIndex, size_t buttonIndex) const {
  for (const auto& [id, where] : commands_) {
    if (where.first == barIndex && where.second == buttonIndex) return GetDlgItem(window_, id);
  }
  return nullptr;
}

void THostWindow::Layout() {
  if (window_ == nullptr || folders_ == nullptr) return;
  RECT client;
  GetClientRect(window_, &client);
  const int width = client.right, height = client.bottom, statusHeight = 22, folderWidth = 260;
  const int bodyTop = barAreaHeight_ + 4, bodyHeight = height - bodyTop - statusHeight - 2;
  MoveWindow(rule_, 0, barAreaHeight_ + 1, width, 2, TRUE);
  MoveWindow(folders_, 2, bodyTop, folderWidth, bodyHeight, TRUE);
  MoveWindow(log_, folderWidth + 6, bodyTop, width - folderWidth - 8, bodyHeight, TRUE);
  MoveWindow(status_, 0, height - statusHeight, width, statusHeight, TRUE);
}

void THostWindow::ShowFolders(const std::vector<std::wstring>& lines) {
  if (folders_ == nullptr) return;
  SendMessageW(folders_, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& line : lines) SendMessageW(folders_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void THostWindow::AddLogLine(const std::wstring& line) {
  if (log_ == nullptr) return;
  std::wstring text = line + L"\r\n";
  int end = GetWindowTextLengthW(log_);
  SendMessageW(log_, EM_SETSEL, end, end);
  SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void THostWindow::ShowStatus(const std::wstring& text) {
  if (status_ != nullptr) SetWindowTextW(status_, (L" " + text).c_str());
}

void THostWindow::CloseAfter(UINT ms) {
  if (window_ != nullptr) SetTimer(window_, kCloseTimer, ms, nullptr);
}

}  // namespace host
