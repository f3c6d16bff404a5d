#include "sim/ship_drawing.h"

#include "sim/maths.h"

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
  const SineCosine nose = SinCos(h);
  const SineCosine a = SinCos(h + kTailSpread);
  const SineCosine b = SinCos(h - kTailSpread);
  return {
      static_cast<float>(x + r * nose.sin), static_cast<float>(y + r * nose.cos),
      static_cast<float>(x + r * a.sin),    static_cast<float>(y + r * a.cos),
      static_cast<float>(x + r * b.sin),    static_cast<float>(y + r * b.cos),
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
