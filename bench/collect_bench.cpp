// Measures a full collection run over a stand-in profile: the mail-store
// layer reads every message into QuopDB.dll on its worker thread.
//
//   collect_bench --profile FILE [--mask MASK]
//
// Prints messages, seconds, messages_per_second, peak_rss_mb (the process,
// the stand-in's profile in memory included) and max_live_mapi_objects (the
// most MAPI objects open at once, sampled at every progress event).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/PeakMemory.h"
#include "index/CompareFields.h"
#include "index/uDB.h"
#include "mapi/QueueDispatcher.h"
#include "mapi/SearchSetup.h"
#include "mapi/sx_MAPI_Session.h"
#include "standin/StandinControl.h"

int main(int argc, char** argv) {
  std::string profile;
  std::int32_t mask = DefaultFieldMask();
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--profile") profile = argv[i + 1];
    else if (arg == "--mask") mask = static_cast<std::int32_t>(std::strtol(argv[i + 1], nullptr, 0));
  }
  if (profile.empty()) {
    std::fprintf(stderr, "usage: collect_bench --profile FILE [--mask MASK]\n");
    return 2;
  }
  _putenv_s(STANDIN_PROFILE_ENV, profile.c_str());

  const std::string store = (std::filesystem::temp_directory_path() / "collect-bench.dat").string();
  TQuopDB db;
  if (!db.Init() || !db.OpenDB(store)) {
    std::fprintf(stderr, "cannot open the index\n");
    return 1;
  }
  TQueueDispatcher events;
  TsxMAPI_Session session;
  try {
    session.Logon();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  auto liveObjects = reinterpret_cast<STANDIN_LIVEOBJECTS>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA(STANDIN_DLL_NAME), "StandinLiveObjects")));
  long maxLive = 0;
  bool ended = false;
  session.OnProgressMsg = [&](const std::string&) {
    if (liveObjects) maxLive = std::max(maxLive, static_cast<long>(liveObjects()));
  };
  session.OnTerminate = [&](TsxMAPI_Session*) { ended = true; };
  BeginSearch(session, db, events, mask, false);

  const auto t0 = std::chrono::steady_clock::now();
  if (!session.GetAllMessage()) return 1;
  events.PumpUntil([&] { return ended; });
  session.WaitForRun();
  db.CommitDB();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const std::int32_t messages = db.GetMsgCount();
  std::printf("messages: %d\n", messages);
  std::printf("seconds: %.3f\n", seconds);
  std::printf("messages_per_second: %.0f\n", messages / seconds);
  std::printf("peak_rss_mb: %.1f\n", bench::PeakResidentMegabytes());
  std::printf("max_live_mapi_objects: %ld\n", maxLive);
  db.CloseDB();
  std::filesystem::remove(store);
  return 0;
}
