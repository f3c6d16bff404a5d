#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <type_traits>

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

TEST(BattleState, TablesHaveFixedSizesAndTypes) {
  const BattleState s{};
  EXPECT_EQ(s.ShipX.size(), 101U);
  EXPECT_EQ(s.PartLife.size(), 301U);
  static_assert(std::is_same_v<decltype(s.ShipX)::value_type, float>);
  static_assert(std::is_same_v<decltype(s.ShipHealth)::value_type, std::int16_t>);
  static_assert(std::is_same_v<decltype(BattleState::DebrisLeft), std::int32_t>);
  static_assert(std::is_trivially_copyable_v<BattleState>);
}

TEST(BattleState, LivenessIsReadFromHealthAndLife) {
  BattleState s;
  s.ShipHealth[3] = 1;
  s.PartLife[7] = 0.25F;
  s.PartLife[8] = -0.5F;  // spent: neither live nor free
  EXPECT_TRUE(ShipLive(s, 3));
  EXPECT_FALSE(ShipLive(s, 4));
  EXPECT_TRUE(PartLive(s, 7));
  EXPECT_FALSE(PartLive(s, 8));
}

}  // namespace
}  // namespace kelvarin
