#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "state/battle_state.h"

namespace kelvarin {
namespace {

template <typename Array>
bool AllZero(const Array& a) {
  return std::all_of(a.begin(), a.end(), [](auto v) { return v == 0; });
}

// A state made without an initialiser (as the script runner makes its own)
// is all zero even where its memory was not: every field has an initialiser.
TEST(BattleState, DefaultInitialisedOverDirtyMemoryIsAllZero) {
  alignas(BattleState) unsigned char memory[sizeof(BattleState)];
  std::memset(memory, 0xA5, sizeof memory);
  const BattleState* s = new (memory) BattleState;
  EXPECT_TRUE(AllZero(s->ShipX) && AllZero(s->ShipY) && AllZero(s->ShipHeading));
  EXPECT_TRUE(AllZero(s->ShipTarget) && AllZero(s->ShipHealth) && AllZero(s->ShipTeam) &&
              AllZero(s->ShipSize));
  EXPECT_TRUE(AllZero(s->PartX) && AllZero(s->PartY) && AllZero(s->PartAngle) &&
              AllZero(s->PartLife));
  EXPECT_TRUE(
      AllZero(std::array{s->NextTeam, s->PurgeFlag, s->IdleTicks, s->EngagedCount, s->AliveCount}));
  EXPECT_TRUE(AllZero(std::array{s->DeltaX, s->DeltaY, s->Bearing, s->Distance}));
  EXPECT_EQ(s->DebrisLeft, 0);
}

}  // namespace
}  // namespace kelvarin
