#include "sim/ship_drawing.h"

#include <cmath>

namespace kelvarin {
namespace {

constexpr double kTailSpread = 2.5;

struct Outline {
  float nx, ny, ax, ay, bx, by;
};

Outline OutlineOf(const BattleState& s, int i) {
  const double r = s.ShipSize[i] + 1;
  const double x = s.ShipX[i];
  const double y = s.ShipY[i];
  const double h = s.ShipHeading[i];
  return {
      static_cast<float>(x + r * std::sin(h)),
      static_cast<float>(y + r * std::cos(h)),
      static_cast<float>(x + r * std::sin(h + kTailSpread)),
      static_cast<float>(y + r * std::cos(h + kTailSpread)),
      static_cast<float>(x + r * std::sin(h - kTailSpread)),
      static_cast<float>(y + r * std::cos(h - kTailSpread)),
  };
}

void DrawOutline(Surface& surface, const Outline& o, Rgb flank, Rgb rear) {
  surface.Line(o.nx, o.ny, o.ax, o.ay, flank);
  surface.Line(o.ax, o.ay, o.bx, o.by, rear);
  surface.Line(o.bx, o.by, o.nx, o.ny, flank);
}

}  // namespace

Rgb TeamColour(int team) {
  switch (team) {
    case 0:
      return {255, 50, 50};
    case 1:
      return {50, 255, 50};
    default:
      return {50, 50, 255};
  }
}

void EraseShip(World& world, int i) {
  DrawOutline(world.surface, OutlineOf(world.state, i), kBlack, kBlack);
}

void DrawShip(World& world, int i) {
  DrawOutline(world.surface, OutlineOf(world.state, i), kFlankColour,
              TeamColour(world.state.ShipTeam[i]));
}

}  // namespace kelvarin
