#pragma once

#include "sim/world.h"

namespace kelvarin {

// Flagship i tries to launch a small ship of its team into one randomly
// drawn slot; nothing happens when that slot is taken.
void LaunchShip(World& world, int i);

}  // namespace kelvarin
