#pragma once

#include "sim/world.h"

namespace kelvarin {

// A debris particle's life is a fresh draw times this: 0 up to 17.
inline constexpr double kDebrisLife = 17;

// Deals one point of damage to live ship k: wipes its outline and a black
// ring just outside its hull, lowers its health and, when that reaches 0,
// bursts it into size x 2 + 5 debris particles in the lowest free slots.
void DamageShip(World& world, int k);

}  // namespace kelvarin
