#include "ui/Gauge.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "support/ModuleFolder.h"
#include "ui/Painting.h"

namespace {

constexpr char kGaugeClass[] = "QuopGauge";
constexpr char kSplitterClass[] = "QuopSplitter";

}  // namespace

TGauge::TGauge(HWND parent, HFONT font) : FFont(font) {
  static const TWindowClass registered(kGaugeClass, TWindowThunk<TGauge>::Proc);
  FHandle = CreateWindowExA(0, kGaugeClass, "", WS_CHILD, 0, 0, 100, 16, parent, nullptr, OwnModule(), this);
}

void TGauge::SetPosition(int position) {
  position = std::clamp(position, 0, 100);
  if (position == FPosition) return;
  FPosition = position;
  InvalidateRect(FHandle, nullptr, FALSE);
  if (OnChange) OnChange(position);
}

void TGauge::Paint(HDC dc) {
  RECT r;
  GetClientRect(FHandle, &r);
  FillColour(dc, r, RGB(255, 255, 255));
  const RECT filled = {r.left + 1, r.top + 1, r.left + 1 + (r.right - r.left - 2) * FPosition / 100, r.bottom - 1};
  FillColour(dc, filled, RGB(110, 160, 230));
  FrameColour(dc, r, RGB(141, 178, 227));
  const std::string text = std::to_string(FPosition) + "%";
  const TSelectedObject font(dc, FFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(21, 66, 139));
  DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

LRESULT TGauge::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  if (nMsg == WM_PAINT) {
    const TPaintDC dc(hwnd);
    Paint(dc.Get());
    return 0;
  }
  return DefWindowProcA(hwnd, nMsg, wParam, lParam);
}

TSplitter::TSplitter(HWND parent) {
  static const TWindowClass registered(kSplitterClass, TWindowThunk<TSplitter>::Proc,
                                       TWindowLook{.hCursor = LoadCursor(nullptr, IDC_SIZEWE)});
  FHandle = CreateWindowExA(0, kSplitterClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 100, parent, nullptr, OwnModule(),
                            this);
}

LRESULT TSplitter::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_PAINT: {
      const TPaintDC dc(hwnd);
      RECT r;
      GetClientRect(hwnd, &r);
      FillColour(dc.Get(), r, RGB(221, 232, 247));
      return 0;
    }
    case WM_LBUTTONDOWN:
      FGrip = GET_X_LPARAM(lParam);
      SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      if (FGrip >= 0 && OnMoved) {
        POINT p = {GET_X_LPARAM(lParam), 0};
        MapWindowPoints(hwnd, GetParent(hwnd), &p, 1);
        OnMoved(p.x - FGrip);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (FGrip >= 0) {
        FGrip = -1;
        // Releasing the capture sends WM_CAPTURECHANGED, which finds the drag over.
        if (nMsg == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    default:
      return DefWindowProcA(hwnd, nMsg, wParam, lParam);
  }
}
