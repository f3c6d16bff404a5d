#include "sim/tick.h"

#include <gtest/gtest.h>

#include "sim/input.h"
#include "sim_fixture.h"

namespace kelvarin {
namespace {

class Tick : public testing::SimTest {};

TEST_F(Tick, AFreeOrNegativeSlotIsNeitherCountedNorDrawnAndIsSetToZero) {
  PlaceShip(9, 50, 50, 0, 0, 2, 9);
  s.ShipHealth[9] = -3;
  s.ShipX[10] = 60;
  s.ShipTeam[10] = 1;
  tmr_Timer(world);
  EXPECT_TRUE(surface.calls.empty());
  EXPECT_EQ(s.AliveCount, 0);
  EXPECT_EQ(s.ShipHealth[9], 0);
}

TEST_F(Tick, EnterThenAFleetBeforeTheNextTickPurgesTheFleet) {
  pct_KeyDown(s, kKeyEnter);
  for (int n = 0; n < 16; ++n) Script({0.5});
  pct_MouseDown(world, kButtonRight, 400, 300, 0);
  for (int n = 0; n < 5 * 3; ++n) Script({0.5});
  tmr_Timer(world);
  EXPECT_EQ(s.PurgeFlag, kTrue);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.ShipHealth[i], 3) << i;
}

TEST_F(Tick, AShipLaunchedIntoAHigherSlotIsVisitedInTheSameTick) {
  PlaceShip(0, 100, 100, 0, 5, 1, 1);
  PlaceShip(1, 400, 100, 0, 0, 2, 1);
  // Flagship: launch (0.01) into slot 60 with size Int(0.5 x 0.5 x 4) = 1,
  // then one turn towards ship 1. Ship 1 drops itself for slot 50, whose
  // stale team 0 makes it turn twice. The launched ship chases ship 1: a
  // launch draw, the switch test's two draws and one turn.
  Script({0.01, 60.0 / 101 + 1e-9, 0.5, 0.5, 0.5});
  Script({0.5, 0.5, 0.5});
  Script({0.5, 0.5, 0.5, 0.5});
  tmr_Timer(world);
  EXPECT_EQ(s.ShipHealth[60], 4);
  EXPECT_EQ(s.AliveCount, 3);
  EXPECT_EQ(s.EngagedCount, 2);
  EXPECT_NE(s.ShipY[60], s.ShipY[0]) << "moved in its own visit";
  EXPECT_EQ(random.Remaining(), 0U);
}

void RunSeededBattle(BattleState& s) {
  NullSurface surface;
  BuiltinRandom random(99);
  World world{s, surface, random};
  for (int n = 0; n < 3000; ++n) {
    if (n % 400 == 10) pct_MouseDown(world, 1 + n % 2, 100.0F + n % 600, 300, n * 0.37);
    if (n == 2500) pct_KeyDown(s, kKeyEnter);
    tmr_Timer(world);
  }
}

// Two runs of the same seeded battle give the same state, bit for bit, and
// the fingerprint pins that state: any change to a rule, a rounding or the
// order of random draws shows up here.
TEST(Determinism, TheSameSeedGivesTheSameBattle) {
  BattleState a;
  BattleState b;
  RunSeededBattle(a);
  RunSeededBattle(b);
  EXPECT_EQ(testing::Fingerprint(a), testing::Fingerprint(b));
  EXPECT_EQ(testing::Fingerprint(a), 0xf2f82d79e6d35d42ULL) << std::hex << testing::Fingerprint(a);
}

}  // namespace
}  // namespace kelvarin
