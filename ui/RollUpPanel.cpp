#include "ui/RollUpPanel.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "support/ModuleFolder.h"
#include "ui/Painting.h"

namespace {

constexpr char kPanelClass[] = "QuopRollUpPanel";
constexpr char kScrollClass[] = "QuopScrollBox";
constexpr int kGap = 4;

bool IsForwarded(UINT nMsg) {
  switch (nMsg) {
    case WM_COMMAND: case WM_NOTIFY: case WM_CONTEXTMENU: case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_DRAWITEM:
    case WM_MEASUREITEM:
      return true;
    default:
      return false;
  }
}

void FillGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  TRIVERTEX v[2] = {
      {r.left, r.top, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
       static_cast<COLOR16>(GetBValue(top) << 8), 0},
      {r.right, r.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8), static_cast<COLOR16>(GetGValue(bottom) << 8),
       static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
  GRADIENT_RECT g = {0, 1};
  GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace

LRESULT ForwardToRoot(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  const HWND root = GetAncestor(hwnd, GA_ROOT);
  if (root && root != hwnd) return SendMessageA(root, nMsg, wParam, lParam);
  return DefWindowProcA(hwnd, nMsg, wParam, lParam);
}

// --- section ---------------------------------------------------------------

TRollUpPanel::TRollUpPanel(HWND parent, const char* szCaption, int nDesignHeight, HFONT font)
    : FDesignHeight(nDesignHeight), FFont(font) {
  static const TWindowClass registered(kPanelClass, TWindowThunk<TRollUpPanel>::Proc,
                                       TWindowLook{.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)});
  FHandle = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, szCaption,
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 100,
                            Height(), parent, nullptr, OwnModule(), this);
}

RECT TRollUpPanel::ContentRect() const {
  RECT r;
  GetClientRect(FHandle, &r);
  r.top = kRollUpCaptionHeight;
  return r;
}

void TRollUpPanel::SetExpanded(bool expanded) {
  if (FExpanded == expanded) return;
  FExpanded = expanded;
  // The controls of a rolled-up section are hidden with it.
  for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    ShowWindow(child, expanded ? SW_SHOWNA : SW_HIDE);
  RECT r;
  GetClientRect(FHandle, &r);
  SetWindowPos(FHandle, nullptr, 0, 0, r.right, Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(FHandle, nullptr, TRUE);
  const HWND root = GetAncestor(FHandle, GA_ROOT);
  if (root) SendMessageA(root, WM_ROLLUP_TOGGLED, reinterpret_cast<WPARAM>(FHandle), 0);
}

void TRollUpPanel::PaintCaption(HDC dc) {
  RECT r;
  GetClientRect(FHandle, &r);
  RECT bar = {r.left, r.top, r.right, r.top + kRollUpCaptionHeight};
  FillGradient(dc, bar, FHot ? RGB(255, 255, 255) : RGB(240, 246, 255), RGB(200, 221, 250));
  FrameColour(dc, r, RGB(141, 178, 227));
  DrawLines(dc, {{bar.left, bar.bottom - 1}, {bar.right, bar.bottom - 1}}, RGB(141, 178, 227));
  // The chevron: up when the section can be rolled up, down otherwise.
  const int cx = bar.right - 14, cy = (bar.top + bar.bottom) / 2;
  const int d = FExpanded ? -1 : 1;
  DrawLines(dc, {{cx - 4, cy - 2 * d}, {cx, cy + 2 * d}, {cx + 5, cy - 3 * d}}, RGB(21, 66, 139), 2);

  char text[256] = {};
  GetWindowTextA(FHandle, text, sizeof(text));
  const TSelectedObject font(dc, FFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(21, 66, 139));
  RECT t = {bar.left + 8, bar.top, bar.right - 24, bar.bottom};
  DrawTextA(dc, text, -1, &t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

LRESULT TRollUpPanel::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  if (IsForwarded(nMsg)) return ForwardToRoot(hwnd, nMsg, wParam, lParam);
  switch (nMsg) {
    case WM_PAINT: {
      const TPaintDC dc(hwnd);
      PaintCaption(dc.Get());
      return 0;
    }
    case WM_LBUTTONUP:
      if (GET_Y_LPARAM(lParam) < kRollUpCaptionHeight) Toggle();
      return 0;
    case WM_MOUSEMOVE: {
      const bool hot = GET_Y_LPARAM(lParam) < kRollUpCaptionHeight;
      if (hot != FHot) {
        FHot = hot;
        RECT bar = {0, 0, 4000, kRollUpCaptionHeight};
        InvalidateRect(hwnd, &bar, FALSE);
        if (hot) {
          TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, 0};
          TrackMouseEvent(&track);
        }
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      FHot = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(hwnd, nMsg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return ForwardToRoot(hwnd, WM_ROLLUP_RESIZED, reinterpret_cast<WPARAM>(hwnd), 0);
    default:
      return DefWindowProcA(hwnd, nMsg, wParam, lParam);
  }
}

// --- scroll box --------------------------------------------------------------

TScrollBox::TScrollBox(HWND parent) {
  static const TWindowClass registered(kScrollClass, TWindowThunk<TScrollBox>::Proc,
                                       TBrushHandle(CreateSolidBrush(RGB(221, 232, 247))));
  FHandle = CreateWindowExA(WS_EX_CONTROLPARENT, kScrollClass, "",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL, 0, 0, 100, 100,
                            parent, nullptr, OwnModule(), this);
}

void TScrollBox::Layout() {
  RECT client;
  GetClientRect(FHandle, &client);
  FTotal = kGap;
  for (TRollUpPanel* s : FSections) {
    if (s->Visible()) FTotal += s->Height() + kGap;
  }
  SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, FTotal - 1,
                   static_cast<UINT>(client.bottom), 0, 0};
  SetScrollInfo(FHandle, SB_VERT, &si, TRUE);
  GetClientRect(FHandle, &client);  // the scroll bar may have come or gone
  FPos = std::max(0, std::min(FPos, FTotal - static_cast<int>(client.bottom)));
  SetScrollPos(FHandle, SB_VERT, FPos, TRUE);
  int y = kGap - FPos;
  for (TRollUpPanel* s : FSections) {
    if (!s->Visible()) continue;
    SetWindowPos(s->Handle(), nullptr, kGap, y, client.right - 2 * kGap, s->Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    y += s->Height() + kGap;
  }
}

void TScrollBox::Scroll(int nPos) {
  RECT client;
  GetClientRect(FHandle, &client);
  nPos = std::max(0, std::min(nPos, FTotal - static_cast<int>(client.bottom)));
  if (nPos == FPos) return;
  FPos = nPos;
  Layout();
  InvalidateRect(FHandle, nullptr, TRUE);
}

LRESULT TScrollBox::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  if (nMsg == WM_NCCREATE) FHandle = hwnd;  // for the WM_SIZE before CreateWindowEx returns
  if (IsForwarded(nMsg)) return ForwardToRoot(hwnd, nMsg, wParam, lParam);
  switch (nMsg) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_VSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_ALL;
      GetScrollInfo(hwnd, SB_VERT, &si);
      int pos = si.nPos;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: pos -= 20; break;
        case SB_LINEDOWN: pos += 20; break;
        case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: pos = si.nTrackPos; break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = si.nMax; break;
        default: break;
      }
      Scroll(pos);
      return 0;
    }
    case WM_MOUSEWHEEL:
      Scroll(FPos - GET_WHEEL_DELTA_WPARAM(wParam) / 3);
      return 0;
    default:
      return DefWindowProcA(hwnd, nMsg, wParam, lParam);
  }
}
