// Check-box pictures for the tree and list controls: unchecked, checked and
// mixed, drawn with the current theme when there is one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "support/WinHandles.h"

enum class TCheckPicture { Unchecked, Checked, Mixed };

// Draws one check box of 13 x 13 pixels centred in r.
void DrawCheckBox(HDC dc, const RECT& r, TCheckPicture picture, HWND hwndThemed);

// A 16 x 16 state image list: image 0 empty, 1 unchecked, 2 checked, 3 mixed;
// null when it cannot be made.
TImageList MakeCheckStateImages(HWND hwndThemed);
