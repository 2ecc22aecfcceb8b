/* Control interface of the stand-in MAPI provider QuopStandin.dll, for tests.
   The functions are undecorated stdcall exports of the DLL; fetch them with
   GetProcAddress(GetModuleHandleA(STANDIN_DLL_NAME), "StandinLiveObjects")
   once MAPI32.DLL has loaded the provider. Plain C, fixed-width types. */
#ifndef QUOP_STANDIN_CONTROL_H
#define QUOP_STANDIN_CONTROL_H

#include <windows.h>

#define STANDIN_DLL_NAME "QuopStandin.dll"
/* Environment variable naming the profile read at the first MAPILogonEx. */
#define STANDIN_PROFILE_ENV "QUOP_STANDIN_PROFILE"

#ifdef __cplusplus
extern "C" {
#endif

/* COM objects of the provider not yet released (sessions, stores, folders,
   messages, attachments, tables, address books, and the object model's
   application, explorers, namespaces, folder collections and folders). */
typedef LONG (WINAPI *STANDIN_LIVEOBJECTS)(void);
/* MAPIAllocateBuffer blocks not yet freed with MAPIFreeBuffer. */
typedef LONG (WINAPI *STANDIN_LIVEBUFFERS)(void);
/* MAPIFreeBuffer calls on a pointer that is not a live buffer (double frees). */
typedef LONG (WINAPI *STANDIN_BADFREES)(void);

/* MAPI objects open now, by type: "message", "folder", "attachment",
   "table", "stream", "store", or "all" (their sum); -1 for another name. */
typedef LONG (WINAPI *STANDIN_OPENOBJECTS)(const char *type);
/* The most objects of that type open at once since the last reset ("all":
   the peak of the sum); -1 for another name. */
typedef LONG (WINAPI *STANDIN_PEAKOPEN)(const char *type);
/* Every peak starts again from what is open now. */
typedef void (WINAPI *STANDIN_RESETPEAKS)(void);

/* MAPI calls served since the last reset: every call that chosen failures
   can hit (the list is in standin/README.md), counted once each; and the
   calls of one method name ("OpenEntry", "GetProps", "QueryRows", "Read"). */
typedef ULONG (WINAPI *STANDIN_CALLCOUNT)(void);
typedef ULONG (WINAPI *STANDIN_CALLCOUNTOF)(const char *call);
typedef void (WINAPI *STANDIN_RESETCALLS)(void);

/* Bytes the provider's profile model holds now (its texts, message records,
   indexes and folder listings, counted as they are allocated): the part of
   a process's memory that is the stand-in's and not the product's. */
typedef ULONG (WINAPI *STANDIN_MODELBYTES)(void);

/* Messages of generated stores made whole (values, body, attachments) since
   the process started; a contents-table row made without its message does
   not count. */
typedef ULONG (WINAPI *STANDIN_MESSAGESMADE)(void);

/* Replace the profile (and its faults) with a JSON file, or JSON text. */
typedef HRESULT (WINAPI *STANDIN_LOADPROFILE)(const char *path);
typedef HRESULT (WINAPI *STANDIN_LOADPROFILETEXT)(const char *json);
/* Write the profile as it is now (deletes, copies and moves included). */
typedef HRESULT (WINAPI *STANDIN_SAVEPROFILE)(const char *path);

/* Make `call` (a method name such as "OpenMsgStore", "GetHierarchyTable",
   "GetProps", "QueryRows") fail with hr on the object named `target`: a store
   name, a folder's display name, a message's subject, an attachment's display
   name, or "session". Opening calls also match the object being opened.
   "*" as call or target matches every call or target: ("*", "*", 0, hr, n)
   fails the n-th MAPI call counted from now.
   propTag != 0 (GetProps only): the call succeeds with MAPI_W_ERRORS_RETURNED
   and that property comes back as PT_ERROR carrying hr. nth = 0: every
   matching call; nth = n: only the n-th matching call. */
typedef HRESULT (WINAPI *STANDIN_ADDFAULT)(const char *call, const char *target,
                                           ULONG propTag, HRESULT hr, ULONG nth);
/* A list call (CopyMessages) on `target` carries out the first `carryOut`
   entries of its list, then answers hr (a warning such as
   MAPI_W_PARTIAL_COMPLETION, or an error); nth as above. */
typedef HRESULT (WINAPI *STANDIN_ADDLISTFAULT)(const char *call, const char *target,
                                               ULONG carryOut, HRESULT hr, ULONG nth);
typedef void (WINAPI *STANDIN_CLEARFAULTS)(void);

/* Log of the session-level calls, one text line each: MAPIInitialize,
   MAPILogonEx, OpenAddressBook, Logoff, PrepareForm, ShowForm,
   MAPIUninitialize, and the object model's PickFolder. StandinLogLine copies line `index` (0-based) into buffer
   (always zero-terminated when size > 0) and returns its length, or
   0xFFFFFFFF when there is no such line. */
typedef ULONG (WINAPI *STANDIN_LOGCOUNT)(void);
typedef ULONG (WINAPI *STANDIN_LOGLINE)(ULONG index, char *buffer, ULONG size);
typedef void (WINAPI *STANDIN_CLEARLOG)(void);

/* The Outlook object model over the same profile (loaded from the
   environment variable when none is loaded yet, else MAPI_E_LOGON_FAILED):
   a new Application object, answering _Application (om/OutlookIntf.h).
   Its objects count in StandinLiveObjects. */
typedef HRESULT (WINAPI *STANDIN_CREATEAPPLICATION)(IDispatch **application);
/* What _NameSpace::PickFolder answers from now on: the folder with this
   entry identifier text (hex digits, either case; an identifier no folder
   has makes PickFolder fail with MAPI_E_NOT_FOUND), or, for null or "",
   a cancelled picker (S_OK and no folder, the starting state). Not hex:
   E_INVALIDARG. PickFolder writes a log line. */
typedef HRESULT (WINAPI *STANDIN_SCRIPTPICKFOLDER)(const char *entryId);

#ifdef __cplusplus
}
#endif

#endif
