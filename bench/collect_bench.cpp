// Measures a full collection run over a stand-in profile: the mail-store
// layer reads every message into QuopDB.dll on its worker thread.
//
//   collect_bench --profile FILE [--mask MASK] [--near-misses] [--one-stage] [--rescan]
//   collect_bench --generate N [--seed S] [--kind KIND] [--call-us US] [--realistic] [--mask MASK]
//                 [--near-misses] [--one-stage] [--rescan]
//
// --generate serves one store of N messages made on demand (no profile file
// to write or read), of the given kind ("pst", "exchange-cached",
// "exchange-online") and call time in microseconds.
//
// The run has two stages (a message opened only when its row shares the
// other compared fields with another) unless --one-stage opens every message
// whose compared fields need it. --rescan searches the same store again
// with the body cache the first run wrote, and prints that run's figures
// prefixed rescan_ (rescan_messages_per_second, rescan_mapi_calls_per_message,
// rescan_cached_bodies, ...).
//
// Prints messages, skipped, seconds, messages_per_second, candidate_share
// (the share of messages stage 2 opened), the memory
// figures (peak_rss_mb: the process, the stand-in's profile in memory
// included; standin_model_mb: what the stand-in's profile model holds;
// run_added_mb: how far the peak rose above what the process held before
// the run, which is the product's collection and index with the stand-in's
// tables and open objects), the most MAPI objects open at once (all of them
// and by type, as the stand-in counts them), the MAPI calls the run made,
// in all and by call, and how the run's time split between the product, the
// stand-in, the index library and Wine's own libraries (time_share_*, by
// sampling the run's threads; see ThreadSampler.h), and the stand-in's time
// a message (standin_us_per_row: its share of the seconds, by messages). --near-misses then
// regroups the index once for each compared field left out, as the window's
// near-miss view does, and prints near_misses_seconds, near_miss_regroups
// and near_miss_groups.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/PeakMemory.h"
#include "bench/ThreadSampler.h"
#include "indexapi/CompareFields.h"
#include "index/uDB.h"
#include "mapi/QueueDispatcher.h"
#include "mapi/SearchSetup.h"
#include "mapi/sx_MAPI_Session.h"
#include "standin/StandinControl.h"
#include "tools/scanrun/ScanRun.h"
#include "ui/NearMissSearch.h"

namespace {

struct Options {
  std::string profile;
  unsigned long generate = 0;
  std::string seed = "1", kind = "pst", callMicroseconds = "0";
  bool realistic = false;
  bool nearMisses = false;
  bool oneStage = false;
  bool rescan = false;
  std::int32_t mask = DefaultFieldMask();
};

// False for an option it does not know or one without its value.
bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--realistic" || arg == "--near-misses" || arg == "--one-stage" || arg == "--rescan") {
      (arg == "--realistic"   ? o.realistic
       : arg == "--one-stage" ? o.oneStage
       : arg == "--rescan"    ? o.rescan
                              : o.nearMisses) = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--profile") o.profile = value;
    else if (arg == "--generate") o.generate = std::strtoul(value, nullptr, 10);
    else if (arg == "--seed") o.seed = std::to_string(std::strtoull(value, nullptr, 10));
    else if (arg == "--kind") o.kind = value;
    else if (arg == "--call-us") o.callMicroseconds = std::to_string(std::strtoul(value, nullptr, 10));
    else if (arg == "--mask") o.mask = static_cast<std::int32_t>(std::strtol(value, nullptr, 0));
    else return false;
  }
  return o.profile.empty() != (o.generate == 0);
}

// A profile of one default store whose messages are generated, in a file
// of this process's own.
std::string GeneratedProfile(const Options& o) {
  const std::string name = "collect-bench-profile-" + std::to_string(GetCurrentProcessId()) + ".json";
  const std::string file = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream out(file, std::ios::trunc);
  out << R"({"stores": [{"name": "Mailbox", "uid": "0123456789ABCDEF0123456789ABCDEF", "default": true, "kind": ")"
      << o.kind << R"(", "callMicroseconds": )" << o.callMicroseconds << R"(, "generate": {"messages": )" << o.generate
      << R"(, "seed": )" << o.seed << R"(, "realistic": )" << (o.realistic ? "true" : "false") << "}}]}\n";
  return file;
}

// The stand-in's calls a message cost, by call, the ones made at all.
void PrintCallsByName(ULONG(WINAPI* callCountOf)(const char*), std::int32_t messages) {
  for (const char* call : {"GetContentsTable", "GetHierarchyTable", "SetColumns", "QueryRows", "SeekRow",
                           "GetRowCount", "Restrict", "OpenEntry", "GetProps", "OpenProperty", "Read", "Seek",
                           "Stat", "GetAttachmentTable", "OpenAttach", "OpenMsgStore", "GetReceiveFolder"}) {
    const ULONG count = callCountOf(call);
    if (count != 0) std::printf("mapi_calls_per_message_%s: %.3f\n", call, messages ? count / double(messages) : 0.0);
  }
}

// Each part's share of the samples. The product is the benchmark's own
// program, into which the mail-store layer is linked; the system libraries'
// time goes to the part that called them.
void PrintTimeSplit(const bench::TThreadSampler& sampler, double seconds, std::int32_t messages) {
  if (sampler.Samples() == 0) return;
  const std::pair<const char*, const char*> parts[] = {
      {"collect_bench.exe", "product"}, {"quopstandin.dll", "standin"}, {"quopdb.dll", "index"}};
  std::map<std::string, unsigned long> shares = {{"product", 0}, {"standin", 0}, {"index", 0}, {"system", 0}};
  std::map<std::string, unsigned long> inSystem;
  for (const auto& [place, samples] : sampler.SamplesByPlace()) {
    const std::size_t via = place.find(" via ");
    const std::string module = via == std::string::npos ? place : place.substr(via + 5);
    std::string part = "system";
    for (const auto& [name, label] : parts)
      if (module == name) part = label;
    shares[part] += samples;
    if (via != std::string::npos) inSystem[part] += samples;
  }
  const auto share = [&](unsigned long samples) { return samples / double(sampler.Samples()); };
  std::printf("time_samples: %lu\n", sampler.Samples());
  for (const auto& [part, samples] : shares) {
    std::printf("time_share_%s: %.3f\n", part.c_str(), share(samples));
    std::printf("seconds_%s: %.3f\n", part.c_str(), share(samples) * seconds);
    if (part != "system") std::printf("time_share_%s_in_system_libraries: %.3f\n", part.c_str(), share(inSystem[part]));
  }
  if (messages != 0) std::printf("standin_us_per_row: %.2f\n", share(shares["standin"]) * seconds * 1e6 / messages);
}

// The same search once more, the body cache written by the first run in
// place: its figures prefixed rescan_.
void Rescan(TsxMAPI_Session& session, TQuopDB& db, TQueueDispatcher& events, std::int32_t mask,
            ULONG(WINAPI* callCount)(), void(WINAPI* resetCalls)(), LONG(WINAPI* peakOpen)(const char*),
            void(WINAPI* resetPeaks)()) {
  BeginSearch(session, db, events, mask, false);
  if (resetPeaks) resetPeaks();
  if (resetCalls) resetCalls();
  const auto t0 = std::chrono::steady_clock::now();
  if (!RunCollection(session, events)) return;
  db.CommitDB();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const std::int32_t messages = db.GetMsgCount();
  std::printf("rescan_messages: %d\n", messages);
  std::printf("rescan_seconds: %.3f\n", seconds);
  std::printf("rescan_messages_per_second: %.0f\n", messages / seconds);
  std::printf("rescan_candidate_share: %.4f\n", messages ? session.OpenedLate() / double(messages) : 0.0);
  std::printf("rescan_cached_bodies: %d\n", session.CachedBodies());
  if (peakOpen) std::printf("rescan_peak_open_mapi_objects: %ld\n", static_cast<long>(peakOpen("all")));
  if (callCount)
    std::printf("rescan_mapi_calls_per_message: %.3f\n", messages ? callCount() / static_cast<double>(messages) : 0.0);
}

}  // namespace

// The near misses of the run, timed from the index's own groups to the
// records of the near-miss groups copied out.
void PrintNearMisses(TQuopDB& db, const TMsgSet& search) {
  int regroups = 0;
  const auto t0 = std::chrono::steady_clock::now();
  const TNearMissFound found = SearchNearMisses(db, search, [&](std::int32_t, int, int) { ++regroups; });
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("near_misses_seconds: %.3f\n", seconds);
  std::printf("near_miss_regroups: %d\n", regroups);
  std::printf("near_miss_groups: %zu\n", found.misses.Groups.size() + found.misses.nLeftOut);
}

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: collect_bench --profile FILE [--mask MASK] [--near-misses] [--one-stage] [--rescan]\n"
                 "       collect_bench --generate N [--seed S] [--kind KIND] [--call-us US] [--realistic] [--mask MASK]\n"
                 "                     [--near-misses] [--one-stage] [--rescan]\n");
    return 2;
  }
  const std::string profile = options.generate != 0 ? GeneratedProfile(options) : options.profile;
  _putenv_s(STANDIN_PROFILE_ENV, profile.c_str());
  const std::int32_t mask = options.mask;

  // Of this process alone, so that two runs at once do not meet.
  const std::string store =
      (std::filesystem::temp_directory_path() / ("collect-bench-" + std::to_string(GetCurrentProcessId()) + ".dat")).string();
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
  const auto modelBytes = reinterpret_cast<STANDIN_MODELBYTES>(control("StandinModelBytes"));
  BeginSearch(session, db, events, mask, false);
  session.SetTwoStage(!options.oneStage);
  const std::string bodies = store + ".bodies";
  if (options.rescan) session.SetBodyCache(bodies);

  if (resetPeaks) resetPeaks();
  if (resetCalls) resetCalls();
  const double residentBefore = bench::ResidentMegabytes();
  const auto t0 = std::chrono::steady_clock::now();
  bench::TThreadSampler sampler({"collect_bench.exe", "quopstandin.dll", "quopdb.dll"});
  if (!RunCollection(session, events)) return 1;
  sampler.Stop();
  db.CommitDB();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const std::int32_t messages = db.GetMsgCount();
  std::printf("messages: %d\n", messages);
  std::printf("skipped: %zu\n", session.Skipped().Count());
  std::printf("seconds: %.3f\n", seconds);
  std::printf("messages_per_second: %.0f\n", messages / seconds);
  std::printf("candidate_share: %.4f\n", messages ? session.OpenedLate() / double(messages) : 0.0);
  std::printf("peak_rss_mb: %.1f\n", bench::PeakResidentMegabytes());
  std::printf("run_added_mb: %.1f\n", bench::PeakResidentMegabytes() - residentBefore);
  if (modelBytes) {
    const double model = modelBytes();
    std::printf("standin_model_mb: %.1f\n", model / (1024.0 * 1024.0));
    std::printf("standin_model_bytes_per_message: %.0f\n", messages ? model / messages : 0.0);
  }
  if (peakOpen) {
    std::printf("peak_open_mapi_objects: %ld\n", static_cast<long>(peakOpen("all")));
    for (const char* type : {"message", "folder", "attachment", "table", "stream", "store"})
      std::printf("peak_open_%s: %ld\n", type, static_cast<long>(peakOpen(type)));
  }
  if (callCount) {
    std::printf("mapi_calls: %lu\n", static_cast<unsigned long>(callCount()));
    std::printf("mapi_calls_per_message: %.2f\n", messages ? callCount() / static_cast<double>(messages) : 0.0);
  }
  if (const auto callCountOf = reinterpret_cast<ULONG(WINAPI*)(const char*)>(control("StandinCallCountOf")))
    PrintCallsByName(callCountOf, messages);
  PrintTimeSplit(sampler, seconds, messages);
  if (options.nearMisses) PrintNearMisses(db, SearchSettings(mask, false));
  if (options.rescan) {
    std::printf("body_cache_written: %d\n", session.BodyCacheWritten() ? 1 : 0);
    Rescan(session, db, events, mask, callCount, resetCalls, peakOpen, resetPeaks);
    std::filesystem::remove(bodies);
  }
  db.CloseDB();
  std::filesystem::remove(store);
  if (options.generate != 0) std::filesystem::remove(profile);
  return 0;
}
