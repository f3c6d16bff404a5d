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

// Turns as the program adds and subtracts them, and as float32 for the
// comparisons that test against them.
inline constexpr double kQuarterTurn = 1.570796326794897;
inline constexpr double kHalfTurn = 3.141592653589794;
inline constexpr double kFullTurn = 6.283185307179588;
inline constexpr float kQuarterTurnF = 1.5707964F;
inline constexpr float kHalfTurnF = 3.1415927F;
inline constexpr float kFullTurnF = 6.2831855F;
inline constexpr double kRadiansPerDegree = 0.0174532925199433;

// Ships of this size are flagships: they launch instead of firing.
inline constexpr int kFlagshipSize = 5;

// Int(r x n): a fresh draw scaled to 0..n-1, floored.
inline int DrawIndex(Random& random, int n) { return static_cast<int>(random.Next() * n); }

// A uniformly random direction, 0 to just under 2 pi, as float32.
inline float DrawDirection(Random& random) {
  return static_cast<float>(random.Next() * 360 * kRadiansPerDegree);
}

}  // namespace kelvarin
