#include "ui/Painting.h"

#include "support/WinHandles.h"

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
  const TBrushHandle brush(CreateSolidBrush(colour));
  FillRect(dc, &r, brush.Get());
}

void FrameColour(HDC dc, const RECT& r, COLORREF colour) {
  const TBrushHandle brush(CreateSolidBrush(colour));
  FrameRect(dc, &r, brush.Get());
}

void DrawLines(HDC dc, std::initializer_list<POINT> points, COLORREF colour, int width) {
  if (points.size() < 2) return;
  const TPenHandle pen(CreatePen(PS_SOLID, width, colour));
  const TSelectedObject selected(dc, pen.Get());
  MoveToEx(dc, points.begin()->x, points.begin()->y, nullptr);
  for (auto p = points.begin() + 1; p != points.end(); ++p) LineTo(dc, p->x, p->y);
}
