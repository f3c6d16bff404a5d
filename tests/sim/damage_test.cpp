#include "sim/damage.h"

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Damage : public testing::SimTest {
 protected:
  void QueueDebris(int pieces) {
    for (int n = 0; n < pieces; ++n) Script({0.25, 0.5});
  }
};

TEST_F(Damage, DestructionBurstsIntoOneMorePieceThanTheCounter) {
  const struct { int size, debris; } cases[] = {{0, 5}, {1, 7}, {2, 9}, {5, 15}};
  for (const auto& c : cases) {
    s = {};
    random = {};
    surface.calls.clear();
    PlaceShip(4, 300, 200, 1, c.size, 2, 9, 1);
    QueueDebris(c.debris);
    DamageShip(world, 4);
    EXPECT_EQ(s.ShipHealth[4], 0);
    EXPECT_EQ(LiveParticles(), c.debris) << "size " << c.size;
    EXPECT_EQ(random.Drawn(), static_cast<size_t>(2 * c.debris)) << "size " << c.size;
    // The outline and a ring just outside the hull, all in black.
    ASSERT_EQ(surface.calls.size(), 4U);
    EXPECT_EQ(surface.calls[3].kind, testing::RecordingSurface::Kind::Circle);
    EXPECT_EQ(surface.calls[3].c, static_cast<float>(c.size + 3));
    for (const auto& call : surface.calls) EXPECT_EQ(call.colour, kBlack);
  }
}

TEST_F(Damage, DebrisTakesOnlySlotsWhoseLifeIsExactlyZero) {
  for (int j = 0; j < kPartSlots; ++j) PlaceParticle(j, 0, 0, 0, j % 2 ? -0.5F : 3.0F);
  s.PartLife[10] = 0;
  s.PartLife[20] = 0;
  s.PartLife[300] = 0;
  PlaceShip(0, 300, 300, 0, 2, 1, 0, 1);
  QueueDebris(3);
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
