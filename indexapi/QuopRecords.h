// The two binary records exchanged with the duplicate-index library.
// Their layout on 32-bit Windows is a binary interface: QuopDB.dll is a
// separate module with its own allocator and takes both records by value.
#pragma once

#include <cstddef>
#include <cstdint>

// A one-byte boolean: 0 = false, anything else = true. A plain C++ bool
// would make a foreign value such as 0xFF undefined behaviour.
using TByteBool = std::uint8_t;

// Days since 30 December 1899, fraction = time of day; 0 = not set.
using TDateTime = double;

struct TQuopMsg {
  char* szEntryID;      // entry identifier as uppercase hex
  char* szSenderName;
  char* szSenderEmail;
  char* szSubject;
  char* szAttached;     // attachment summary
  alignas(8) TDateTime dtRecivedTime;  // UTC
  TDateTime dtSendTime;                // UTC
  char* szTo;
  char* szCC;
  char* szBCC;
  char* szFolder;       // display name of the folder read from
  std::int32_t lBodyCrc;
  std::int32_t nMsgSize;
  TByteBool bRead;
  TByteBool bFirst;     // returned records: first of its group
  std::int32_t nIndex;  // returned records: running position, for progress
};

// The nine text fields of a TQuopMsg in record order.
inline constexpr char* TQuopMsg::*const QuopMsgTextFields[] = {
    &TQuopMsg::szEntryID, &TQuopMsg::szSenderName, &TQuopMsg::szSenderEmail,
    &TQuopMsg::szSubject, &TQuopMsg::szAttached,   &TQuopMsg::szTo,
    &TQuopMsg::szCC,      &TQuopMsg::szBCC,        &TQuopMsg::szFolder,
};

struct TMsgSet {
  char* szSelEntryID;   // checked folder entry identifiers joined by ","
  std::int32_t nSelFields;
  alignas(8) TDateTime dtReceivedFrom;  // 0 = no lower limit
  TDateTime dtReceivedTo;               // 0 = no upper limit
  TByteBool bSearchOverFolders;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(TQuopMsg, szEntryID) == 0);
static_assert(offsetof(TQuopMsg, szSenderName) == 4);
static_assert(offsetof(TQuopMsg, szSenderEmail) == 8);
static_assert(offsetof(TQuopMsg, szSubject) == 12);
static_assert(offsetof(TQuopMsg, szAttached) == 16);
static_assert(offsetof(TQuopMsg, dtRecivedTime) == 24);
static_assert(offsetof(TQuopMsg, dtSendTime) == 32);
static_assert(offsetof(TQuopMsg, szTo) == 40);
static_assert(offsetof(TQuopMsg, szCC) == 44);
static_assert(offsetof(TQuopMsg, szBCC) == 48);
static_assert(offsetof(TQuopMsg, szFolder) == 52);
static_assert(offsetof(TQuopMsg, lBodyCrc) == 56);
static_assert(offsetof(TQuopMsg, nMsgSize) == 60);
static_assert(offsetof(TQuopMsg, bRead) == 64);
static_assert(offsetof(TQuopMsg, bFirst) == 65);
static_assert(offsetof(TQuopMsg, nIndex) == 68);
static_assert(sizeof(TQuopMsg) == 72);

static_assert(offsetof(TMsgSet, szSelEntryID) == 0);
static_assert(offsetof(TMsgSet, nSelFields) == 4);
static_assert(offsetof(TMsgSet, dtReceivedFrom) == 8);
static_assert(offsetof(TMsgSet, dtReceivedTo) == 16);
static_assert(offsetof(TMsgSet, bSearchOverFolders) == 24);
static_assert(sizeof(TMsgSet) == 32);
#endif
