#include "sim/particles.h"

#include <algorithm>
#include <cmath>

#include "sim/damage.h"
#include "sim/maths.h"

namespace kelvarin {
namespace {

constexpr double kStreak = 4;
// No ship reaches further than a flagship's 7 units; the index looks a little
// wider so that rounding can never hide a candidate.
constexpr double kReachMargin = 8;

bool Hits(const BattleState& s, int k, float px, float py) {
  if (s.ShipHealth[k] <= 0) {
    return false;
  }
  const double dy = static_cast<double>(py) - s.ShipY[k];
  const double dx = static_cast<double>(px) - s.ShipX[k];
  return Sqrt(dy * dy + dx * dx) < s.ShipSize[k] + 2;
}

void DrawStreak(Surface& surface, float x, float y, SineCosine angle, Rgb colour) {
  surface.Line(static_cast<float>(x - kStreak * angle.sin),
               static_cast<float>(y - kStreak * angle.cos), x, y, colour);
}

std::uint8_t Nearest(double v) { return static_cast<std::uint8_t>(std::nearbyint(v)); }

}  // namespace

Rgb ParticleColour(float life) {
  const double l = life;
  return {Nearest(l + 150), Nearest(2 * l), 0};
}

int FirstShipHitNaive(const BattleState& s, float px, float py) {
  for (int k = 0; k < kShipSlots; ++k) {
    if (Hits(s, k, px, py)) {
      return k;
    }
  }
  return -1;
}

void HitIndex::Build(const BattleState& s) {
  count_ = 0;
  for (int k = 0; k < kShipSlots; ++k) {
    if (s.ShipHealth[k] > 0 && !std::isnan(s.ShipX[k])) {
      entries_[count_++] = {s.ShipX[k], static_cast<std::int16_t>(k)};
    }
  }
  std::sort(entries_.begin(), entries_.begin() + count_,
            [](const Entry& a, const Entry& b) { return a.x < b.x; });
}

int HitIndex::FirstShipHit(const BattleState& s, float px, float py) const {
  // The distance is never less than its horizontal part, so ships further
  // than the longest reach in x cannot be hit.
  const double low = px - kReachMargin;
  const double high = px + kReachMargin;
  const auto* begin = entries_.begin();
  const auto* end = entries_.begin() + count_;
  const auto* it =
      std::lower_bound(begin, end, low, [](const Entry& e, double v) { return e.x < v; });
  int best = -1;
  for (; it != end && it->x <= high; ++it) {
    if ((best < 0 || it->slot < best) && Hits(s, it->slot, px, py)) {
      best = it->slot;
    }
  }
  return best;
}

void MoveParticles(World& world) {
  BattleState& s = world.state;
  // Ships do not move and none is born during this phase; ships that die in
  // it are skipped by the health test.
  HitIndex index;
  index.Build(s);

  for (int i = 0; i < kPartSlots; ++i) {
    if (!(s.PartLife[i] > 0)) {
      s.PartLife[i] = 0;
      continue;
    }
    const SineCosine a = SinCos(s.PartAngle[i]);
    DrawStreak(world.surface, s.PartX[i], s.PartY[i], a, kBlack);

    const double speed = static_cast<double>(s.PartLife[i]) / 50 * 4 + 1;
    s.PartX[i] = static_cast<float>(s.PartX[i] + speed * a.sin);
    s.PartY[i] = static_cast<float>(s.PartY[i] + speed * a.cos);
    s.PartLife[i] = static_cast<float>(static_cast<double>(s.PartLife[i]) - 1);
    if (!(s.PartLife[i] > 0)) {
      continue;
    }

    const int k = index.FirstShipHit(s, s.PartX[i], s.PartY[i]);
    if (k >= 0) {
      DamageShip(world, k);
      s.PartLife[i] = 0;
      continue;
    }
    DrawStreak(world.surface, s.PartX[i], s.PartY[i], a, ParticleColour(s.PartLife[i]));
  }
}

}  // namespace kelvarin
