// Painting in plain colours for the window's own controls. Each call makes
// the brush or pen it needs and deletes it before it returns; the device
// context keeps the objects it had selected.
#pragma once

#include <windows.h>

#include <initializer_list>

void FillColour(HDC dc, const RECT& r, COLORREF colour);
// A frame one pixel wide along the inside of r.
void FrameColour(HDC dc, const RECT& r, COLORREF colour);
// Straight lines from each point to the next, `width` pixels wide; like
// LineTo, the last point itself is not painted.
void DrawLines(HDC dc, std::initializer_list<POINT> points, COLORREF colour, int width = 1);
