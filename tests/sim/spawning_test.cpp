#include <gtest/gtest.h>

#include "sim/input.h"
#include "sim/lull.h"
#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Spawning : public testing::SimTest {
 protected:
  void FillShips(int from, int to) {
    for (int i = from; i <= to; ++i) PlaceShip(i, 10, 10, 0, 0, 0, i);
  }
};

TEST_F(Spawning, OtherButtonsAndShortFleetsGetNoFlagship) {
  for (int button : {kButtonRight, kButtonMiddle}) {
    s = {};
    random = {};
    for (int n = 0; n < 16; ++n) Script({0.99});
    pct_MouseDown(world, button, 1, 2, 0);
    EXPECT_EQ(s.ShipSize[4], 3);
  }
  s = {};
  random = {};
  FillShips(0, 97);
  for (int n = 0; n < 10; ++n) Script({0.99});
  pct_MouseDown(world, kButtonLeft, 1, 2, 0);
  for (int i : {98, 99, 100}) EXPECT_EQ(s.ShipSize[i], 3) << i;
  EXPECT_EQ(random.Drawn(), 10U);
}

TEST_F(Spawning, TeamsCycleFromOneAndClicksLeaveTheLullCountAlone) {
  s.IdleTicks = 17;
  const int expected[] = {1, 2, 0, 1};
  for (int team : expected) {
    random = {};
    for (int n = 0; n < 16; ++n) Script({0.5});
    FillShips(0, 100);  // nothing fits; the team still advances
    pct_MouseDown(world, kButtonLeft, 0, 0, 0);
    EXPECT_EQ(s.NextTeam, team);
  }
  EXPECT_EQ(s.IdleTicks, 17);
}

TEST(KeyDown, KeysOtherThanEscapeAndEnterAreIgnored) {
  BattleState s;
  for (int key : {0, 10, 32, 65, 255}) EXPECT_EQ(pct_KeyDown(s, key), KeyResult::Continue) << key;
  EXPECT_EQ(s.PurgeFlag, kFalse);
}

TEST_F(Spawning, ANewBattleMakesADrawnSizeOfFourAFlagshipWhereverItFalls) {
  // Fleet: x, y, heading; then per ship target, r2, r3. The first ship draws
  // 0.9 x 0.9 x 5 = size 4; the fifth is a flagship anyway.
  for (int fleet = 0; fleet < 3; ++fleet) {
    Script({0.5, 0.5, 0.25});
    Script({0.1, 0.9, 0.9});
    for (int n = 0; n < 4; ++n) Script({0.1, 0.1, 0.1});
  }
  StartNewBattle(world);
  for (int i = 0; i < 15; ++i) {
    const bool flagship = i % 5 == 0 || i % 5 == 4;
    EXPECT_EQ(s.ShipSize[i], flagship ? 5 : 0) << i;
    EXPECT_EQ(s.ShipHealth[i], flagship ? 36 : 1) << i;
  }
}

TEST_F(Spawning, ANewBattleWithTwoFreeSlotsOrNone) {
  FillShips(0, 100);
  s.ShipHealth[30] = 0;
  s.ShipHealth[70] = 0;
  Script({0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
  Script({0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
  StartNewBattle(world);
  EXPECT_EQ(s.NextTeam, 0);
  EXPECT_EQ(s.ShipTeam[30], 1);
  EXPECT_EQ(s.ShipTeam[70], 1);
  EXPECT_EQ(s.ShipSize[70], 1);  // not a flagship: the fleet is short
  EXPECT_EQ(random.Remaining(), 0U);

  Script({0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
  StartNewBattle(world);  // no free slot: only the fleets' points and headings
  EXPECT_EQ(random.Remaining(), 0U);
  EXPECT_EQ(s.NextTeam, 0);
}

TEST_F(Spawning, LullCountsIdleTicksAndSpawnsAtTheThreshold) {
  s.IdleTicks = 148;
  s.EngagedCount = 0;
  CheckLull(world);
  EXPECT_EQ(s.IdleTicks, 149);
  s.EngagedCount = 2;
  CheckLull(world);
  EXPECT_EQ(s.IdleTicks, 149) << "fighting neither counts nor resets";
  s.EngagedCount = 0;
  for (int n = 0; n < 3 * 18; ++n) Script({0.5});
  CheckLull(world);
  EXPECT_EQ(s.IdleTicks, 0);
  EXPECT_EQ(s.ShipHealth[14], 36);
}

}  // namespace
}  // namespace kelvarin
