#pragma once

#include "sim/lull.h"
#include "sim/world.h"

namespace kelvarin {

// Ticks from the start to the first automatic battle in the full-screen and
// screensaver runs: 0.16 s instead of the lull's six, so that the battle
// shows within the first second even when a loaded machine takes most of it
// to open a full-screen window.
inline constexpr int kAmbientFirstBattleTicks = 4;

// How a full-screen or screensaver run starts: the generator is seeded from
// the time of day, so each activation shows a different battle, and the lull
// count is set so that the first battle comes at the end of the fourth tick.
// From then on the lull rule runs as everywhere.
inline void StartAmbient(World& world, double secondsSinceMidnight) {
  world.random.Reseed(secondsSinceMidnight);
  world.state.IdleTicks = kLullTicks - kAmbientFirstBattleTicks;
}

}  // namespace kelvarin
