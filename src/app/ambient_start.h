#pragma once

#include <cstdint>

#include "sim/lull.h"
#include "sim/random.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin {

// Ticks from the start to the first automatic battle in the full-screen and
// screensaver runs and the web page: 0.16 s instead of the lull's six, so that
// the battle shows within the first second even when a loaded machine takes
// most of it to open a full-screen window.
inline constexpr int kAmbientFirstBattleTicks = 4;

// The early first battle: the lull count set so that the first battle comes
// at the end of the fourth tick. From then on the lull rule runs as
// everywhere.
inline void StartEarlyFirstBattle(BattleState& state) {
  state.IdleTicks = kLullTicks - kAmbientFirstBattleTicks;
}

// How a full-screen or screensaver run starts: the generator is seeded from
// the time of day, so each activation shows a different battle, then the
// early first battle.
inline void StartAmbient(World& world, double secondsSinceMidnight) {
  world.random.Reseed(secondsSinceMidnight);
  StartEarlyFirstBattle(world.state);
}

// The same start with the generator on a seed of the caller's, as `seed N`
// and `--seed N` set it: a battle chosen by its seed. From the first
// automatic fleets on it is the battle that `kelvarin --gif FILE --seed N`
// records, which reaches the same fleets after the lull's 150 ticks.
inline void StartAmbient(BattleState& state, BuiltinRandom& random, std::uint64_t seed) {
  random.Seed(seed);
  StartEarlyFirstBattle(state);
}

// The seed of screen `screen` (0, 1, ...) when several screens start their
// battles together from `first`: the first screen's is `first` itself, so
// that one screen shows what a lone battle would, and each other screen's
// is the next number, so that no two screens show the same battle.
inline std::uint64_t ScreenSeed(std::uint64_t first, int screen) {
  return first + static_cast<std::uint64_t>(screen);
}

}  // namespace kelvarin
