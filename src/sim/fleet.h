#pragma once

#include "sim/world.h"

namespace kelvarin {

struct FleetSpawned {
  int count = 0;      // ships spawned, at most five
  int lastSlot = -1;  // slot of the last ship spawned
};

// Advances NextTeam 0 -> 1 -> 2 -> 0; the new value is the fleet's team.
void AdvanceTeam(BattleState& s);

// Fills up to five of the lowest free ship slots with ships of team NextTeam
// on (x, y) with one heading; each draws its target slot, then r2 and r3 for
// its size Int(r3 x r2 x sizeRange). A drawn size of 4 becomes a flagship.
FleetSpawned SpawnFleet(World& world, float x, float y, float heading, int sizeRange);

// Makes slot i a flagship: size 5, health 36.
void MakeFlagship(BattleState& s, int i);

}  // namespace kelvarin
