// A stand-in for QuopDB.dll in the wrapper's tests: it logs every call it
// receives and keeps the last records passed by value, both readable
// through extra exports. Which of the twelve exports exist is decided by
// each variant's .def file; the behaviour of AddMsg by a build switch:
//   FAKE_ADDMSG_RAISES   AddMsg raises a structured exception
//   FAKE_ADDMSG_FAULTS   AddMsg reads through a null pointer
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "indexapi/QuopDBApi.h"

namespace {

std::string gCallLog;  // "Name;" or "Name(argument);" per call
TQuopMsg gLastMsg;
TMsgSet gLastMsgSet;
std::int32_t gAdded = 0;
int gNextFound = 0;

void Log(const std::string& strEntry) { gCallLog += strEntry + ';'; }

// The stream FindFirstMsg and FindNextMsg deliver: one group of two.
TQuopMsg* Found(int nPosition) {
  static TQuopMsg found[2] = {};
  static char szFirst[] = "first", szSecond[] = "second";
  if (nPosition >= 2) return nullptr;
  found[0].szSubject = szFirst;
  found[0].bFirst = 1;
  found[0].nIndex = 1;
  found[1].szSubject = szSecond;
  found[1].bFirst = 0;
  found[1].nIndex = 2;
  return &found[nPosition];
}

}  // namespace

// Boolean results are whole 32-bit words so that a test can set bits above
// the low byte, which alone carries the boolean.
extern "C" {

std::uint32_t QUOPDB_CALL OpenDB(const char* szPath) {
  Log(std::string("OpenDB(") + szPath + ")");
  return std::strcmp(szPath, "fail") == 0 ? 0xFFFFFF00u : 1u;
}

void QUOPDB_CALL CloseDB() { Log("CloseDB"); }

// Answers the record's nIndex as its result word.
std::uint32_t QUOPDB_CALL AddMsg(TQuopMsg msg) {
  Log("AddMsg");
#if defined(FAKE_ADDMSG_RAISES)
  RaiseException(0xE0514F50, 0, 0, nullptr);
#elif defined(FAKE_ADDMSG_FAULTS)
  // A read: Wine lets a write to address 0 pass without a fault.
  const volatile std::int32_t* volatile nowhere = nullptr;
  msg.nIndex = *nowhere;
#endif
  gLastMsg = msg;
  ++gAdded;
  return static_cast<std::uint32_t>(msg.nIndex);
}

TQuopMsg* QUOPDB_CALL FindFirstMsg() {
  Log("FindFirstMsg");
  gNextFound = 0;
  return Found(gNextFound++);
}

TQuopMsg* QUOPDB_CALL FindNextMsg() {
  Log("FindNextMsg");
  return Found(gNextFound++);
}

void QUOPDB_CALL FreeQuopMsg(TQuopMsg* msg) {
  Log("FreeQuopMsg(" + std::to_string(msg != nullptr ? msg->nIndex : -1) + ")");
}

TQuopMsg* QUOPDB_CALL GetMsgAt(std::int32_t nIndex) {
  Log("GetMsgAt(" + std::to_string(nIndex) + ")");
  return nullptr;
}

void QUOPDB_CALL CommitDB() { Log("CommitDB"); }

std::int32_t QUOPDB_CALL GetMsgCount() {
  Log("GetMsgCount");
  return gAdded;
}

void QUOPDB_CALL SetMsgSet(TMsgSet set) {
  Log(std::string("SetMsgSet(") + (set.szSelEntryID != nullptr ? set.szSelEntryID : "null") + ")");
  gLastMsgSet = set;
}

void QUOPDB_CALL StopFindMsg() { Log("StopFindMsg"); }

void QUOPDB_CALL ClearDB() {
  Log("ClearDB");
  gAdded = 0;
}

// For the tests only.
const char* QUOPDB_CALL FakeCallLog() { return gCallLog.c_str(); }
void QUOPDB_CALL FakeClearLog() { gCallLog.clear(); }
const TQuopMsg* QUOPDB_CALL FakeLastMsg() { return &gLastMsg; }
const TMsgSet* QUOPDB_CALL FakeLastMsgSet() { return &gLastMsgSet; }

}  // extern "C"
