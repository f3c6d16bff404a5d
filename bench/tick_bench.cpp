// The simulation tick and the drawing it does, timed.
#include <benchmark/benchmark.h>

#include "battle_summary.h"
#include "scenes.h"
#include "shell/image_surface.h"
#include "sim/random.h"
#include "sim/tick.h"

namespace kelvarin::bench {
namespace {

// One worst-case tick per iteration, each from the same starting tables (the
// 7 KB copy is part of the time; BM_CopyState shows how little it is).
template <class MakeSurface>
void WorstTick(benchmark::State& state, MakeSurface make) {
  const BattleState start = WorstCase();
  BattleState s = start;
  auto surface = make(state);
  BuiltinRandom random;
  World world{s, surface, random};
  tmr_Timer(world);
  if (testing::LiveShips(s) != kShipSlots || testing::LiveParticles(s) != kPartSlots) {
    state.SkipWithError("the worst case lost a ship or a particle in its tick");
    return;
  }
  for (auto _ : state) {
    s = start;
    tmr_Timer(world);
    benchmark::ClobberMemory();
  }
}

void BM_WorstTick_NullSurface(benchmark::State& state) {
  WorstTick(state, [](benchmark::State&) { return NullSurface(); });
}

void BM_WorstTick_ImageSurface(benchmark::State& state) {
  WorstTick(state, [](benchmark::State& st) {
    return ImageSurface(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  });
}

void BM_WorstTick_QPainterBaseline(benchmark::State& state) {
  WorstTick(state, [](benchmark::State& st) {
    return QPainterSurface(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  });
}

void BM_CopyState(benchmark::State& state) {
  const BattleState start = WorstCase();
  BattleState s;
  for (auto _ : state) {
    s = start;
    benchmark::DoNotOptimize(&s);
    benchmark::ClobberMemory();
  }
}

// The automatic battle from a fixed seed: the lull brings three fleets, they
// fight, and the next lull brings the next battle.
template <class MakeSurface>
void TypicalBattle(benchmark::State& state, MakeSurface make) {
  constexpr int kTicks = 2000;
  for (auto _ : state) {
    BattleState s;
    auto surface = make();
    BuiltinRandom random(20240601);
    World world{s, surface, random};
    for (int t = 0; t < kTicks; ++t) {
      tmr_Timer(world);
    }
    benchmark::DoNotOptimize(s.ShipX.data());
  }
  state.counters["us_per_tick"] = benchmark::Counter(
      static_cast<double>(kTicks) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

void BM_TypicalBattle2000_NullSurface(benchmark::State& state) {
  TypicalBattle(state, [] { return NullSurface(); });
}

void BM_TypicalBattle2000_ImageSurface800x600(benchmark::State& state) {
  TypicalBattle(state, [] { return ImageSurface(800, 600); });
}

// The share of the window's picture (549 x 437 at the start) that each tick
// asks to repaint; not timed.
void BM_TypicalBattle2000_DirtyShare(benchmark::State& state) {
  double rectArea = 0;
  int ticks = 0;
  for (auto _ : state) {
    BattleState s;
    ImageSurface surface(549, 437);
    BuiltinRandom random(20240601);
    World world{s, surface, random};
    rectArea = 0;
    ticks = 0;
    for (int t = 0; t < 2000; ++t) {
      tmr_Timer(world);
      const QRect rect = surface.TakeDirty();
      if (t == 0) {
        continue;  // the new picture is wholly dirty
      }
      rectArea += static_cast<double>(rect.width()) * rect.height();
      ++ticks;
    }
  }
  const double whole = 549.0 * 437.0 * ticks;
  state.counters["rect_pct"] = 100.0 * rectArea / whole;
}

constexpr int kReps = 10;

BENCHMARK(BM_WorstTick_NullSurface)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WorstTick_ImageSurface)
    ->Args({800, 600})
    ->Args({1600, 1200})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WorstTick_QPainterBaseline)
    ->Args({800, 600})
    ->Args({1600, 1200})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyState)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_TypicalBattle2000_NullSurface)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TypicalBattle2000_ImageSurface800x600)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TypicalBattle2000_DirtyShare)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kelvarin::bench
