#pragma once

#include <QImage>

#include "sim/surface.h"
#include "state/battle_state.h"

namespace kelvarin::bench {

// The busiest tick the tables allow: all 101 ship slots live, gunships in
// rows, each aiming at a live enemy in range and ahead (so each one's guns
// are tried), and all 301 particle slots live between the rows, where they
// hit nothing (so each particle is tested against the ships and drawn).
BattleState WorstCase();

// The same tables with every ship on one vertical line and every particle
// beside it: the hit index finds every ship a candidate.
BattleState SameColumn();

// The drawing path before the rasteriser, kept as the baseline: one QPainter
// per call on an RGB32 image, cosmetic 1-pixel pen, no antialiasing, plain
// copy, the same logical-to-pixel mapping (x * width / 800, y * height / 600).
class QPainterSurface final : public Surface {
 public:
  QPainterSurface(int width, int height);
  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Cls() override;
  const QImage& image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace kelvarin::bench
