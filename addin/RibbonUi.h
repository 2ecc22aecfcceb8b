// The add-in's part of the Office ribbon: its XML for each ribbon Office
// asks for, the button's image, and whether the Outlook at hand shows a
// ribbon in its main window at all.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string_view>

namespace ribbon {

// The ribbon id Outlook 2010 and later give GetCustomUI for the main window.
inline constexpr wchar_t kExplorerRibbonId[] = L"Microsoft.Outlook.Explorer";

// The customUI XML for that ribbon id: the "Quop" group with the large
// "Twinsweeps" button on the Home tab for the explorer; empty for any other
// ribbon (an inspector, a context menu), which the add-in leaves alone.
std::wstring_view CustomUi(std::wstring_view ribbonId);

// The product's icon (32 x 32) as a new picture object (IPictureDisp), for
// the button's getImage callback; a failure raises EOleException.
IDispatch* NewButtonPicture();

// True when the application's main window has a ribbon, so the command bar
// is left out: Outlook 2010 (Version "14.0...") and later. Outlook 2007
// and older, or an application whose Version cannot be read, get the bar.
bool ExplorerHasRibbon(IDispatch* application);

}  // namespace ribbon
