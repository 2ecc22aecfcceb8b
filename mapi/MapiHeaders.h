// The Extended MAPI declarations of mingw-w64, in the order they need, and
// the few values those headers lack.
#pragma once

#include <windows.h>

#include <mapicode.h>
#include <mapidefs.h>
#include <mapiguid.h>
#include <mapitags.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapiform.h>

// MAPIINIT_0 flag 0x8: asked for when the session should not let MAPI do
// its own initialisation (DoMAPIInit false).
#ifndef MAPI_NO_COINIT
#define MAPI_NO_COINIT ((ULONG)0x00000008)
#endif
