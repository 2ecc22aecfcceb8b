// Micro-benchmarks of the engine's per-message work: the match hash, the
// stored block, and the full-field comparison that confirms a hash.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/MsgGenerator.h"
#include "indexapi/CompareFields.h"
#include "quopdb/MatchRules.h"
#include "quopdb/StoredMsg.h"

namespace {

TQuopMsg Sample(bench::TMsgGenerator& gen, std::uint64_t i) {
  TQuopMsg m{};
  gen.Make(i, m);
  return m;
}

void BM_MatchHash(benchmark::State& state) {
  bench::TMsgGenerator gen({});
  const TQuopMsg m = Sample(gen, 7);
  quopdb::TMatchSettings s;
  s.nSelFields = static_cast<std::int32_t>(state.range(0));
  const quopdb::TStoredMsgView view = quopdb::ViewOf(m, 1);
  for (auto _ : state) benchmark::DoNotOptimize(quopdb::MatchHash(view, s));
}
BENCHMARK(BM_MatchHash)->Arg(DefaultFieldMask())->Arg(0xFFF);

void BM_EncodeDecode(benchmark::State& state) {
  bench::TMsgGenerator gen({});
  const TQuopMsg m = Sample(gen, 7);
  std::string block;
  quopdb::TStoredMsgView view;
  for (auto _ : state) {
    block.clear();
    quopdb::EncodeStoredMsg(m, 1, block);
    benchmark::DoNotOptimize(quopdb::DecodeStoredMsg(block.data(), block.size(), view));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_EncodeDecode);

void BM_SameMessage(benchmark::State& state) {
  bench::TMsgGenerator gen({});
  const TQuopMsg a = Sample(gen, 7);
  const quopdb::TStoredMsgView va = quopdb::ViewOf(a, 1);
  quopdb::TMatchSettings s;
  s.nSelFields = 0xFFF;
  for (auto _ : state) benchmark::DoNotOptimize(quopdb::SameMessage(va, va, s));
}
BENCHMARK(BM_SameMessage);

}  // namespace

BENCHMARK_MAIN();
