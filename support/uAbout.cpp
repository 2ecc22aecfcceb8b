#include "support/uAbout.h"

#include <stdexcept>

#include "support/ModuleFolder.h"
#include "support/ProductInfo.h"

namespace {

const char kWindowClass[] = "QuopTFormAbout";
constexpr int kClientWidth = 397;
constexpr int kClientHeight = 213;
constexpr int kLinkId = 101;
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

void RegisterFormClass() {
  static const TWindowClass registered(kWindowClass, TWindowThunk<TFormAbout>::Proc,
                                       TWindowLook{.hbrBackground = GetSysColorBrush(COLOR_BTNFACE)});
}

// The designed font of a height in pixels.
TLangFont Tahoma(int nHeight) { return TLangFont{"Tahoma", FontSizeOfHeight(nHeight), DEFAULT_CHARSET}; }

int Width(const RECT& r) { return r.right - r.left; }

}  // namespace

TFormAbout::TFormAbout(HWND hwndOwner) : TFormAbout(hwndOwner, TAboutSetup{GetLangFile(), GetSkinFile()}) {}

TFormAbout::TFormAbout(HWND hwndOwner, TAboutSetup setup) : FFont(Tahoma(-11)), FOpen(std::move(setup.open)) {
  CreateForm(hwndOwner);
  MLang = std::make_unique<TMLang>(this);
  MLang->SetIgnoreControls({"lblTitle", "lbl1", "lblQuop"});
  MLang->SetFileName(setup.strLangFile);
  MLang->SetActive(true);
  LoadFromCompressedFile(setup.strSkinFile);
  lblTitle->SetText("Caption", lblTitle->Caption() + GetFileVersion());
  lblTitle->AutoSize();
  CenterTitle();
  FParentForm = nullptr;
  ShowWindow(Handle(), SW_SHOW);
  SetFocus(btnOK->Handle());  // the first control that takes focus
}

TFormAbout::~TFormAbout() {
  if (IsWindowVisible(Handle())) FormClose();
  FWindow.Reset();  // the controls go before the fonts they use
}

void TFormAbout::CreateForm(HWND hwndOwner) {
  RegisterFormClass();
  RECT bounds{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&bounds, kFormStyle, FALSE, kFormExStyle);
  // Centred on the application's main form, which a library never has:
  // in effect on the screen.
  const int nLeft = (GetSystemMetrics(SM_CXSCREEN) - Width(bounds)) / 2;
  const int nTop = (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2;
  FWindow.Reset(CreateWindowExA(kFormExStyle, kWindowClass, "About", kFormStyle, nLeft, nTop, Width(bounds),
                                bounds.bottom - bounds.top, hwndOwner, nullptr, OwnModule(), this));
  if (!FWindow) throw std::runtime_error("The about box cannot be created");
  CreateControls();
}

HWND TFormAbout::CreateChild(const char* szClass, const char* szText, DWORD nStyle, const RECT& bounds, int nId) {
  return CreateWindowExA(0, szClass, szText, WS_CHILD | WS_VISIBLE | nStyle, bounds.left, bounds.top,
                         bounds.right, bounds.bottom, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                         OwnModule(), nullptr);
}

void TFormAbout::CreateControls() {
  // Rectangles as left, top, width, height; labels are one line high.
  btnOK = std::make_unique<TWinControl>(
      "btnOK", CreateChild("BUTTON", "&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, {152, 152, 75, 25}, IDOK), FFont);
  lbl1 = std::make_unique<TWinControl>("lbl1", CreateChild("STATIC", kProductNotice, SS_LEFTNOWORDWRAP, {128, 96, 1, 1}, -1),
                                       FFont);
  lblQuop = std::make_unique<TWinControl>(
      "lblQuop", CreateChild("STATIC", kProductHomePage, SS_LEFTNOWORDWRAP | SS_NOTIFY, {152, 120, 1, 1}, kLinkId), FFont,
      true);
  lblTitle = std::make_unique<TWinControl>(
      "lblTitle", CreateChild("STATIC", "Quop Twinsweeps ", SS_LEFTNOWORDWRAP, {152, 40, 1, 1}, -1), Tahoma(-20));
  lblTitle->AutoSize();
  // The notice and the link reach to the right edge: renderers may draw text
  // a little wider than its measured extent, and a cut link would mislead.
  for (TWinControl* label : {lbl1.get(), lblQuop.get()}) {
    label->AutoSize();
    const RECT bounds = label->BoundsInParent();
    SetWindowPos(label->Handle(), nullptr, 0, 0, kClientWidth - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TFormAbout::CenterTitle() {
  RECT form{};
  GetWindowRect(Handle(), &form);
  const RECT title = lblTitle->BoundsInParent();
  const int nLeft = (Width(form) - Width(title)) / 2;  // truncates toward zero
  SetWindowPos(lblTitle->Handle(), nullptr, nLeft, title.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const TWinControl& TFormAbout::Control(const std::string& strName) const {
  for (const TWinControl* control : {btnOK.get(), lbl1.get(), lblQuop.get(), lblTitle.get()}) {
    if (control->Name() == strName) return *control;
  }
  throw std::out_of_range(strName);
}

void TFormAbout::LoadFromCompressedFile(const std::string& strFileName) {
  if (strFileName == m_strSkinFile) return;
  m_strSkinFile = strFileName;
  const DWORD nAttributes = strFileName.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(strFileName.c_str());
  const bool bExists = nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (bExists && bsbSkinData.strSkinName.empty()) bsbSkinData.LoadFromCompressedFile(strFileName);
}

void TFormAbout::FormClose() {
  // The parent first, so that activation returns to it.
  if (FParentForm != nullptr) EnableWindow(FParentForm, TRUE);
  ShowWindow(Handle(), SW_HIDE);
}

void TFormAbout::btnOKClick() { FormClose(); }

void TFormAbout::lblQuopClick() { GotoUrlWith(kProductHomePage, FOpen); }

bool TFormAbout::PreTranslateMessage(MSG& msg) {
  return IsWindowVisible(Handle()) && IsDialogMessageA(Handle(), &msg);
}

std::optional<std::string> TFormAbout::GetText(std::string_view name) const {
  if (name != "Caption") return std::nullopt;
  char szCaption[256] = {};
  GetWindowTextA(Handle(), szCaption, sizeof szCaption);
  return std::string(szCaption);
}

void TFormAbout::SetText(std::string_view name, const std::string& value) {
  if (name == "Caption") SetWindowTextA(Handle(), value.c_str());
}

std::vector<ILangComponent*> TFormAbout::OwnedComponents() const {
  return {btnOK.get(), lbl1.get(), lblQuop.get(), lblTitle.get()};
}

LRESULT TFormAbout::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) btnOKClick();
      if (LOWORD(wParam) == kLinkId && HIWORD(wParam) == STN_CLICKED) lblQuopClick();
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC: {
      // Transparent labels; the link in blue.
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      if (lblQuop && reinterpret_cast<HWND>(lParam) == lblQuop->Handle()) SetTextColor(dc, RGB(0, 0, 255));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (lblQuop && reinterpret_cast<HWND>(wParam) == lblQuop->Handle()) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_NCDESTROY:
      // Destroyed with its owner: the holder lets go of the handle, so that
      // it is never destroyed twice.
      FWindow.Release();
      break;
  }
  return DefWindowProcA(hwnd, nMsg, wParam, lParam);
}

std::unique_ptr<TFormAbout> OpenAboutBox(HWND hwndFinder) {
  return OpenAboutBox(hwndFinder, TAboutSetup{GetLangFile(), GetSkinFile()});
}

std::unique_ptr<TFormAbout> OpenAboutBox(HWND hwndFinder, TAboutSetup setup) {
  auto box = std::make_unique<TFormAbout>(hwndFinder, std::move(setup));
  if (hwndFinder != nullptr) EnableWindow(hwndFinder, FALSE);
  box->SetParentForm(hwndFinder);
  ShowWindow(box->Handle(), SW_SHOW);
  return box;
}
