#include "ui/Gauge.h"
#include "ui/UiModule.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

namespace {

void RegisterOnce(const char* name, WNDPROC proc, LPCSTR cursor) {
  WNDCLASSA wc{};
  if (GetClassInfoA(UiInstance(), name, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = UiInstance();
  wc.hCursor = LoadCursor(nullptr, cursor);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

}  // namespace

TGauge::TGauge(HWND parent, HFONT font) : FFont(font) {
  RegisterOnce("QuopGauge", WindowProc, IDC_ARROW);
  FHandle = CreateWindowExA(0, "QuopGauge", "", WS_CHILD, 0, 0, 100, 16, parent, nullptr,
                            UiInstance(), this);
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
  HBRUSH frame = CreateSolidBrush(RGB(141, 178, 227));
  HBRUSH back = CreateSolidBrush(RGB(255, 255, 255));
  HBRUSH bar = CreateSolidBrush(RGB(110, 160, 230));
  FillRect(dc, &r, back);
  RECT filled = {r.left + 1, r.top + 1, r.left + 1 + (r.right - r.left - 2) * FPosition / 100, r.bottom - 1};
  FillRect(dc, &filled, bar);
  FrameRect(dc, &r, frame);
  DeleteObject(frame);
  DeleteObject(back);
  DeleteObject(bar);
  const std::string text = std::to_string(FPosition) + "%";
  HGDIOBJ old = SelectObject(dc, FFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(21, 66, 139));
  DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  SelectObject(dc, old);
}

LRESULT CALLBACK TGauge::WindowProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  TGauge* self = WindowObject<TGauge>(hwnd, nMsg, lParam);
  if (self && nMsg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    self->Paint(dc);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, nMsg, wParam, lParam);
}

TSplitter::TSplitter(HWND parent) {
  RegisterOnce("QuopSplitter", WindowProc, IDC_SIZEWE);
  FHandle = CreateWindowExA(0, "QuopSplitter", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 100, parent, nullptr,
                            UiInstance(), this);
}

LRESULT CALLBACK TSplitter::WindowProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  TSplitter* self = WindowObject<TSplitter>(hwnd, nMsg, lParam);
  if (!self) return DefWindowProcA(hwnd, nMsg, wParam, lParam);
  switch (nMsg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH face = CreateSolidBrush(RGB(221, 232, 247));
      FillRect(dc, &r, face);
      DeleteObject(face);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      self->FGrip = GET_X_LPARAM(lParam);
      SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      if (self->FGrip >= 0 && self->OnMoved) {
        POINT p = {GET_X_LPARAM(lParam), 0};
        MapWindowPoints(hwnd, GetParent(hwnd), &p, 1);
        self->OnMoved(p.x - self->FGrip);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (self->FGrip >= 0) {
        self->FGrip = -1;
        if (nMsg == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    default:
      return DefWindowProcA(hwnd, nMsg, wParam, lParam);
  }
}
