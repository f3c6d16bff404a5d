#include "sim/particles.h"

#include <gtest/gtest.h>

#include <random>

#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Particles : public testing::SimTest {};

TEST(ParticleColour, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(ParticleColour(0.5F), (Rgb{150, 1, 0}));   // 150.5 -> 150, 1 -> 1
  EXPECT_EQ(ParticleColour(1.25F), (Rgb{151, 2, 0}));  // 2.5 -> 2
  EXPECT_EQ(ParticleColour(16.75F), (Rgb{167, 34, 0}));
}

TEST_F(Particles, ShortDebrisIsMovedOnceAndLeftSpentUntilTheNextPass) {
  PlaceParticle(5, 100, 100, 0, 0.4F);
  PlaceShip(0, 100, 101, 0, 3, 1, 0);  // would be hit if tested
  MoveParticles(world);
  EXPECT_EQ(s.PartLife[5], -0.6F);
  EXPECT_EQ(s.ShipHealth[0], 16);
  EXPECT_EQ(surface.calls.size(), 1U);  // erased, never drawn
  MoveParticles(world);
  EXPECT_EQ(s.PartLife[5], 0.0F);
}

TEST_F(Particles, TheExactHitRadiusDoesNotHit) {
  // Life 12.5 moves the particle 2 units down to (100, 102).
  PlaceShip(0, 100, 105, 0, 1, 1, 0);  // 3 away, radius 3: miss
  PlaceParticle(0, 100, 100, 0, 12.5F);
  MoveParticles(world);
  EXPECT_EQ(s.ShipHealth[0], 4);
  EXPECT_GT(s.PartLife[0], 0.0F);

  s.ShipY[0] = 104.9F;
  PlaceParticle(0, 100, 100, 0, 12.5F);
  MoveParticles(world);
  EXPECT_EQ(s.ShipHealth[0], 3);
  EXPECT_EQ(s.PartLife[0], 0.0F);
}

TEST_F(Particles, TheLowerSlotTakesTheHitAndDeadSlotsAreTransparent) {
  PlaceShip(7, 100, 102, 0, 3, 1, 0);
  PlaceShip(3, 100, 102, 0, 3, 2, 0);
  PlaceShip(1, 100, 102, 0, 3, 2, 0, 0);  // a dead ship on the same point
  PlaceParticle(0, 100, 100, 0, 12.5F);
  MoveParticles(world);
  EXPECT_EQ(s.ShipHealth[3], 15);
  EXPECT_EQ(s.ShipHealth[7], 16);
  EXPECT_EQ(s.ShipHealth[1], 0);
}

TEST_F(Particles, DebrisAboveTheHitMovesInTheSamePass) {
  // Particle 5 destroys a size-0 ship. Slots 0..2 hold shots far away and
  // slot 5 is still live during the burst, so the five pieces take slots 3,
  // 4, 6, 7 and 8; those above 5 take their first step in this same pass.
  for (int j : {0, 1, 2}) PlaceParticle(j, 1000, 1000, 0, 40);
  PlaceShip(0, 100, 102, 0, 0, 1, 0);
  PlaceParticle(5, 100, 100, 0, 12.5F);
  Script({0, 0.5, 0, 0.5, 0, 0.5, 0, 0.5, 0, 0.5});
  MoveParticles(world);
  EXPECT_EQ(s.ShipHealth[0], 0);
  for (int j : {3, 4}) EXPECT_EQ(s.PartLife[j], 8.5F) << j;
  EXPECT_EQ(s.PartLife[5], 0.0F);
  for (int j : {6, 7, 8}) {
    EXPECT_EQ(s.PartLife[j], 7.5F) << j;
    EXPECT_FLOAT_EQ(s.PartY[j], 102 + 8.5F / 50 * 4 + 1) << j;
  }
  EXPECT_EQ(s.PartLife[9], 0.0F);
}

TEST(HitIndex, AgreesWithTheFullScan) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> coord(0, 60);
  std::uniform_int_distribution<int> size(0, 4);
  for (int round = 0; round < 300; ++round) {
    BattleState s;
    for (int k = 0; k < kShipSlots; ++k) {
      s.ShipX[k] = coord(gen);
      s.ShipY[k] = coord(gen);
      const int sz = size(gen);
      s.ShipSize[k] = static_cast<std::int16_t>(sz == 4 ? 5 : sz);
      s.ShipHealth[k] = static_cast<std::int16_t>(gen() % 3);
    }
    HitIndex index;
    index.Build(s);
    for (int n = 0; n < 300; ++n) {
      float px = coord(gen);
      float py = coord(gen);
      if (n % 3 == 0) {  // exactly at a ship's reach, straight right of it
        const int k = static_cast<int>(gen() % kShipSlots);
        px = s.ShipX[k] + static_cast<float>(s.ShipSize[k] + 2);
        py = s.ShipY[k];
      }
      ASSERT_EQ(index.FirstShipHit(s, px, py), FirstShipHitNaive(s, px, py));
    }
  }
}

}  // namespace
}  // namespace kelvarin
