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
