#pragma once

#include "sim/world.h"

namespace kelvarin {

// Measures ship i's target into DeltaX, DeltaY, Bearing and Distance.
void MeasureTarget(BattleState& s, int i);

// The first step of a live ship's visit: counts it, measures its target and
// then fires, drops a lost target, launches (flagships) or tries a closer
// enemy.
void EngageTarget(World& world, int i);

}  // namespace kelvarin
