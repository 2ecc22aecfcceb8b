// Measures the duplicate index on a generated mailbox: adds N messages,
// commits, reads every group back and prints one figure per line. Exits 1
// when the surplus copies found differ from the copies generated.
//
//   index_bench [--messages N] [--duplicates FRACTION] [--mask MASK]
//               [--csv FILE] [--store FILE] [--seed N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <algorithm>
#include <string>
#include <vector>

#include "bench/CsvWriter.h"
#include "bench/IndexBackend.h"
#include "bench/MsgGenerator.h"
#include "bench/PeakMemory.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct TOptions {
  bench::TGenOptions gen;
  std::int32_t mask = 0x00D;
  std::string csv;
  std::string store;
};

bool ParseArgs(int argc, char** argv, TOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const char* v = argv[++i];
    if (arg == "--messages") o.gen.messages = std::strtoull(v, nullptr, 10);
    else if (arg == "--duplicates") o.gen.duplicates = std::strtod(v, nullptr);
    else if (arg == "--mask") o.mask = static_cast<std::int32_t>(std::strtol(v, nullptr, 0));
    else if (arg == "--csv") o.csv = v;
    else if (arg == "--store") o.store = v;
    else if (arg == "--seed") o.gen.seed = std::strtoull(v, nullptr, 10);
    else return false;
  }
  return o.gen.messages > 0 && o.gen.messages < 0x7fffffffULL && o.gen.duplicates >= 0 &&
         o.gen.duplicates < 1 && o.mask != 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  if (!ParseArgs(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: index_bench [--messages N] [--duplicates FRACTION] [--mask MASK]\n"
                 "                   [--csv FILE] [--store FILE] [--seed N]\n");
    return 2;
  }
  if (o.store.empty())
    o.store = (std::filesystem::temp_directory_path() /
               ("quop-index-bench-" + std::to_string(std::random_device{}()) + ".dat"))
                  .string();

  bench::TIndexBackend index;
  if (!index.Load() || !index.OpenDB(o.store.c_str())) {
    std::fprintf(stderr, "cannot open the index at %s\n", o.store.c_str());
    return 1;
  }
  TMsgSet set{};
  set.szSelEntryID = const_cast<char*>("");
  set.nSelFields = o.mask;
  set.bSearchOverFolders = 0;
  index.SetMsgSet(set);
  index.ClearDB();

  bench::TMsgGenerator gen(o.gen);
  bench::TCsvWriter csv;
  if (!o.csv.empty() && !csv.Open(o.csv)) {
    std::fprintf(stderr, "cannot write %s\n", o.csv.c_str());
    return 1;
  }

  // Messages are made a batch at a time outside the clock, then added.
  constexpr std::uint64_t kBatch = 1000;
  std::vector<TQuopMsg> batch(kBatch);
  std::vector<bench::TMsgGenerator> makers;
  Clock::duration addTime{};
  std::uint64_t copies = 0;
  for (std::uint64_t start = 0; start < o.gen.messages; start += kBatch) {
    const std::uint64_t n = std::min(kBatch, o.gen.messages - start);
    makers.assign(n, gen);
    for (std::uint64_t k = 0; k < n; ++k) {
      makers[k].Make(start + k, batch[k]);
      copies += gen.IsCopy(start + k);
      if (csv.IsOpen()) csv.Write(batch[k]);
    }
    const auto t0 = Clock::now();
    for (std::uint64_t k = 0; k < n; ++k) {
      if (start + k == 0 || (start + k) % 1000 == 1) index.CommitDB();  // as the collection does
      index.AddMsg(batch[k]);
    }
    addTime += Clock::now() - t0;
  }
  auto t0 = Clock::now();
  index.CommitDB();
  addTime += Clock::now() - t0;

  t0 = Clock::now();
  const std::int32_t count = index.GetMsgCount();
  std::uint64_t groups = 0, records = 0;
  for (TQuopMsg* m = index.FindFirstMsg(); m; m = index.FindNextMsg()) {
    groups += m->bFirst != 0;
    ++records;
    index.FreeQuopMsg(m);
  }
  const Clock::duration findTime = Clock::now() - t0;
  const double peakMb = bench::PeakResidentMegabytes();
  index.CloseDB();
  std::error_code ec;
  const auto storeBytes = std::filesystem::file_size(o.store, ec);

  std::printf("messages: %d\n", count);
  std::printf("groups: %llu\n", static_cast<unsigned long long>(groups));
  std::printf("duplicates: %llu\n", static_cast<unsigned long long>(records - groups));
  std::printf("generated_copies: %llu\n", static_cast<unsigned long long>(copies));
  std::printf("add_seconds: %.3f\n", Seconds(addTime));
  std::printf("add_rate: %.0f\n", static_cast<double>(count) / Seconds(addTime));
  std::printf("find_seconds: %.3f\n", Seconds(findTime));
  std::printf("total_seconds: %.3f\n", Seconds(addTime + findTime));
  std::printf("peak_rss_mb: %.1f\n", peakMb);
  std::printf("store_bytes: %llu\n", static_cast<unsigned long long>(ec ? 0 : storeBytes));
  std::filesystem::remove(o.store, ec);
  // Every generated copy must be found, and nothing else.
  if (records - groups != copies) {
    std::fprintf(stderr, "found %llu surplus copies, generated %llu\n",
                 static_cast<unsigned long long>(records - groups),
                 static_cast<unsigned long long>(copies));
    return 1;
  }
  return 0;
}
