#include "tools/scanrun/ScanRun.h"

#include <cstdio>
#include <exception>

bool OpenScan(TQuopDB& db, TsxMAPI_Session& session, const std::string& store) {
  if (!db.Init() || !db.OpenDB(store)) {
    std::fprintf(stderr, "cannot open the duplicate index (QuopDB.dll, %s)\n", store.c_str());
    return false;
  }
  try {
    session.Logon();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return false;
  }
  return true;
}

bool RunCollection(TsxMAPI_Session& session, TQueueDispatcher& events) {
  bool ended = false;
  session.OnTerminate = [&](TsxMAPI_Session*) { ended = true; };
  if (!session.GetAllMessage()) return false;
  events.PumpUntil([&] { return ended; });
  // OnTerminate arrives while the worker is still on its way out.
  session.WaitForRun();
  return true;
}
