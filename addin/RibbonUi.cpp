#include "addin/RibbonUi.h"

#include <olectl.h>

#include <cwchar>

#include "addin/ComBoundary.h"
#include "addin/ComServer.h"
#include "om/OutlookIntf.h"
#include "support/BstrHolder.h"
#include "support/ComPtr.h"
#include "om/OutlookCalls.h"

namespace ribbon {
namespace {

// The 2009/07 schema (Office 2010 on), the first that Outlook's explorer
// ribbon reads. The callbacks are members of the add-in's IDispatch.
constexpr wchar_t kExplorerXml[] =
    L"<customUI xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\">"
    L"<ribbon><tabs><tab idMso=\"TabMail\">"
    L"<group id=\"QuopGroup\" label=\"Quop\">"
    L"<button id=\"QuopTwinsweeps\" label=\"Twinsweeps\" size=\"large\" screentip=\"Quop Twinsweeps\""
    L" supertip=\"Finds duplicate messages in the folders you choose.\""
    L" getImage=\"GetTwinsweepsImage\" onAction=\"OnTwinsweeps\"/>"
    L"</group></tab></tabs></ribbon></customUI>";

// The icon's resource id in QuopDuplicate.rc.
constexpr int kButtonIconId = 3;
constexpr int kButtonIconSize = 32;

// Outlook 2010 is version 14, the first with a ribbon in the explorer.
// Outlook 2007 (12) has one only in inspectors: its reference says of
// _Explorer.CommandBars that "the Explorer does not use the Ribbon".
constexpr long kFirstRibbonMajorVersion = 14;

}  // namespace

std::wstring_view CustomUi(std::wstring_view ribbonId) {
  return ribbonId == kExplorerRibbonId ? std::wstring_view(kExplorerXml) : std::wstring_view();
}

IDispatch* NewButtonPicture() {
  HICON icon = static_cast<HICON>(LoadImageW(comserver::Module(), MAKEINTRESOURCEW(kButtonIconId), IMAGE_ICON,
                                             kButtonIconSize, kButtonIconSize, LR_DEFAULTCOLOR));
  if (icon == nullptr) CheckOle(HRESULT_FROM_WIN32(GetLastError()), "LoadImage");
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_ICON;
  desc.icon.hicon = icon;
  IDispatch* picture = nullptr;
  // The picture owns the icon from here on (fOwn).
  const HRESULT hr = OleCreatePictureIndirect(&desc, IID_IDispatch, TRUE, reinterpret_cast<void**>(&picture));
  if (FAILED(hr)) DestroyIcon(icon);
  CheckOle(hr, "OleCreatePictureIndirect");
  return picture;
}

bool ExplorerHasRibbon(IDispatch* application) {
  if (application == nullptr) return false;
  TComPtr<_Application> app;
  HRESULT hr = application->QueryInterface(IID__Application, reinterpret_cast<void**>(&app));
  TBstr version;
  if (SUCCEEDED(hr)) hr = app->get_Version(&version);
  if (FAILED(hr)) {
    comserver::ReportCode("OnConnection", "Application.Version", hr);
    return false;
  }
  return std::wcstol(version.Wide().c_str(), nullptr, 10) >= kFirstRibbonMajorVersion;
}

}  // namespace ribbon
