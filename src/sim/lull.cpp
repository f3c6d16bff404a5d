#include "sim/lull.h"

#include "sim/fleet.h"

namespace kelvarin {

void CheckLull(World& world) {
  BattleState& s = world.state;
  if (s.EngagedCount == 0) {
    ++s.IdleTicks;
  }
  if (s.IdleTicks == kLullTicks) {
    StartNewBattle(world);
    s.IdleTicks = 0;
  }
}

void StartNewBattle(World& world) {
  BattleState& s = world.state;
  for (int fleet = 0; fleet < 3; ++fleet) {
    AdvanceTeam(s);
    const auto x = static_cast<float>(world.random.Next() * kLogicalWidth);
    const auto y = static_cast<float>(world.random.Next() * kLogicalHeight);
    const float heading = DrawDirection(world.random);
    const FleetSpawned spawned = SpawnFleet(world, x, y, heading, 5);
    if (spawned.count == 5) {
      MakeFlagship(s, spawned.lastSlot);
    }
  }
}

}  // namespace kelvarin
