#include "shell/image_surface.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace kelvarin {
namespace {

// Geometry is clipped to the image grown by this many pixels on every side
// before it reaches the painter, so the painter never sees far-away points.
constexpr double kClipMargin = 2.0;

QColor ToColor(Rgb colour) { return QColor(colour.r, colour.g, colour.b); }

QPen SurfacePen(Rgb colour) {
  QPen pen(ToColor(colour));
  pen.setWidth(0);  // cosmetic: always one pixel
  pen.setStyle(Qt::SolidLine);
  return pen;
}

// Liang-Barsky clipping of the segment against [xmin, xmax] x [ymin, ymax].
// Returns false when nothing of the segment is inside.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin,
                 double xmax, double ymax) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double t0 = 0.0;
  double t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) {
        return false;
      }
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) {
      return false;
    }
  }
  const double ox = x1;
  const double oy = y1;
  x1 = ox + t0 * dx;
  y1 = oy + t0 * dy;
  x2 = ox + t1 * dx;
  y2 = oy + t1 * dy;
  return true;
}

}  // namespace

ImageSurface::ImageSurface(int width, int height) { Resize(width, height); }

void ImageSurface::Resize(int width, int height) {
  image_ = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image_.fill(Qt::black);
  dirty_ = image_.rect();
}

void ImageSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  double px1 = PixelX(x1);
  double py1 = PixelY(y1);
  double px2 = PixelX(x2);
  double py2 = PixelY(y2);
  if (!std::isfinite(px1) || !std::isfinite(py1) || !std::isfinite(px2) || !std::isfinite(py2)) {
    return;
  }
  if (!ClipSegment(px1, py1, px2, py2, -kClipMargin, -kClipMargin, image_.width() + kClipMargin,
                   image_.height() + kClipMargin)) {
    return;
  }
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setPen(SurfacePen(colour));
  if (px1 == px2 && py1 == py2) {
    painter.drawPoint(QPointF(px1, py1));
  } else {
    painter.drawLine(QPointF(px1, py1), QPointF(px2, py2));
  }
  MarkDirty(std::min(px1, px2), std::min(py1, py2), std::max(px1, px2), std::max(py1, py2));
}

void ImageSurface::Circle(float x, float y, float radius, Rgb colour) {
  const double cx = PixelX(x);
  const double cy = PixelY(y);
  const double r = PixelX(radius);  // round in pixels, sized by the horizontal scale
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) {
    return;
  }
  const double rr = std::abs(r);
  const double w = image_.width();
  const double h = image_.height();
  // Wholly outside the image?
  if (cx + rr < -kClipMargin || cx - rr > w + kClipMargin || cy + rr < -kClipMargin ||
      cy - rr > h + kClipMargin) {
    return;
  }
  // The image wholly inside the circle, away from its outline?
  const double fx = std::max(std::abs(cx + kClipMargin), std::abs(w + kClipMargin - cx));
  const double fy = std::max(std::abs(cy + kClipMargin), std::abs(h + kClipMargin - cy));
  if (std::hypot(fx, fy) < rr - kClipMargin) {
    return;
  }
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setPen(SurfacePen(colour));
  if (rr == 0.0) {
    painter.drawPoint(QPointF(cx, cy));
  } else {
    painter.drawEllipse(QPointF(cx, cy), rr, rr);
  }
  MarkDirty(cx - rr, cy - rr, cx + rr, cy + rr);
}

void ImageSurface::Cls() {
  image_.fill(Qt::black);
  dirty_ = image_.rect();
}

QRect ImageSurface::TakeDirty() {
  const QRect taken = dirty_;
  dirty_ = QRect();
  return taken;
}

void ImageSurface::MarkDirty(double left, double top, double right, double bottom) {
  // One pixel of slack on every side covers the pen's rounding.
  const double l = std::clamp(std::floor(left) - 1.0, 0.0, static_cast<double>(image_.width()));
  const double t = std::clamp(std::floor(top) - 1.0, 0.0, static_cast<double>(image_.height()));
  const double r = std::clamp(std::ceil(right) + 1.0, 0.0, static_cast<double>(image_.width()));
  const double b = std::clamp(std::ceil(bottom) + 1.0, 0.0, static_cast<double>(image_.height()));
  if (r <= l || b <= t) {
    return;
  }
  dirty_ |= QRect(QPoint(static_cast<int>(l), static_cast<int>(t)),
                  QPoint(static_cast<int>(r) - 1, static_cast<int>(b) - 1));
}

}  // namespace kelvarin
