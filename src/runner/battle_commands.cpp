// The commands that drive the battle: `tick`, `click`, `key` and `clock`.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "runner/script_commands.h"
#include "runner/script_numbers.h"
#include "runner/script_run.h"
#include "sim/input.h"
#include "sim/tick.h"

namespace kelvarin::script {
namespace {

constexpr std::uint64_t kMaxTicks = 1000000000;
constexpr double kSecondsPerDay = 86400.0;
// A long `tick` line hands its trace to the output in pieces of about this size.
constexpr std::size_t kFlushThreshold = 1 << 16;

}  // namespace

void Tick(ScriptRun& run, const Tokens& t) {
  const auto limit = static_cast<std::int64_t>(std::min(kMaxTicks, run.options.maxTicksPerLine));
  const std::int64_t count = t.size() > 1 ? IntegerIn(t[1], "tick count", 1, limit) : 1;
  for (std::int64_t k = 0; k < count; ++k) {
    tmr_Timer(run.world);
    if (run.Recording()) {
      run.AddFrame();
    }
    if (run.trace.size() >= kFlushThreshold) {
      run.Flush();
    }
  }
}

void Click(ScriptRun& run, const Tokens& t) {
  const double x = RealIn(t[1], "X", 0.0, kLogicalWidth);
  const double y = RealIn(t[2], "Y", 0.0, kLogicalHeight);
  int button = kButtonLeft;
  if (t.size() > 3) {
    const std::optional<Integer> value = ParseInteger(t[3]);
    if (!value) {
      throw LineError{"button " + Quoted(t[3]) + " is not an integer"};
    }
    const std::optional<std::int64_t> b = value->InRange(1, 4);
    if (!b || *b == 3) {
      throw LineError{"button " + Quoted(t[3]) + " is not 1, 2 or 4"};
    }
    button = static_cast<int>(*b);
  }
  pct_MouseDown(run.world, button, static_cast<float>(x), static_cast<float>(y), run.timeOfDay);
}

// Escape ends the run, and with it a gif being recorded.
void Key(ScriptRun& run, const Tokens& t) {
  const auto code = static_cast<int>(IntegerIn(t[1], "key code", 0, 255));
  if (pct_KeyDown(run.state, code) == KeyResult::Quit) {
    run.FinishRecording();
    run.quit = true;
  }
}

void Clock(ScriptRun& run, const Tokens& t) {
  run.timeOfDay = RealIn(t[1], "seconds", 0.0, kSecondsPerDay, true);
}

}  // namespace kelvarin::script
