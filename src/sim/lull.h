#pragma once

#include "sim/world.h"

namespace kelvarin {

inline constexpr int kLullTicks = 150;

// The end of every tick: a tick in which no ship had a live enemy as its
// target counts towards the lull, and the 150th such tick since the last
// automatic battle brings a new one.
void CheckLull(World& world);

// Three fleets, one of each team, each on its own random point with its own
// heading; the fifth ship of each is a flagship.
void StartNewBattle(World& world);

}  // namespace kelvarin
