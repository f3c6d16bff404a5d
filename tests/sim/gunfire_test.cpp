#include "sim/gunfire.h"

#include <gtest/gtest.h>

#include "sim/targeting.h"
#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Gunfire : public testing::SimTest {};

TEST_F(Gunfire, EveryGunDrawsAndAShotLeavesTheBowTowardsTheTarget) {
  PlaceShip(0, 400, 300, 0, 3, 1, 1);
  PlaceShip(1, 400, 350, 0, 0, 2, 1);
  MeasureTarget(s, 0);
  // Gun 0 fires with spread draw 0.9; the other three guns do not fire.
  Script({0.0, 0.9, 0.5, 0.5, 0.5});
  FireGuns(world, 0);
  EXPECT_EQ(s.PartX[0], 400.0F);
  EXPECT_EQ(s.PartY[0], 305.0F);  // size + 2 ahead
  EXPECT_EQ(s.PartAngle[0], static_cast<float>((0.9 - 0.5) * 0.1));
  EXPECT_EQ(s.PartLife[0], 50.0F);
  EXPECT_EQ(random.Drawn(), 5U);
}

TEST_F(Gunfire, EachShotTakesTheLowestFreeSlotAndSkipsSpentOnes) {
  PlaceShip(0, 400, 300, 0, 3, 1, 1);
  PlaceShip(1, 400, 350, 0, 0, 2, 1);
  PlaceParticle(0, 1, 1, 0, 5);
  PlaceParticle(1, 1, 1, 0, -0.5F);  // spent, not yet free
  MeasureTarget(s, 0);
  Script({0.01, 0.5, 0.9, 0.02, 0.5, 0.9});
  FireGuns(world, 0);
  EXPECT_EQ(s.PartLife[2], 50.0F);
  EXPECT_EQ(s.PartLife[3], 50.0F);
  EXPECT_EQ(s.PartLife[1], -0.5F);
  EXPECT_EQ(random.Drawn(), 6U);
}

TEST_F(Gunfire, AFullParticleTableStillDrawsForEveryGun) {
  PlaceShip(0, 400, 300, 0, 2, 1, 1);
  for (int j = 0; j < kPartSlots; ++j) PlaceParticle(j, 0, 0, 0, 3);
  Script({0.0, 0.0, 0.0});
  FireGuns(world, 0);
  EXPECT_EQ(random.Drawn(), 3U);
  EXPECT_EQ(FirstFreeParticle(s), -1);
}

}  // namespace
}  // namespace kelvarin
