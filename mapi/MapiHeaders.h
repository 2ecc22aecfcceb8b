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

// MAPIINIT_0 flag 0x8: MAPIInitialize leaves COM alone, the caller having
// initialised it; asked for when the session's DoMAPIInit is false.
#ifndef MAPI_NO_COINIT
#define MAPI_NO_COINIT ((ULONG)0x00000008)
#endif

// Store support bit of a store that keeps its texts in Unicode.
#ifndef STORE_UNICODE_OK
#define STORE_UNICODE_OK ((ULONG)0x00040000)
#endif
// SMTP addresses kept on the message itself beside an Exchange sender's DN.
#ifndef PR_SENDER_SMTP_ADDRESS_W
#define PR_SENDER_SMTP_ADDRESS_W PROP_TAG(PT_UNICODE, 0x5D01)
#endif
#ifndef PR_SENT_REPRESENTING_SMTP_ADDRESS_W
#define PR_SENT_REPRESENTING_SMTP_ADDRESS_W PROP_TAG(PT_UNICODE, 0x5D02)
#endif
// A message's follow-up flag: 2 flagged, 1 complete, absent none.
#ifndef PR_FLAG_STATUS
#define PR_FLAG_STATUS PROP_TAG(PT_LONG, 0x1090)
#endif
// A message's body as HTML, kept as bytes in the message's code page.
#ifndef PR_HTML
#define PR_HTML PROP_TAG(PT_BINARY, 0x1013)
#endif
