// Measures a full collection run over a stand-in profile: the mail-store
// layer reads every message into QuopDB.dll on its worker thread.
//
//   collect_bench --profile FILE [--mask MASK]
//
// Prints messages, skipped, seconds, messages_per_second, peak_rss_mb (the
// process, the stand-in's profile in memory included), the most MAPI objects
// open at once (all of them and by type, as the stand-in counts them) and the
// MAPI calls the run made.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/PeakMemory.h"
#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "mapi/QueueDispatcher.h"
#include "mapi/SearchSetup.h"
#include "mapi/sx_MAPI_Session.h"
#include "standin/StandinControl.h"
#include "tools/scanrun/ScanRun.h"

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
  TQueueDispatcher events;
  TsxMAPI_Session session;
  if (!OpenScan(db, session, store)) return 1;
  const HMODULE provider = GetModuleHandleA(STANDIN_DLL_NAME);
  const auto control = [provider](const char* name) {
    return provider ? reinterpret_cast<void (*)()>(GetProcAddress(provider, name)) : nullptr;
  };
  const auto peakOpen = reinterpret_cast<LONG(WINAPI*)(const char*)>(control("StandinPeakOpen"));
  const auto resetPeaks = reinterpret_cast<void(WINAPI*)()>(control("StandinResetPeaks"));
  const auto callCount = reinterpret_cast<ULONG(WINAPI*)()>(control("StandinCallCount"));
  const auto resetCalls = reinterpret_cast<void(WINAPI*)()>(control("StandinResetCalls"));
  BeginSearch(session, db, events, mask, false);

  if (resetPeaks) resetPeaks();
  if (resetCalls) resetCalls();
  const auto t0 = std::chrono::steady_clock::now();
  if (!RunCollection(session, events)) return 1;
  db.CommitDB();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const std::int32_t messages = db.GetMsgCount();
  std::printf("messages: %d\n", messages);
  std::printf("skipped: %zu\n", session.Skipped().Count());
  std::printf("seconds: %.3f\n", seconds);
  std::printf("messages_per_second: %.0f\n", messages / seconds);
  std::printf("peak_rss_mb: %.1f\n", bench::PeakResidentMegabytes());
  if (peakOpen) {
    std::printf("peak_open_mapi_objects: %ld\n", static_cast<long>(peakOpen("all")));
    for (const char* type : {"message", "folder", "attachment", "table", "stream", "store"})
      std::printf("peak_open_%s: %ld\n", type, static_cast<long>(peakOpen(type)));
  }
  if (callCount) {
    std::printf("mapi_calls: %lu\n", static_cast<unsigned long>(callCount()));
    std::printf("mapi_calls_per_message: %.2f\n", messages ? callCount() / static_cast<double>(messages) : 0.0);
  }
  db.CloseDB();
  std::filesystem::remove(store);
  return 0;
}
