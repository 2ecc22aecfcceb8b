// TQuopDB: loads the duplicate-index library QuopDB.dll and resolves its
// twelve exports. A missing export or a closed index comes back as false,
// null or 0. Only AddMsg is guarded against a fault inside the library (it
// runs once per message, on data from the mail stores); a fault in any other
// call reaches the caller like any crash. Nothing here throws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/WinHandles.h"
#include "indexapi/QuopRecords.h"
#include "indexapi/QuopDBApi.h"

// The exports of the library, null until resolved.
struct TQuopDBExports {
  TOpenDBFn FOpenDB = nullptr;
  TCloseDBFn FCloseDB = nullptr;
  TAddMsgFn FAddMsg = nullptr;
  TFindFirstMsgFn FFindFirstMsg = nullptr;
  TFindNextMsgFn FFindNextMsg = nullptr;
  TFreeQuopMsgFn FFreeQuopMsg = nullptr;
  TGetMsgAtFn FGetMsgAt = nullptr;
  TCommitDBFn FCommitDB = nullptr;
  TGetMsgCountFn FGetMsgCount = nullptr;
  TSetMsgSetFn FSetMsgSet = nullptr;
  TStopFindMsgFn FStopFindMsg = nullptr;
  TClearDBFn FClearDB = nullptr;
};

class TQuopDB {
 public:
  TQuopDB() = default;
  ~TQuopDB();  // Destroy: UnInit
  TQuopDB(const TQuopDB&) = delete;
  TQuopDB& operator=(const TQuopDB&) = delete;

  // Loads the library at strDLLPath, or when it is empty QuopDB.dll in the
  // folder of the module holding this code, and resolves the exports in
  // order. False when the library does not load or an export is missing;
  // the exports resolved before a missing one stay in use. A library
  // loaded before is released first.
  bool Init(const std::string& strDLLPath = std::string());
  // CloseDB when open, then unloads the library and forgets its exports.
  void UnInit();

  // Closes first when open; stores and returns the library's result.
  bool OpenDB(const std::string& strPath);
  // Only when open: clears the open state, then calls the library.
  void CloseDB();

  // False when not open or missing; an exception inside the library gives false.
  bool AddMsg(const TQuopMsg& msg);
  // Null when not open or missing. The record belongs to the library.
  TQuopMsg* FindFirstMsg();
  TQuopMsg* FindNextMsg();

  // These forward whenever the export is present, open or not.
  void FreeQuopMsg(TQuopMsg* msg);
  std::int32_t GetMsgCount();  // 0 when missing
  void SetMsgSet(const TMsgSet& set);
  void CommitDB();
  void StopFindMsg();
  void ClearDB();

  // The record helpers of QuopMsgCopy.h with the add-in's allocator.
  void InitQuopMsg(TQuopMsg& msg) const;
  bool CopyMsg(const TQuopMsg& src, TQuopMsg* dest) const;
  void UnInitQuopMsg(TQuopMsg& msg) const;

  HMODULE Handle() const { return DLLHandle.Get(); }
  bool IsOpen() const { return FDBOpend; }
  const TQuopDBExports& Exports() const { return FExports; }

 private:
  TModuleHandle DLLHandle;
  bool FDBOpend = false;
  TQuopDBExports FExports;
};
