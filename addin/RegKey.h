// Owner of an open registry key, closed exactly once.
#pragma once

#include <windows.h>

#include "support/WinHandles.h"

struct TRegKeyTraits {
  static void Free(HKEY key) { RegCloseKey(key); }
};
using TRegKey = TUniqueHandle<HKEY, TRegKeyTraits>;
