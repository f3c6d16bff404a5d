// The particle hit test: the full scan against the sorted index.
#include <benchmark/benchmark.h>

#include "scenes.h"
#include "sim/particles.h"

namespace kelvarin::bench {
namespace {

// Every live particle against the ships, as the particle phase asks.
void HitNaive(benchmark::State& state, const BattleState& s) {
  for (auto _ : state) {
    int sum = 0;
    for (int j = 0; j < kPartSlots; ++j) {
      sum += FirstShipHitNaive(s, s.PartX[j], s.PartY[j]);
    }
    benchmark::DoNotOptimize(sum);
  }
}

// The index is built once per particle phase, so the build is timed too.
void HitIndexed(benchmark::State& state, const BattleState& s) {
  for (int j = 0; j < kPartSlots; ++j) {
    HitIndex index;
    index.Build(s);
    if (index.FirstShipHit(s, s.PartX[j], s.PartY[j]) !=
        FirstShipHitNaive(s, s.PartX[j], s.PartY[j])) {
      state.SkipWithError("the index and the full scan disagree");
      return;
    }
  }
  for (auto _ : state) {
    HitIndex index;
    index.Build(s);
    int sum = 0;
    for (int j = 0; j < kPartSlots; ++j) {
      sum += index.FirstShipHit(s, s.PartX[j], s.PartY[j]);
    }
    benchmark::DoNotOptimize(sum);
  }
}

void BM_Hit_Naive_WorstCase(benchmark::State& state) { HitNaive(state, WorstCase()); }
void BM_Hit_Index_WorstCase(benchmark::State& state) { HitIndexed(state, WorstCase()); }
void BM_Hit_Naive_SameColumn(benchmark::State& state) { HitNaive(state, SameColumn()); }
void BM_Hit_Index_SameColumn(benchmark::State& state) { HitIndexed(state, SameColumn()); }

BENCHMARK(BM_Hit_Naive_WorstCase)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Hit_Index_WorstCase)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Hit_Naive_SameColumn)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Hit_Index_SameColumn)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kelvarin::bench
