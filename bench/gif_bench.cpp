// Recording the battle as a GIF: frames a second and the size of the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/tick_clock.h"
#include "picture_files/record_battle.h"

namespace kelvarin::bench {
namespace {

constexpr int kSeconds = 30;

// `kelvarin --gif FILE --seconds 30 --seed S --size WxH`: each frame is one
// tick of the battle drawn into the picture (about 1 % of the time) and its
// encoding; the lull before the battle, a few milliseconds, is timed with
// them. Arguments: seed, width, height.
void BM_Gif30s(benchmark::State& state) {
  BattleRecording recording;
  recording.path = (std::filesystem::temp_directory_path() /
                    ("kelvarin-bench-" + std::to_string(::getpid()) + ".gif"))
                       .string();
  recording.seconds = kSeconds;
  recording.seed = static_cast<std::uint64_t>(state.range(0));
  recording.width = static_cast<int>(state.range(1));
  recording.height = static_cast<int>(state.range(2));
  double bytes = 0;
  for (auto _ : state) {
    std::ostringstream err;
    if (RecordBattle(recording, err) != 0) {
      state.SkipWithError(err.str().c_str());
      break;
    }
    bytes = static_cast<double>(std::filesystem::file_size(recording.path));
  }
  std::filesystem::remove(recording.path);
  state.counters["frames_per_s"] = benchmark::Counter(
      static_cast<double>(kSeconds * kTicksPerSecond) * static_cast<double>(state.iterations()),
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
