// The simulation tick and the drawing it does, timed.
#include <benchmark/benchmark.h>

#include <vector>

#include "battle_summary.h"
#include "picture/pixel_surface.h"
#include "scenes.h"
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

void BM_WorstTick_PixelSurface(benchmark::State& state) {
  WorstTick(state, [](benchmark::State& st) {
    return PixelSurface(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
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

void BM_TypicalBattle2000_PixelSurface800x600(benchmark::State& state) {
  TypicalBattle(state, [] { return PixelSurface(800, 600); });
}

// How much of the window's picture each tick of the typical battle asks to
// put on the screen: as the dirty tiles the window hands over, and as one
// rectangle around them; at the starting size and at 3840 x 2160. Not timed.
void BM_TypicalBattle2000_DirtyShare(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  double rectArea = 0;
  double tileArea = 0;
  double rects = 0;
  int ticks = 0;
  std::vector<raster::PixelRect> tiles;
  for (auto _ : state) {
    BattleState s;
    PixelSurface surface(width, height);
    BuiltinRandom random(20240601);
    World world{s, surface, random};
    rectArea = tileArea = rects = 0;
    ticks = 0;
    for (int t = 0; t < 2000; ++t) {
      surface.TakeDirtyRects(tiles);  // the new picture is wholly dirty
      tmr_Timer(world);
      surface.TakeDirtyRects(tiles);
      QRect box;  // the rectangle around the tiles
      for (const raster::PixelRect& r : tiles) {
        box |= QRect(r.x, r.y, r.width, r.height);
        tileArea += static_cast<double>(r.width) * r.height;
      }
      rectArea += static_cast<double>(box.width()) * box.height();
      rects += static_cast<double>(tiles.size());
      ++ticks;
    }
  }
  const double whole = static_cast<double>(width) * height * ticks;
  state.counters["rect_pct"] = 100.0 * rectArea / whole;
  state.counters["tiles_pct"] = 100.0 * tileArea / whole;
  state.counters["rects_per_tick"] = rects / ticks;
}

constexpr int kReps = 10;

BENCHMARK(BM_WorstTick_NullSurface)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WorstTick_PixelSurface)
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
BENCHMARK(BM_TypicalBattle2000_PixelSurface800x600)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kReps)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TypicalBattle2000_DirtyShare)
    ->Args({549, 437})
    ->Args({3813, 2113})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace kelvarin::bench
