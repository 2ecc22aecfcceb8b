#include "index/uDB.h"

#include "support/ModuleFolder.h"
#include "index/QuopMsgCopy.h"
#include "index/SehGuard.h"

namespace {

template <typename TFn>
bool Resolve(HMODULE module, const char* szName, TFn& entry) {
  const FARPROC address = GetProcAddress(module, szName);
  if (address == nullptr) return false;
  // Through void (*)(): the one function pointer type GCC casts from without warning.
  entry = reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(address));
  return true;
}

// In the library's order; && stops at the first missing name.
bool ResolveAll(HMODULE module, TQuopDBExports& exports) {
  return Resolve(module, "OpenDB", exports.FOpenDB) &&
         Resolve(module, "CloseDB", exports.FCloseDB) &&
         Resolve(module, "AddMsg", exports.FAddMsg) &&
         Resolve(module, "FindFirstMsg", exports.FFindFirstMsg) &&
         Resolve(module, "FindNextMsg", exports.FFindNextMsg) &&
         Resolve(module, "FreeQuopMsg", exports.FFreeQuopMsg) &&
         Resolve(module, "GetMsgAt", exports.FGetMsgAt) &&
         Resolve(module, "CommitDB", exports.FCommitDB) &&
         Resolve(module, "GetMsgCount", exports.FGetMsgCount) &&
         Resolve(module, "SetMsgSet", exports.FSetMsgSet) &&
         Resolve(module, "StopFindMsg", exports.FStopFindMsg) &&
         Resolve(module, "ClearDB", exports.FClearDB);
}

}  // namespace

TQuopDB::~TQuopDB() { UnInit(); }

bool TQuopDB::Init(const std::string& strDLLPath) {
  UnInit();
  try {
    const std::string strPath =
        strDLLPath.empty() ? OwnModuleFolder() + "\\QuopDB.dll" : strDLLPath;
    DLLHandle.Reset(LoadLibraryA(strPath.c_str()));
  } catch (...) {  // out of memory for the path
    return false;
  }
  if (!DLLHandle) return false;
  return ResolveAll(DLLHandle.Get(), FExports);
}

void TQuopDB::UnInit() {
  CloseDB();
  FExports = TQuopDBExports();
  DLLHandle.Reset();
}

bool TQuopDB::OpenDB(const std::string& strPath) {
  if (FDBOpend) CloseDB();
  if (FExports.FOpenDB == nullptr) return false;
  FDBOpend = FExports.FOpenDB(strPath.c_str()) != 0;
  return FDBOpend;
}

void TQuopDB::CloseDB() {
  if (!FDBOpend) return;
  FDBOpend = false;
  if (FExports.FCloseDB != nullptr) FExports.FCloseDB();
}

bool TQuopDB::AddMsg(const TQuopMsg& msg) {
  if (!FDBOpend || FExports.FAddMsg == nullptr) return false;
  TByteBool bAdded = 0;
  auto call = [&] { bAdded = FExports.FAddMsg(msg); };
  return CallWithSehGuard(call) && bAdded != 0;
}

TQuopMsg* TQuopDB::FindFirstMsg() {
  if (!FDBOpend || FExports.FFindFirstMsg == nullptr) return nullptr;
  return FExports.FFindFirstMsg();
}

TQuopMsg* TQuopDB::FindNextMsg() {
  if (!FDBOpend || FExports.FFindNextMsg == nullptr) return nullptr;
  return FExports.FFindNextMsg();
}

void TQuopDB::FreeQuopMsg(TQuopMsg* msg) {
  if (FExports.FFreeQuopMsg != nullptr) FExports.FFreeQuopMsg(msg);
}

std::int32_t TQuopDB::GetMsgCount() {
  return FExports.FGetMsgCount != nullptr ? FExports.FGetMsgCount() : 0;
}

void TQuopDB::SetMsgSet(const TMsgSet& set) {
  if (FExports.FSetMsgSet != nullptr) FExports.FSetMsgSet(set);
}

void TQuopDB::CommitDB() {
  if (FExports.FCommitDB != nullptr) FExports.FCommitDB();
}

void TQuopDB::StopFindMsg() {
  if (FExports.FStopFindMsg != nullptr) FExports.FStopFindMsg();
}

void TQuopDB::ClearDB() {
  if (FExports.FClearDB != nullptr) FExports.FClearDB();
}

void TQuopDB::InitQuopMsg(TQuopMsg& msg) const { ::InitQuopMsg(msg); }

bool TQuopDB::CopyMsg(const TQuopMsg& src, TQuopMsg* dest) const { return ::CopyMsg(src, dest); }

void TQuopDB::UnInitQuopMsg(TQuopMsg& msg) const { ::UnInitQuopMsg(msg); }
