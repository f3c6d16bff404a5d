#pragma once

#include "sim/random.h"
#include "sim/surface.h"
#include "state/battle_state.h"

namespace kelvarin {

// What every operation of the tick works on: the battle state, the surface it
// draws on and the program's one random generator.
struct World {
  BattleState& state;
  Surface& surface;
  Random& random;
};

// Int(r x n): a fresh draw scaled to 0..n-1, floored.
inline int DrawIndex(Random& random, int n) { return static_cast<int>(random.Next() * n); }

}  // namespace kelvarin
