#include "sim/damage.h"

#include "sim/ship_drawing.h"

namespace kelvarin {

void DamageShip(World& world, int k) {
  BattleState& s = world.state;
  const float x = s.ShipX[k];
  const float y = s.ShipY[k];
  const int size = s.ShipSize[k];

  EraseShip(world, k);
  world.surface.Circle(x, y, static_cast<float>(size + 3), kBlack);
  s.DebrisLeft = size * 2 + 4;
  s.ShipHealth[k] = static_cast<std::int16_t>(s.ShipHealth[k] - 1);
  if (s.ShipHealth[k] != 0) {
    return;
  }

  // The count is tested after a piece is placed and before it is lowered, so
  // the burst holds one piece more than the counter started with.
  for (int j = 0; j < kPartSlots; ++j) {
    if (s.PartLife[j] != 0.0F) {
      continue;
    }
    s.PartX[j] = x;
    s.PartY[j] = y;
    s.PartAngle[j] = DrawDirection(world.random);
    const double b = world.random.Next();
    s.PartLife[j] = static_cast<float>(b * kDebrisLife);
    if (s.DebrisLeft == 0) {
      return;
    }
    --s.DebrisLeft;
  }
}

}  // namespace kelvarin
