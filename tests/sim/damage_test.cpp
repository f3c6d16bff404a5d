#include "sim/damage.h"

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Damage : public testing::SimTest {
 protected:
  void Queue(int pairs) {
    for (int n = 0; n < pairs; ++n) Script({0.25, 0.5});
  }
};

TEST_F(Damage, DestructionBurstsIntoOneMorePieceThanTheCounter) {
  const struct { int size, debris; } cases[] = {{0, 5}, {1, 7}, {2, 9}, {3, 11}, {5, 15}};
  for (const auto& c : cases) {
    s = {};
    random = {};
    surface.calls.clear();
    PlaceShip(4, 300, 200, 1, c.size, 2, 9, 1);
    Queue(c.debris);
    DamageShip(world, 4);
    EXPECT_EQ(s.ShipHealth[4], 0);
    EXPECT_EQ(LiveParticles(), c.debris) << "size " << c.size;
    EXPECT_EQ(random.Drawn(), static_cast<size_t>(2 * c.debris));
    EXPECT_EQ(s.PartX[c.debris - 1], 300.0F);
    EXPECT_EQ(s.PartY[c.debris - 1], 200.0F);
    EXPECT_EQ(s.PartAngle[0], static_cast<float>(0.25 * 360 * 0.0174532925199433));
    EXPECT_EQ(s.PartLife[0], 8.5F);
    // The outline and a ring just outside the hull, all in black.
    ASSERT_EQ(surface.calls.size(), 4U);
    EXPECT_EQ(surface.calls[3].kind, testing::RecordingSurface::Kind::Circle);
    EXPECT_EQ(surface.calls[3].c, static_cast<float>(c.size + 3));
    for (const auto& call : surface.calls) EXPECT_EQ(call.colour, kBlack);
    // Everything but the health stays in the slot.
    EXPECT_EQ(s.ShipX[4], 300.0F);
    EXPECT_EQ(s.ShipTarget[4], 9);
    EXPECT_EQ(s.ShipSize[4], c.size);
  }
}

TEST_F(Damage, ASurvivingShipDrawsNoNumbersAndEmitsNothing) {
  PlaceShip(0, 300, 300, 0, 3, 1, 0);
  for (int hit = 1; hit <= 15; ++hit) DamageShip(world, 0);
  EXPECT_EQ(s.ShipHealth[0], 1);
  EXPECT_EQ(s.DebrisLeft, 10);
  EXPECT_EQ(LiveParticles(), 0);
  EXPECT_EQ(random.Drawn(), 0U);
}

TEST_F(Damage, DebrisTakesOnlySlotsWhoseLifeIsExactlyZero) {
  for (int j = 0; j < kPartSlots; ++j) PlaceParticle(j, 0, 0, 0, j % 2 ? -0.5F : 3.0F);
  s.PartLife[10] = 0;
  s.PartLife[20] = 0;
  s.PartLife[300] = 0;
  PlaceShip(0, 300, 300, 0, 2, 1, 0, 1);
  Queue(3);
  DamageShip(world, 0);
  EXPECT_EQ(s.PartLife[10], 8.5F);
  EXPECT_EQ(s.PartLife[20], 8.5F);
  EXPECT_EQ(s.PartLife[300], 8.5F);
  EXPECT_EQ(random.Drawn(), 6U);
}

TEST_F(Damage, AFullParticleTableLeavesNoDebris) {
  for (int j = 0; j < kPartSlots; ++j) PlaceParticle(j, 0, 0, 0, 3.0F);
  PlaceShip(0, 300, 300, 0, 5, 1, 0, 1);
  DamageShip(world, 0);
  EXPECT_EQ(s.ShipHealth[0], 0);
  EXPECT_EQ(random.Drawn(), 0U);
}

}  // namespace
}  // namespace kelvarin
