#include "sim/motion.h"

#include "sim/maths.h"

namespace kelvarin {
namespace {

constexpr float kStandOff = 250.0F;  // flagships keep this far away
constexpr float kTooClose = 20.0F;   // any ship turns away inside this

void Turn(BattleState& s, int i, double by) {
  s.ShipHeading[i] = static_cast<float>(s.ShipHeading[i] + by);
}

void Steer(World& world, int i) {
  BattleState& s = world.state;
  Random& random = world.random;
  const int size = s.ShipSize[i];
  const double scale = size + 1;
  const int t = s.ShipTarget[i];

  if (s.ShipTeam[t] == s.ShipTeam[i]) {
    Turn(s, i, (random.Next() - 0.5) / scale);
    return;
  }

  // Pursuit: each rule that applies draws its own number.
  const float bearing = s.Bearing;
  const float distance = s.Distance;
  if (bearing < 0) {
    Turn(s, i, -(random.Next() * 0.1 / scale));
  }
  if (bearing > 0) {
    Turn(s, i, random.Next() * 0.1 / scale);
  }
  if (bearing < 0 && distance < kStandOff && size == kFlagshipSize) {
    Turn(s, i, random.Next() * 0.2 / scale);
  }
  if (bearing > 0 && distance < kStandOff && size == kFlagshipSize) {
    Turn(s, i, -(random.Next() * 0.2 / scale));
  }
  if (bearing < 0 && distance < kTooClose) {
    Turn(s, i, random.Next() * 0.2 / scale);
  }
  if (bearing > 0 && distance < kTooClose) {
    Turn(s, i, -(random.Next() * 0.2 / scale));
  }
}

void Wrap(const Surface& surface, BattleState& s, int i) {
  if (s.ShipX[i] < 0) {
    s.ShipX[i] = static_cast<float>(static_cast<double>(surface.ScaleWidth()) + s.ShipX[i]);
  }
  if (s.ShipY[i] < 0) {
    s.ShipY[i] = static_cast<float>(static_cast<double>(surface.ScaleHeight()) + s.ShipY[i]);
  }
  if (s.ShipX[i] > surface.ScaleWidth()) {
    s.ShipX[i] = static_cast<float>(static_cast<double>(s.ShipX[i]) - surface.ScaleWidth());
  }
  if (s.ShipY[i] > surface.ScaleHeight()) {
    s.ShipY[i] = static_cast<float>(static_cast<double>(s.ShipY[i]) - surface.ScaleHeight());
  }
}

}  // namespace

void MoveShip(World& world, int i) {
  BattleState& s = world.state;
  const double step = 2.0 * s.ShipSize[i] + 1;
  const SineCosine h = SinCos(s.ShipHeading[i]);
  s.ShipX[i] = static_cast<float>(s.ShipX[i] + 2 * h.sin / step);
  s.ShipY[i] = static_cast<float>(s.ShipY[i] + 2 * h.cos / step);

  Steer(world, i);
  Wrap(world.surface, s, i);

  if (s.ShipHeading[i] < 0) {
    s.ShipHeading[i] = static_cast<float>(s.ShipHeading[i] + kFullTurn);
  }
  if (s.ShipHeading[i] > kFullTurnF) {
    s.ShipHeading[i] = static_cast<float>(s.ShipHeading[i] - kFullTurn);
  }
}

}  // namespace kelvarin
