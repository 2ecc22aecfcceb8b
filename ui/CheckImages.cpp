#include "ui/CheckImages.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

void DrawCheckBox(HDC dc, const RECT& r, TCheckPicture picture, HWND hwndThemed) {
  const int x = (r.left + r.right - 13) / 2, y = (r.top + r.bottom - 13) / 2;
  RECT box = {x, y, x + 13, y + 13};
  if (HTHEME theme = OpenThemeData(hwndThemed, L"BUTTON")) {
    const int state = picture == TCheckPicture::Checked ? CBS_CHECKEDNORMAL
                      : picture == TCheckPicture::Mixed ? CBS_MIXEDNORMAL
                                                        : CBS_UNCHECKEDNORMAL;
    const HRESULT hr = DrawThemeBackground(theme, dc, BP_CHECKBOX, state, &box, nullptr);
    CloseThemeData(theme);
    if (SUCCEEDED(hr)) return;
  }
  // No theme: a flat box with a dark border, a tick or a filled square.
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &box, white);
  DeleteObject(white);
  HBRUSH border = CreateSolidBrush(RGB(28, 81, 128));
  FrameRect(dc, &box, border);
  DeleteObject(border);
  if (picture == TCheckPicture::Mixed) {
    RECT inner = {x + 3, y + 3, x + 10, y + 10};
    HBRUSH fill = CreateSolidBrush(RGB(96, 160, 80));
    FillRect(dc, &inner, fill);
    DeleteObject(fill);
  } else if (picture == TCheckPicture::Checked) {
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(33, 161, 33));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x + 3, y + 6, nullptr);
    LineTo(dc, x + 5, y + 9);
    LineTo(dc, x + 10, y + 3);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

HIMAGELIST MakeCheckStateImages(HWND hwndThemed) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
  if (!list) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  for (int i = 0; i < 4; ++i) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    HBRUSH key = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, key);
    DeleteObject(key);
    if (i > 0) DrawCheckBox(dc, all, static_cast<TCheckPicture>(i - 1), hwndThemed);
    SelectObject(dc, old);
    ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}
