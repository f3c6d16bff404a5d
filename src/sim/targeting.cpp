#include "sim/targeting.h"

#include "sim/gunfire.h"
#include "sim/launch.h"
#include "sim/maths.h"

namespace kelvarin {
namespace {

constexpr float kFiringRange = 100.0F;
constexpr int kLargestGunship = 3;
constexpr double kLaunchChance = 0.03;
constexpr double kSwitchChance = 0.3;

}  // namespace

void MeasureTarget(BattleState& s, int i) {
  const int t = s.ShipTarget[i];
  s.DeltaX = static_cast<float>(static_cast<double>(s.ShipX[t]) - s.ShipX[i]);
  s.DeltaY = static_cast<float>(static_cast<double>(s.ShipY[t]) - s.ShipY[i]);
  s.Bearing = static_cast<float>(kQuarterTurn);
  if (s.DeltaX < 0) {
    s.Bearing = static_cast<float>(-kQuarterTurn);
  }
  if (s.DeltaY != 0) {
    s.Bearing = static_cast<float>(Atn(static_cast<double>(s.DeltaX) / s.DeltaY));
  }
  if (s.DeltaY < 0) {
    s.Bearing = static_cast<float>(s.Bearing - kHalfTurn);
  }
  s.Bearing = static_cast<float>(static_cast<double>(s.Bearing) - s.ShipHeading[i]);
  // Raised once only: a bearing far below -pi stays below it.
  if (s.Bearing < -kHalfTurnF) {
    s.Bearing = static_cast<float>(s.Bearing + kFullTurn);
  }
  const double dx = s.DeltaX;
  const double dy = s.DeltaY;
  s.Distance = static_cast<float>(Sqrt(dx * dx + dy * dy));
}

void EngageTarget(World& world, int i) {
  BattleState& s = world.state;
  ++s.EngagedCount;
  ++s.AliveCount;
  MeasureTarget(s, i);

  const int t = s.ShipTarget[i];
  const bool enemy = s.ShipTeam[t] != s.ShipTeam[i];
  const bool live = s.ShipHealth[t] > 0;
  if (enemy && s.Distance < kFiringRange && live && s.Bearing > -kQuarterTurnF &&
      s.Bearing < kQuarterTurnF && s.ShipSize[i] <= kLargestGunship) {
    FireGuns(world, i);
    return;
  }

  if (!enemy || !live) {
    --s.EngagedCount;
    s.ShipTarget[i] = static_cast<std::int16_t>(DrawIndex(world.random, kShipSlots));
    return;
  }

  // Every ship that gets this far draws the launch number, flagship or not.
  const double launch = world.random.Next();
  if (s.ShipSize[i] == kFlagshipSize && launch < kLaunchChance) {
    LaunchShip(world, i);
    return;
  }

  const int c = DrawIndex(world.random, kShipSlots);
  const double cy = static_cast<double>(s.ShipY[c]) - s.ShipY[i];
  const double cx = static_cast<double>(s.ShipX[c]) - s.ShipX[i];
  const float dc = static_cast<float>(Sqrt(cy * cy + cx * cx));
  s.DeltaY = dc;
  const double chance = world.random.Next();
  if (s.ShipTeam[c] != s.ShipTeam[i] && s.ShipHealth[c] > 0 && chance < kSwitchChance &&
      s.Distance > dc) {
    s.ShipTarget[i] = static_cast<std::int16_t>(c);
  }
}

}  // namespace kelvarin
