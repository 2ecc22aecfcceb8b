// The module that holds the window code: the add-in's DLL inside Outlook,
// the program in the tests. Window classes and resources belong to it.
#pragma once

#include <windows.h>

inline HINSTANCE UiInstance() {
  static const HINSTANCE instance = [] {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&UiInstance), &module);
    return static_cast<HINSTANCE>(module);
  }();
  return instance;
}

// The object behind a window created with it as the creation parameter:
// taken from the creation data on WM_NCCREATE and kept in the window's user
// data, read from there afterwards; null for the messages before.
template <typename T>
T* WindowObject(HWND hwnd, UINT nMsg, LPARAM lParam) {
  if (nMsg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
