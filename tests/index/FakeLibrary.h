// Where the fake libraries lie and what they recorded.
#pragma once

#include <windows.h>

#include <string>

#include "indexapi/QuopRecords.h"

// The folder of this test program, where the fakes are built.
std::string TestFolder();

// The file of a fake library, e.g. FakeLibraryPath("fake_quopdb_full").
std::string FakeLibraryPath(const char* szName);

// The calls a loaded fake received: "Name;" or "Name(argument);" each.
std::string CallLog(HMODULE fake);
void ClearCallLog(HMODULE fake);

// The last records the fake received by value.
const TQuopMsg& LastMsg(HMODULE fake);
const TMsgSet& LastMsgSet(HMODULE fake);

// An export of a loaded module as a typed function pointer; null if missing.
template <typename TFn>
TFn ExportOf(HMODULE module, const char* szName) {
  return reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, szName)));
}
