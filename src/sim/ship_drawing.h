#pragma once

#include "sim/world.h"

namespace kelvarin {

// The grey of a ship's two flanks.
inline constexpr Rgb kFlankColour{150, 150, 150};

// Team colours of the rear edge: team 0 red, 1 green, 2 blue.
Rgb TeamColour(int team);

// A ship is a closed dart N -> A -> B -> N around its centre: the nose at the
// hull radius (size + 1) along the heading, the tail corners 2.5 radians to
// either side. EraseShip draws it in black, DrawShip in grey flanks and a
// rear edge of the team's colour.
void EraseShip(World& world, int i);
void DrawShip(World& world, int i);

}  // namespace kelvarin
