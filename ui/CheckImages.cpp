#include "ui/CheckImages.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "ui/Painting.h"

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
  FillColour(dc, box, RGB(255, 255, 255));
  FrameColour(dc, box, RGB(28, 81, 128));
  if (picture == TCheckPicture::Mixed) {
    FillColour(dc, RECT{x + 3, y + 3, x + 10, y + 10}, RGB(96, 160, 80));
  } else if (picture == TCheckPicture::Checked) {
    DrawLines(dc, {{x + 3, y + 6}, {x + 5, y + 9}, {x + 10, y + 3}}, RGB(33, 161, 33), 2);
  }
}

TImageList MakeCheckStateImages(HWND hwndThemed) {
  constexpr COLORREF kKey = RGB(255, 0, 255);  // the transparent colour
  TImageList list(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0));
  if (!list) return list;
  const TWindowDC screen(nullptr);
  const TMemoryDC dc(CreateCompatibleDC(screen.Get()));
  for (int i = 0; i < 4; ++i) {
    const TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 16, 16));
    {
      // The bitmap leaves the memory context before the list copies it.
      const TSelectedObject selected(dc.Get(), bitmap.Get());
      const RECT all = {0, 0, 16, 16};
      FillColour(dc.Get(), all, kKey);
      if (i > 0) DrawCheckBox(dc.Get(), all, static_cast<TCheckPicture>(i - 1), hwndThemed);
    }
    ImageList_AddMasked(list.Get(), bitmap.Get(), kKey);
  }
  return list;
}
