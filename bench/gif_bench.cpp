// Recording the battle as a GIF: frames a second and the size of the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "runner/gif_recorder.h"
#include "shell/image_surface.h"
#include "shell/tick_clock.h"
#include "sim/lull.h"
#include "sim/random.h"
#include "sim/tick.h"
#include "state/battle_state.h"

namespace kelvarin::bench {
namespace {

constexpr int kFrames = 30 * kTicksPerSecond;

// What `kelvarin --gif FILE --seconds 30 --seed S --size WxH` does, the
// kLullTicks ticks before the battle left out of the time: each frame is one tick
// of the battle drawn into the picture (about 1 % of the time) and its
// encoding. Arguments: seed, width, height.
void BM_Gif30s(benchmark::State& state) {
  const auto seed = static_cast<std::uint64_t>(state.range(0));
  const auto width = static_cast<int>(state.range(1));
  const auto height = static_cast<int>(state.range(2));
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kelvarin-bench-" + std::to_string(::getpid()) + ".gif"))
                               .string();
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    BattleState s;
    ImageSurface image(width, height);
    BuiltinRandom random(seed);
    World world{s, image, random};
    for (int t = 0; t < kLullTicks; ++t) {
      tmr_Timer(world);
    }
    GifRecorder gif;
    if (gif.Start(path, image) != GifRecorder::Status::kOk) {
      state.SkipWithError(gif.failure().c_str());
      break;
    }
    state.ResumeTiming();
    GifRecorder::Status status = GifRecorder::Status::kOk;
    for (int f = 0; f < kFrames && status == GifRecorder::Status::kOk; ++f) {
      tmr_Timer(world);
      status = gif.AddFrame(image);
    }
    if (status == GifRecorder::Status::kOk) {
      status = gif.Finish(image);
    }
    if (status != GifRecorder::Status::kOk) {
      state.SkipWithError(gif.failure().c_str());
      break;
    }
    bytes = static_cast<double>(std::filesystem::file_size(path));
  }
  std::filesystem::remove(path);
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(kFrames) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.counters["MB"] = bytes / 1e6;
}

BENCHMARK(BM_Gif30s)
    ->Args({315, 800, 600})  // the README's battle
    ->Args({1, 800, 600})
    ->Args({4, 800, 600})
    ->Args({315, 1600, 1200})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kelvarin::bench
