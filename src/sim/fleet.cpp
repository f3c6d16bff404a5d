#include "sim/fleet.h"

namespace kelvarin {
namespace {

constexpr int kFleetSize = 5;

std::int16_t FreshHealth(int size) { return static_cast<std::int16_t>((size + 1) * (size + 1)); }

}  // namespace

void AdvanceTeam(BattleState& s) {
  ++s.NextTeam;
  if (s.NextTeam > 2) {
    s.NextTeam = 0;
  }
}

void MakeFlagship(BattleState& s, int i) {
  s.ShipSize[i] = kFlagshipSize;
  s.ShipHealth[i] = FreshHealth(kFlagshipSize);
}

FleetSpawned SpawnFleet(World& world, float x, float y, float heading, int sizeRange) {
  BattleState& s = world.state;
  FleetSpawned fleet;
  for (int i = 0; i < kShipSlots && fleet.count < kFleetSize; ++i) {
    if (s.ShipHealth[i] != 0) {
      continue;
    }
    s.ShipX[i] = x;
    s.ShipY[i] = y;
    s.ShipHeading[i] = heading;
    s.ShipTarget[i] = static_cast<std::int16_t>(DrawIndex(world.random, kShipSlots));
    const double r2 = world.random.Next();
    const double r3 = world.random.Next();
    auto size = static_cast<std::int16_t>(r3 * r2 * sizeRange);
    if (size == 4) {
      size = kFlagshipSize;
    }
    s.ShipSize[i] = size;
    s.ShipHealth[i] = FreshHealth(size);
    s.ShipTeam[i] = s.NextTeam;
    ++fleet.count;
    fleet.lastSlot = i;
  }
  return fleet;
}

}  // namespace kelvarin
