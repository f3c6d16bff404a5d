#include "scenes.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "picture/raster.h"

namespace kelvarin::bench {
namespace {

constexpr int kColumns = 11;
constexpr int kGunship = 3;

void PlaceShip(BattleState& s, int i, float x, float y, int target) {
  s.ShipX[i] = x;
  s.ShipY[i] = y;
  s.ShipSize[i] = kGunship;
  s.ShipHealth[i] = (kGunship + 1) * (kGunship + 1);
  s.ShipTeam[i] = static_cast<std::int16_t>(i % 3);
  s.ShipTarget[i] = static_cast<std::int16_t>(target);
}

void PlaceParticle(BattleState& s, int j, float x, float y, float angle) {
  s.PartX[j] = x;
  s.PartY[j] = y;
  s.PartAngle[j] = angle;
  s.PartLife[j] = 50.0F;
}

// Heads every ship straight at its target.
void AimAll(BattleState& s) {
  for (int i = 0; i < kShipSlots; ++i) {
    const int t = s.ShipTarget[i];
    const double dx = static_cast<double>(s.ShipX[t]) - s.ShipX[i];
    const double dy = static_cast<double>(s.ShipY[t]) - s.ShipY[i];
    s.ShipHeading[i] = static_cast<float>(std::atan2(dx, dy));
  }
}

QPen Pen(Rgb c) {
  QPen pen(QColor(c.r, c.g, c.b));
  pen.setWidth(0);
  return pen;
}

}  // namespace

BattleState WorstCase() {
  BattleState s;
  // Rows of 11, 70 units apart, each row shifted a little so that no two
  // ships share an x; every ship aims at its neighbour in the row, 70 units
  // away, always of another team.
  for (int i = 0; i < kShipSlots; ++i) {
    const int row = i / kColumns;
    const int col = i % kColumns;
    const bool lastInRow = col == kColumns - 1 || i == kShipSlots - 1;
    PlaceShip(s, i, static_cast<float>(40 + 70 * col + 3 * row), static_cast<float>(30 + 60 * row),
              lastInRow ? i - 1 : i + 1);
  }
  AimAll(s);
  // Three particles in the middle of each cell, 30 units from every ship.
  for (int j = 0; j < kPartSlots; ++j) {
    const int cell = (j / 3) % 100;
    const int row = cell / 10;
    const int col = cell % 10;
    const float x = static_cast<float>(75 + 70 * col + 3 * row + 6 * (j % 3 - 1));
    const float y = static_cast<float>(60 + 60 * row);
    PlaceParticle(s, j, x, y, static_cast<float>(0.37 * j));
  }
  return s;
}

BattleState SameColumn() {
  BattleState s;
  // Ships 6 units apart down x = 400; particles 4.5 units to the side,
  // halfway between two ships: 5.4 units from the nearest, just out of reach.
  for (int i = 0; i < kShipSlots; ++i) {
    PlaceShip(s, i, 400.0F, static_cast<float>(6 * i), i == kShipSlots - 1 ? i - 1 : i + 1);
  }
  AimAll(s);
  for (int j = 0; j < kPartSlots; ++j) {
    PlaceParticle(s, j, j % 2 == 0 ? 404.5F : 395.5F, static_cast<float>(6 * (j % 100) + 3), 0.0F);
  }
  return s;
}

QPainterSurface::QPainterSurface(int width, int height)
    : image_(width, height, QImage::Format_RGB32) {
  image_.fill(Qt::black);
}

void QPainterSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  double px1 = static_cast<double>(x1) * image_.width() / 800.0;
  double py1 = static_cast<double>(y1) * image_.height() / 600.0;
  double px2 = static_cast<double>(x2) * image_.width() / 800.0;
  double py2 = static_cast<double>(y2) * image_.height() / 600.0;
  if (!std::isfinite(px1) || !std::isfinite(py1) || !std::isfinite(px2) || !std::isfinite(py2)) {
    return;
  }
  if (!raster::ClipSegment(px1, py1, px2, py2, -2.0, -2.0, image_.width() + 2.0,
                           image_.height() + 2.0)) {
    return;
  }
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setPen(Pen(colour));
  painter.drawLine(QPointF(px1, py1), QPointF(px2, py2));
}

void QPainterSurface::Circle(float x, float y, float radius, Rgb colour) {
  const double cx = static_cast<double>(x) * image_.width() / 800.0;
  const double cy = static_cast<double>(y) * image_.height() / 600.0;
  const double r = std::abs(static_cast<double>(radius) * image_.width() / 800.0);
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) {
    return;
  }
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setPen(Pen(colour));
  painter.drawEllipse(QPointF(cx, cy), r, r);
}

void QPainterSurface::Cls() { image_.fill(Qt::black); }

}  // namespace kelvarin::bench
