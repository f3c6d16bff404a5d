#include "sim/launch.h"

namespace kelvarin {

void LaunchShip(World& world, int i) {
  BattleState& s = world.state;
  const int k = DrawIndex(world.random, kShipSlots);
  if (s.ShipHealth[k] != 0) {
    return;
  }
  s.ShipX[k] = s.ShipX[i];
  s.ShipY[k] = s.ShipY[i];
  s.ShipHeading[k] = s.ShipHeading[i];
  s.ShipTarget[k] = s.ShipTarget[i];
  const double r1 = world.random.Next();
  const double r2 = world.random.Next();
  const auto size = static_cast<std::int16_t>(r2 * r1 * 4);
  s.ShipSize[k] = size;
  s.ShipHealth[k] = static_cast<std::int16_t>((size + 1) * (size + 1));
  s.ShipTeam[k] = s.ShipTeam[i];
}

}  // namespace kelvarin
