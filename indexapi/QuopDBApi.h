// The C interface of the duplicate-index library QuopDB.dll: twelve
// undecorated stdcall functions (the .def file gives the exact names).
// The native build exports the same functions with the default convention,
// and native programs may link against them directly.
#pragma once

#include "indexapi/QuopRecords.h"

#if defined(_WIN32) && !defined(_WIN64)
#define QUOPDB_CALL __stdcall
#else
#define QUOPDB_CALL
#endif

#if defined(_WIN32)
#define QUOPDB_EXPORT extern "C" __declspec(dllexport)
#else
#define QUOPDB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Function pointer types, shared by the library and the wrapper that loads it.
using TOpenDBFn = TByteBool(QUOPDB_CALL*)(const char* path);
using TCloseDBFn = void(QUOPDB_CALL*)();
using TAddMsgFn = TByteBool(QUOPDB_CALL*)(TQuopMsg msg);
using TFindFirstMsgFn = TQuopMsg*(QUOPDB_CALL*)();
using TFindNextMsgFn = TQuopMsg*(QUOPDB_CALL*)();
using TFreeQuopMsgFn = void(QUOPDB_CALL*)(TQuopMsg* msg);
using TGetMsgAtFn = TQuopMsg*(QUOPDB_CALL*)(std::int32_t index);
using TCommitDBFn = void(QUOPDB_CALL*)();
using TGetMsgCountFn = std::int32_t(QUOPDB_CALL*)();
using TSetMsgSetFn = void(QUOPDB_CALL*)(TMsgSet set);
using TStopFindMsgFn = void(QUOPDB_CALL*)();
using TClearDBFn = void(QUOPDB_CALL*)();

#if defined(QUOPDB_BUILDING_LIBRARY) || !defined(_WIN32)
QUOPDB_EXPORT TByteBool QUOPDB_CALL OpenDB(const char* path);
QUOPDB_EXPORT void QUOPDB_CALL CloseDB();
QUOPDB_EXPORT TByteBool QUOPDB_CALL AddMsg(TQuopMsg msg);
QUOPDB_EXPORT TQuopMsg* QUOPDB_CALL FindFirstMsg();
QUOPDB_EXPORT TQuopMsg* QUOPDB_CALL FindNextMsg();
QUOPDB_EXPORT void QUOPDB_CALL FreeQuopMsg(TQuopMsg* msg);
QUOPDB_EXPORT TQuopMsg* QUOPDB_CALL GetMsgAt(std::int32_t index);
QUOPDB_EXPORT void QUOPDB_CALL CommitDB();
QUOPDB_EXPORT std::int32_t QUOPDB_CALL GetMsgCount();
QUOPDB_EXPORT void QUOPDB_CALL SetMsgSet(TMsgSet set);
QUOPDB_EXPORT void QUOPDB_CALL StopFindMsg();
QUOPDB_EXPORT void QUOPDB_CALL ClearDB();
#endif
