// The index as the benchmark drives it: on Windows QuopDB.dll through the
// add-in's wrapper, natively the library's C functions linked in.
#pragma once

#include "indexapi/QuopRecords.h"

#ifdef _WIN32
#include "index/uDB.h"

namespace bench {
class TIndexBackend {
 public:
  bool Load() { return db_.Init(); }
  bool OpenDB(const char* path) { return db_.OpenDB(path); }
  void CloseDB() { db_.CloseDB(); }
  bool AddMsg(const TQuopMsg& m) { return db_.AddMsg(m); }
  void CommitDB() { db_.CommitDB(); }
  void SetMsgSet(const TMsgSet& s) { db_.SetMsgSet(s); }
  void ClearDB() { db_.ClearDB(); }
  std::int32_t GetMsgCount() { return db_.GetMsgCount(); }
  TQuopMsg* FindFirstMsg() { return db_.FindFirstMsg(); }
  TQuopMsg* FindNextMsg() { return db_.FindNextMsg(); }
  void FreeQuopMsg(TQuopMsg* m) { db_.FreeQuopMsg(m); }

 private:
  TQuopDB db_;
};
}  // namespace bench

#else
#include "indexapi/QuopDBApi.h"

namespace bench {
class TIndexBackend {
 public:
  bool Load() { return true; }
  bool OpenDB(const char* path) { return ::OpenDB(path) != 0; }
  void CloseDB() { ::CloseDB(); }
  bool AddMsg(const TQuopMsg& m) { return ::AddMsg(m) != 0; }
  void CommitDB() { ::CommitDB(); }
  void SetMsgSet(const TMsgSet& s) { ::SetMsgSet(s); }
  void ClearDB() { ::ClearDB(); }
  std::int32_t GetMsgCount() { return ::GetMsgCount(); }
  TQuopMsg* FindFirstMsg() { return ::FindFirstMsg(); }
  TQuopMsg* FindNextMsg() { return ::FindNextMsg(); }
  void FreeQuopMsg(TQuopMsg* m) { ::FreeQuopMsg(m); }
};
}  // namespace bench
#endif
