#include "sim/gunfire.h"

#include <gtest/gtest.h>

#include "sim/targeting.h"
#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Gunfire : public testing::SimTest {};

TEST_F(Gunfire, ShotsLeaveTheBowIntoTheLowestFreeSlots) {
  PlaceShip(0, 400, 300, 0, 3, 1, 1);
  PlaceShip(1, 400, 350, 0, 0, 2, 1);
  PlaceParticle(0, 1, 1, 0, 5);
  PlaceParticle(1, 1, 1, 0, -0.5F);  // spent, not yet free
  MeasureTarget(s, 0);
  // Guns 0 and 2 fire, each drawing its spread; guns 1 and 3 do not.
  Script({0.01, 0.9, 0.5, 0.02, 0.5, 0.9});
  FireGuns(world, 0);
  EXPECT_EQ(s.PartLife[1], -0.5F);
  for (int j : {2, 3}) {
    EXPECT_EQ(s.PartX[j], 400.0F) << j;
    EXPECT_EQ(s.PartY[j], 305.0F) << j;  // size + 2 ahead
    EXPECT_EQ(s.PartLife[j], 50.0F) << j;
  }
  EXPECT_EQ(s.PartAngle[2], static_cast<float>((0.9 - 0.5) * 0.1));
  EXPECT_EQ(s.PartAngle[3], 0.0F);
  EXPECT_EQ(random.Drawn(), 6U);
}

TEST_F(Gunfire, AFullParticleTableStillDrawsForEveryGun) {
  PlaceShip(0, 400, 300, 0, 2, 1, 1);
  for (int j = 0; j < kPartSlots; ++j) PlaceParticle(j, 0, 0, 0, 3);
  Script({0.0, 0.0, 0.0});
  FireGuns(world, 0);
  EXPECT_EQ(random.Drawn(), 3U);
}

}  // namespace
}  // namespace kelvarin
