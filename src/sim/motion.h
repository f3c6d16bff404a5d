#pragma once

#include "sim/world.h"

namespace kelvarin {

// Advances ship i one step along its heading, turns it (towards an enemy
// target, away from it when a flagship is near or any ship very near, at
// random while the target is a friend), wraps it at the edges and brings its
// heading back into 0..2 pi.
void MoveShip(World& world, int i);

}  // namespace kelvarin
