#include "sim/targeting.h"

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Targeting : public testing::SimTest {};

TEST_F(Targeting, DirectionsOfTheCardinalPoints) {
  PlaceShip(0, 400, 300, 0, 0, 1, 1);
  const struct {
    float x, y, bearing;
  } cases[] = {{500, 300, 1.5707964F},
               {300, 300, -1.5707964F},
               {400, 400, 0.0F},
               {400, 200, -3.1415927F},
               {400, 300, 1.5707964F}};  // on the ship's own point
  for (const auto& c : cases) {
    PlaceShip(1, c.x, c.y, 0, 0, 2, 0);
    MeasureTarget(s, 0);
    EXPECT_EQ(s.Bearing, c.bearing) << c.x << "," << c.y;
  }
}

TEST_F(Targeting, FiresOnlyInsideRangeAndStrictlyInsideTheArc) {
  // Each case: the enemy's offset; firing draws one number per gun (size 0:
  // one), not firing reaches the launch draw and the switch test (three).
  const struct {
    float dx, dy;
    size_t draws;
  } cases[] = {{0, 99.9F, 1},
               {0, 100, 3},
               {-0.0001F, -50, 3},
               {50, 0, 3}};  // straight right: Bearing exactly a quarter turn
  for (const auto& c : cases) {
    s = {};
    random = {};
    Script({0.5, 0.5, 0.5});
    PlaceShip(0, 400, 300, 0, 0, 1, 1);
    PlaceShip(1, 400 + c.dx, 300 + c.dy, 0, 0, 2, 1);
    EngageTarget(world, 0);
    EXPECT_EQ(random.Drawn(), c.draws) << c.dx << "," << c.dy;
    EXPECT_EQ(s.EngagedCount, 1);
  }
}

TEST_F(Targeting, LostTargetIsDroppedForARandomSlot) {
  Script({0.5});
  PlaceShip(0, 400, 300, 0, 0, 1, 0);  // itself
  EngageTarget(world, 0);
  EXPECT_EQ(s.Distance, 0.0F);
  EXPECT_EQ(s.Bearing, 1.5707964F);
  EXPECT_EQ(s.ShipTarget[0], 50);
  EXPECT_EQ(s.EngagedCount, 0);
  EXPECT_EQ(s.AliveCount, 1);

  Script({0.99});
  s.ShipTarget[0] = 7;  // a free slot
  s.ShipTeam[7] = 2;
  EngageTarget(world, 0);
  EXPECT_EQ(s.ShipTarget[0], 99);
}

TEST_F(Targeting, FlagshipNeverFiresAndLaunchesWithSmallChance) {
  // r1 0.02 launches into slot Int(0.5 x 101) = 50, sizes from 0.5 x 0.5.
  Script({0.02, 0.5, 0.5, 0.5});
  PlaceShip(0, 400, 300, 0, 5, 1, 1);
  PlaceShip(1, 400, 310, 0, 0, 2, 0);  // straight ahead, in range
  EngageTarget(world, 0);
  EXPECT_EQ(s.ShipSize[50], 1);
  EXPECT_EQ(s.ShipHealth[50], 4);
  EXPECT_EQ(s.ShipTeam[50], 1);
  EXPECT_EQ(s.ShipTarget[50], 1);
  EXPECT_EQ(LiveParticles(), 0);
}

TEST_F(Targeting, SwitchTakesOnlyACloserLiveEnemy) {
  PlaceShip(0, 400, 300, 0, 0, 1, 1);
  PlaceShip(1, 400, 200, 0, 0, 2, 1);   // enemy behind, 100 away
  PlaceShip(50, 400, 250, 0, 0, 1, 1);  // a friend, closer
  PlaceShip(60, 400, 260, 0, 0, 0, 1);  // an enemy, closer
  Script({0.5, 50.0 / 101 + 1e-9, 0.0});
  EngageTarget(world, 0);
  EXPECT_EQ(s.ShipTarget[0], 1) << "a friend is never switched to";

  Script({0.5, 60.0 / 101 + 1e-9, 0.3});
  EngageTarget(world, 0);
  EXPECT_EQ(s.ShipTarget[0], 1) << "switch chance is strict";

  Script({0.5, 60.0 / 101 + 1e-9, 0.29});
  EngageTarget(world, 0);
  EXPECT_EQ(s.ShipTarget[0], 60);
}

}  // namespace
}  // namespace kelvarin
