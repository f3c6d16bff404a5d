#include "sim/gunfire.h"

#include "sim/maths.h"

namespace kelvarin {
namespace {

constexpr double kGunChance = 0.03;
constexpr double kSpread = 0.1;

}  // namespace

int FirstFreeParticle(const BattleState& s) {
  for (int j = 0; j < kPartSlots; ++j) {
    if (s.PartLife[j] == 0.0F) {
      return j;
    }
  }
  return -1;
}

void FireGuns(World& world, int i) {
  BattleState& s = world.state;
  const int guns = s.ShipSize[i] + 1;
  for (int gun = 0; gun < guns; ++gun) {
    if (!(world.random.Next() < kGunChance)) {
      continue;
    }
    const int j = FirstFreeParticle(s);
    if (j < 0) {
      continue;
    }
    const double bow = s.ShipSize[i] + 2;
    const double heading = s.ShipHeading[i];
    const SineCosine h = SinCos(heading);
    s.PartX[j] = static_cast<float>(s.ShipX[i] + bow * h.sin);
    s.PartY[j] = static_cast<float>(s.ShipY[i] + bow * h.cos);
    const double spread = world.random.Next();
    s.PartAngle[j] = static_cast<float>(heading + s.Bearing + (spread - 0.5) * kSpread);
    s.PartLife[j] = kShotLife;
  }
}

}  // namespace kelvarin
