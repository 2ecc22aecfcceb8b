// Clearing, deep-copying and releasing the strings of a TQuopMsg in the
// add-in's own memory. Records returned by the library are never released
// here: they go back through its FreeQuopMsg.
#pragma once

#include <cstddef>

#include "indexapi/QuopRecords.h"

// Where the string blocks of copied records come from; tests inject their own.
class TStringAllocator {
 public:
  virtual void* Alloc(std::size_t nSize) = 0;  // null on failure
  virtual void Free(void* block) = 0;

 protected:
  ~TStringAllocator() = default;
};

// The add-in's allocator: malloc and free.
TStringAllocator& DefaultStringAllocator();

// All nine strings null, both dates 0, lBodyCrc and nMsgSize 0, bRead false,
// bFirst true; nIndex and the gaps are left as they are.
void InitQuopMsg(TQuopMsg& msg);

// Copies each non-null string of src into a zero-filled block of length + 2
// bytes stored in *dest; a null string leaves the field of *dest untouched,
// so *dest must start cleared. Then the dates, lBodyCrc, nMsgSize, bRead,
// bFirst and nIndex. False when dest is null or an allocation fails; the
// strings copied before the failure stay in *dest.
bool CopyMsg(const TQuopMsg& src, TQuopMsg* dest,
             TStringAllocator& allocator = DefaultStringAllocator());

// Frees and nulls the strings of a record made by CopyMsg, then clears the
// other fields as InitQuopMsg does; nIndex is kept. Safe to repeat.
void UnInitQuopMsg(TQuopMsg& msg, TStringAllocator& allocator = DefaultStringAllocator());
