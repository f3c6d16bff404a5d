#include "sim/input.h"

#include "sim/fleet.h"

namespace kelvarin {

KeyResult pct_KeyDown(BattleState& state, int keyCode) {
  if (keyCode == kKeyEscape) {
    return KeyResult::Quit;
  }
  if (keyCode == kKeyEnter) {
    state.PurgeFlag = kTrue;
  }
  return KeyResult::Continue;
}

void pct_MouseDown(World& world, int button, float x, float y, double secondsSinceMidnight) {
  world.random.Reseed(secondsSinceMidnight);
  AdvanceTeam(world.state);
  const float heading = DrawDirection(world.random);
  const FleetSpawned fleet = SpawnFleet(world, x, y, heading, 4);
  // Only a complete fleet dropped with the left button gets a flagship.
  if (fleet.count == 5 && button == kButtonLeft) {
    MakeFlagship(world.state, fleet.lastSlot);
  }
}

}  // namespace kelvarin
