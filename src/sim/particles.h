#pragma once

#include "sim/world.h"

namespace kelvarin {

// The colour of a particle of life L: (nearest(L + 150), nearest(2 L), 0),
// halves to even: orange when fresh, deep red when spent.
Rgb ParticleColour(float life);

// The first live ship (lowest slot) within reach of a particle at (px, py):
// distance strictly less than size + 2. -1 when none is.
int FirstShipHitNaive(const BattleState& s, float px, float py);

// The same answer as FirstShipHitNaive, found faster: candidates are the
// ships that were live when the index was built, kept sorted by x, so a
// particle looks only at those within reach horizontally.
class HitIndex {
 public:
  void Build(const BattleState& s);
  int FirstShipHit(const BattleState& s, float px, float py) const;

 private:
  struct Entry {
    float x;
    std::int16_t slot;
  };
  std::array<Entry, kShipSlots> entries_{};
  int count_ = 0;
};

// Moves, ages, hit-tests and draws every live particle, frees spent slots.
void MoveParticles(World& world);

}  // namespace kelvarin
