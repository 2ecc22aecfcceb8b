// The one way a window of this system reaches the object behind it, and the
// one way its window class is registered.
#pragma once

#include <windows.h>

#include "support/WinHandles.h"

// The default procedure that matches the window: DefWindowProcW for a window
// of a Unicode class, DefWindowProcA otherwise. Calling the other one would
// turn its texts into question marks or cut them at the first character.
inline LRESULT DefaultWindowProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, nMsg, wParam, lParam)
                               : DefWindowProcA(hwnd, nMsg, wParam, lParam);
}

// The window procedure of a class whose windows each stand for one object of
// type T: register TWindowThunk<T>::Proc and create each window with its
// object as the creation parameter (the last argument of CreateWindowEx).
//   LRESULT T::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
// then gets every message from WM_NCCREATE through WM_NCDESTROY. WM_CREATE,
// and as a rule a first WM_SIZE, come before CreateWindowEx has returned the
// handle: an object that needs its handle by then takes it from `hwnd` on
// WM_NCCREATE.
// The few messages before WM_NCCREATE (WM_GETMINMAXINFO of a top-level
// window) get DefaultWindowProc. After WM_NCDESTROY the window no longer names
// the object, so an object may outlive its window; it must never go first
// while its window is still there. A T whose HandleMessage is private names
// the thunk its friend: friend struct TWindowThunk<T>;
template <class T>
struct TWindowThunk {
  static LRESULT CALLBACK Proc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg == WM_NCCREATE) {
      // lpCreateParams stands at the same place in CREATESTRUCTA and CREATESTRUCTW.
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    T* const self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefaultWindowProc(hwnd, nMsg, wParam, lParam);
    if (nMsg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return self->HandleMessage(hwnd, nMsg, wParam, lParam);
  }
};

// How the windows of a class look before they paint.
struct TWindowLook {
  HCURSOR hCursor = LoadCursor(nullptr, IDC_ARROW);
  // COLOR_... + 1, a system colour brush (GetSysColorBrush) or null for a
  // window that paints all of itself; never freed.
  HBRUSH hbrBackground = nullptr;
  HICON hIcon = nullptr;
};

// A window class of this module (OwnModule()), registered when the holder is
// made and unregistered when it goes. Keep each in a function-local static
// beside the code that creates its windows: registered once, on first use,
// and unregistered when the module unloads. That matters inside the add-in:
// Windows keeps the classes of a DLL that was unloaded, and a class left
// behind would send its windows to code that is gone.
class TWindowClass {
 public:
  // An ANSI class: its windows get 8-bit texts in the system code page, and
  // the common controls they hold send them the ANSI notifications.
  TWindowClass(const char* szName, WNDPROC proc, const TWindowLook& look = {});
  // A Unicode class (UTF-16 texts and notifications).
  TWindowClass(const wchar_t* szName, WNDPROC proc, const TWindowLook& look = {});
  // An ANSI class whose background is a brush of its own, freed when the
  // class is unregistered.
  TWindowClass(const char* szName, WNDPROC proc, TBrushHandle background);
  ~TWindowClass();
  TWindowClass(const TWindowClass&) = delete;
  TWindowClass& operator=(const TWindowClass&) = delete;

  // 0 when the class could not be registered (creating a window of it fails).
  ATOM Atom() const { return FAtom; }

 private:
  TBrushHandle FBackground;
  ATOM FAtom = 0;
};
