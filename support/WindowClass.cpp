#include "support/WindowClass.h"

#include "support/ModuleFolder.h"

namespace {

template <class TWndClassEx, class TChar>
TWndClassEx ClassOf(const TChar* szName, WNDPROC proc, const TWindowLook& look) {
  TWndClassEx wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = OwnModule();
  wc.hCursor = look.hCursor;
  wc.hbrBackground = look.hbrBackground;
  wc.hIcon = look.hIcon;
  wc.lpszClassName = szName;
  return wc;
}

}  // namespace

TWindowClass::TWindowClass(const char* szName, WNDPROC proc, const TWindowLook& look) {
  const WNDCLASSEXA wc = ClassOf<WNDCLASSEXA>(szName, proc, look);
  FAtom = RegisterClassExA(&wc);
}

TWindowClass::TWindowClass(const wchar_t* szName, WNDPROC proc, const TWindowLook& look) {
  const WNDCLASSEXW wc = ClassOf<WNDCLASSEXW>(szName, proc, look);
  FAtom = RegisterClassExW(&wc);
}

TWindowClass::TWindowClass(const char* szName, WNDPROC proc, TBrushHandle background)
    : TWindowClass(szName, proc, TWindowLook{.hbrBackground = background.Get()}) {
  FBackground = std::move(background);
}

TWindowClass::~TWindowClass() {
  // A window of the class still open (at the end of the process) keeps the
  // class registered, and it still paints with the brush: the brush stays.
  if (FAtom != 0 && !UnregisterClassA(MAKEINTATOM(FAtom), OwnModule())) FBackground.Release();
}
