#pragma once

#include "sim/world.h"

namespace kelvarin {

// A shot's life when it is fired.
inline constexpr float kShotLife = 50.0F;

// Ship i, cleared to fire at its target, tries each of its size + 1 guns:
// a gun that fires places a shot of life 50 at the bow, aimed at the target
// as measured at the start of the visit, with a little random spread.
void FireGuns(World& world, int i);

// The first particle slot whose life is exactly 0, or -1 when none is.
int FirstFreeParticle(const BattleState& s);

}  // namespace kelvarin
