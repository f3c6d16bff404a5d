#pragma once

#include "sim/world.h"

namespace kelvarin {

// Deals one point of damage to live ship k: wipes its outline and a black
// ring just outside its hull, lowers its health and, when that reaches 0,
// bursts it into size x 2 + 5 debris particles in the lowest free slots.
void DamageShip(World& world, int k);

}  // namespace kelvarin
