// Owner of an open registry key, closed exactly once, and the calls that
// hand one out (an empty holder when the key cannot be opened or made).
#pragma once

#include <windows.h>

#include "support/WinHandles.h"

struct TRegKeyTraits {
  static void Free(HKEY key) { RegCloseKey(key); }
};
using TRegKey = TUniqueHandle<HKEY, TRegKeyTraits>;

inline TRegKey OpenRegKey(HKEY root, const wchar_t* szKey, REGSAM access) {
  HKEY hKey = nullptr;
  return RegOpenKeyExW(root, szKey, 0, access, &hKey) == ERROR_SUCCESS ? TRegKey(hKey) : TRegKey();
}

// Opens the key, making it (with its missing parents) when needed.
inline TRegKey CreateRegKey(HKEY root, const wchar_t* szKey, REGSAM access) {
  HKEY hKey = nullptr;
  return RegCreateKeyExW(root, szKey, 0, nullptr, 0, access, nullptr, &hKey, nullptr) == ERROR_SUCCESS
             ? TRegKey(hKey)
             : TRegKey();
}
