#include "ui/ProgressDialog.h"

#include "support/ModuleFolder.h"

namespace {

constexpr char kClassName[] = "QuopProgressDialog";
constexpr int kCancelId = 1;

}  // namespace

TProgressDialog::TProgressDialog(HWND owner, HFONT font) {
  static const TWindowClass registered(kClassName, TWindowThunk<TProgressDialog>::Proc,
                                       TWindowLook{.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  RECT frame = {0, 0, 340, 110};
  AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  FHandle = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, owner,
                            nullptr, OwnModule(), this);
  FLabel = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 14, 14, 312, 16, FHandle, nullptr,
                           OwnModule(), nullptr);
  FBar = std::make_unique<TGauge>(FHandle, font);
  SetWindowPos(FBar->Handle(), nullptr, 14, 38, 312, 18, SWP_NOZORDER | SWP_SHOWWINDOW);
  FCancel = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 251, 72,
                            75, 25, FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCancelId)), OwnModule(),
                            nullptr);
  for (HWND child : {FLabel, FCancel}) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

TProgressDialog::~TProgressDialog() {
  if (FHandle) DestroyWindow(FHandle);
}

void TProgressDialog::SetCaption(const std::string& caption) { SetWindowTextA(FHandle, caption.c_str()); }

std::string TProgressDialog::Caption() const {
  char text[256] = {};
  GetWindowTextA(FHandle, text, sizeof(text));
  return text;
}

void TProgressDialog::SetLabel(const std::string& label) { SetWindowTextA(FLabel, label.c_str()); }

std::string TProgressDialog::Label() const {
  char text[256] = {};
  GetWindowTextA(FLabel, text, sizeof(text));
  return text;
}

void TProgressDialog::SetPosition(int position) {
  FPosition = position;
  FBar->SetPosition(FMax > 0 ? static_cast<int>(static_cast<long long>(position) * 100 / FMax) : 0);
  UpdateWindow(FBar->Handle());
  if (OnPosition) OnPosition(position);
  if (FMax > 0 && position >= FMax) Hide();
}

void TProgressDialog::Show() {
  // Centred on the owner, on top, without taking a modal run.
  const HWND owner = GetWindow(FHandle, GW_OWNER);
  RECT o{}, me{};
  if (owner) GetWindowRect(owner, &o);
  GetWindowRect(FHandle, &me);
  const int w = me.right - me.left, h = me.bottom - me.top;
  SetWindowPos(FHandle, HWND_TOPMOST, o.left + ((o.right - o.left) - w) / 2, o.top + ((o.bottom - o.top) - h) / 2,
               0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void TProgressDialog::Hide() { ShowWindow(FHandle, SW_HIDE); }

LRESULT TProgressDialog::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kCancelId && OnCancel) OnCancel();
      return 0;
    case WM_CLOSE:
      // The close button cancels too; the box goes when the owner is done.
      if (OnCancel) OnCancel();
      return 0;
    case WM_NCDESTROY:
      FHandle = nullptr;  // destroyed with its owner: nothing left to destroy
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, nMsg, wParam, lParam);
}
