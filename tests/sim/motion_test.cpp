#include "sim/motion.h"

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Motion : public testing::SimTest {
 protected:
  // A lone ship wandering (its target is itself) with turn u - 0.5.
  void Wander(float x, float y, float heading, double u) {
    s = {};
    PlaceShip(0, x, y, heading, 0, 1, 0);
    Script({u});
    MoveShip(world, 0);
  }
};

TEST_F(Motion, HeadingIsBroughtBackIntoRangeOnce) {
  Wander(400, 300, 6.3F, 0.5);
  EXPECT_NEAR(s.ShipHeading[0], 0.0168149, 5e-8);  // 6.3 comes down by 2 pi
  Wander(400, 300, 6.2831855F, 0.5);
  EXPECT_EQ(s.ShipHeading[0], 6.2831855F);  // float32 2 pi itself stays
}

TEST_F(Motion, WrapsStrictlyAtTheEdges) {
  Wander(799.5F, 300, 1.5707964F, 0.5);
  EXPECT_EQ(s.ShipX[0], 1.5F);
  Wander(1.75F, 300, -1.5707964F + 6.2831855F, 0.5);
  EXPECT_EQ(s.ShipX[0], 799.75F);
  Wander(0, 300, 0, 0.5);  // straight down: x stays exactly 0
  EXPECT_EQ(s.ShipX[0], 0.0F);
  Wander(800, 599, 0, 0.5);
  EXPECT_EQ(s.ShipX[0], 800.0F);
  EXPECT_EQ(s.ShipY[0], 1.0F);
  // A tiny negative step lands on exactly 800 and stays there.
  PlaceShip(0, -1e-8F, 300, 0, 0, 1, 0);
  Script({0.5});
  MoveShip(world, 0);
  EXPECT_EQ(s.ShipX[0], 800.0F);
}

TEST_F(Motion, PursuitRulesDrawOnlyWhenTheyApply) {
  const struct {
    int size;
    float bearing, distance;
    size_t draws;
    float heading;  // from 1.0 with every u = 0.5
  } cases[] = {
      {0, 0.2F, 30, 1, 1.05F},         // towards only
      {0, 0.0F, 10, 0, 1.0F},          // dead ahead: no rule, no draw
      {0, -0.2F, 10, 2, 1.05F},        // towards, then away twice as hard
      {5, -0.3F, 100, 2, 1.0083333F},  // flagship keeps its distance
      {5, 0.3F, 10, 3, 0.9750000F},    // all three rules for a close flagship
  };
  for (const auto& c : cases) {
    s = {};
    random = {};
    PlaceShip(0, 400, 300, 1.0F, c.size, 1, 1);
    s.ShipTeam[1] = 2;  // slot 1 is free but its old team still steers
    s.Bearing = c.bearing;
    s.Distance = c.distance;
    Script({0.5, 0.5, 0.5});
    MoveShip(world, 0);
    EXPECT_EQ(random.Drawn(), c.draws) << c.size << " " << c.bearing;
    EXPECT_FLOAT_EQ(s.ShipHeading[0], c.heading) << c.size << " " << c.bearing;
  }
}

}  // namespace
}  // namespace kelvarin
