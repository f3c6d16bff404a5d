#include "sim/tick.h"

#include "sim/damage.h"
#include "sim/lull.h"
#include "sim/motion.h"
#include "sim/particles.h"
#include "sim/ship_drawing.h"
#include "sim/targeting.h"

namespace kelvarin {
namespace {

// One live ship's visit, complete before the next ship's begins.
void VisitShip(World& world, int i) {
  BattleState& s = world.state;
  EngageTarget(world, i);
  EraseShip(world, i);
  MoveShip(world, i);
  if (s.PurgeFlag != kFalse) {
    DamageShip(world, i);
  }
  if (s.ShipHealth[i] > 0) {
    DrawShip(world, i);
  }
}

}  // namespace

void tmr_Timer(World& world) {
  BattleState& s = world.state;
  s.EngagedCount = 0;
  s.AliveCount = 0;

  // Slots are read as the loop reaches them, so a ship launched into a higher
  // slot during this phase is visited in this same tick.
  for (int i = 0; i < kShipSlots; ++i) {
    if (s.ShipHealth[i] > 0) {
      VisitShip(world, i);
    } else {
      s.ShipHealth[i] = 0;
    }
  }

  // The purge ends in the first tick that finds no ship alive.
  if (s.AliveCount == 0) {
    s.PurgeFlag = kFalse;
  }

  MoveParticles(world);
  CheckLull(world);
}

}  // namespace kelvarin
