#include "picture/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace kelvarin::raster {
namespace {

// How far outside the buffer geometry is kept before it is rounded to whole
// pixels; every product below stays far inside 64 bits.
constexpr double kFar = 16777216.0;  // 2^24
// How far outside the buffer an end may lie for the clipping to place the
// line to a small fraction of a pixel; farther ends are brought nearer first.
constexpr double kNear = 1073741824.0;  // 2^30
// More halvings than it takes to go from the largest double to the smallest.
constexpr int kMaxHalvings = 2200;

using i64 = std::int64_t;

// Ceiling of a / b for b > 0.
i64 CeilDiv(i64 a, i64 b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

void Extend(PixelBounds& b, int x, int y) {
  if (b.empty()) {
    b = {x, y, x, y};
    return;
  }
  b.left = std::min(b.left, x);
  b.top = std::min(b.top, y);
  b.right = std::max(b.right, x);
  b.bottom = std::max(b.bottom, y);
}

// Steps along the major axis from a0 to a1 (a0 <= a1) while the minor axis
// goes from m0 to m1. Step k lights minor m0 + sign * floor((2 k |dm| + n) /
// (2 n)), n = a1 - a0: the pixel nearest the ideal line, halves rounded
// towards m1. Only the steps whose pixel lies inside the buffer are visited.
template <bool kXMajor>
PixelBounds Walk(const PixelBuffer& buf, i64 a0, i64 m0, i64 a1, i64 m1, std::uint32_t colour) {
  const i64 majorLimit = kXMajor ? buf.width : buf.height;
  const i64 minorLimit = kXMajor ? buf.height : buf.width;
  const i64 n = a1 - a0;
  const i64 am = m1 >= m0 ? m1 - m0 : m0 - m1;
  const i64 sign = m1 >= m0 ? 1 : -1;

  // Steps inside the buffer along the major axis.
  i64 klo = std::max<i64>(0, -a0);
  i64 khi = std::min<i64>(n, majorLimit - 1 - a0);
  // Offsets along the minor axis that stay inside the buffer.
  i64 qlo = sign > 0 ? -m0 : m0 - (minorLimit - 1);
  i64 qhi = sign > 0 ? minorLimit - 1 - m0 : m0;
  qlo = std::max<i64>(qlo, 0);
  qhi = std::min<i64>(qhi, am);
  if (klo > khi || qlo > qhi) {
    return {};
  }
  if (am > 0) {
    // q(k) >= qlo  <=>  k >= (2 qlo - 1) n / (2 am), and q(k) <= qhi likewise.
    if (qlo > 0) {
      klo = std::max(klo, CeilDiv((2 * qlo - 1) * n, 2 * am));
    }
    if (qhi < am) {
      khi = std::min(khi, CeilDiv((2 * qhi + 1) * n, 2 * am) - 1);
    }
  }
  if (klo > khi) {
    return {};
  }

  const i64 den = 2 * std::max<i64>(n, 1);
  const i64 num = 2 * klo * am + n;
  i64 q = num / den;
  i64 r = num % den;
  PixelBounds bounds;
  bool first = true;
  int lastX = 0;
  int lastY = 0;
  for (i64 k = klo; k <= khi; ++k) {
    const i64 a = a0 + k;
    const i64 m = m0 + sign * q;
    const i64 x = kXMajor ? a : m;
    const i64 y = kXMajor ? m : a;
    // Always true by construction; kept so that no mistake can write outside.
    if (static_cast<std::uint64_t>(x) < static_cast<std::uint64_t>(buf.width) &&
        static_cast<std::uint64_t>(y) < static_cast<std::uint64_t>(buf.height)) {
      buf.bits[y * buf.stride + x] = colour;
      if (first) {
        bounds = {static_cast<int>(x), static_cast<int>(y), static_cast<int>(x),
                  static_cast<int>(y)};
        first = false;
      }
      lastX = static_cast<int>(x);
      lastY = static_cast<int>(y);
    }
    r += 2 * am;
    if (r >= den) {
      r -= den;
      ++q;
    }
  }
  if (!first) {
    Extend(bounds, lastX, lastY);
  }
  return bounds;
}

// Walk for a line whose two end pixels are inside the buffer, and so every
// pixel between them: the same pixels, without the clipping.
template <bool kXMajor>
PixelBounds WalkInside(const PixelBuffer& buf, i64 a0, i64 m0, i64 a1, i64 m1,
                       std::uint32_t colour) {
  const i64 n = a1 - a0;
  const i64 am = m1 >= m0 ? m1 - m0 : m0 - m1;
  const i64 den = 2 * std::max<i64>(n, 1);
  const i64 majorStep = kXMajor ? 1 : buf.stride;
  const i64 minorStep = (m1 >= m0 ? 1 : -1) * (kXMajor ? buf.stride : 1);
  i64 at = kXMajor ? m0 * buf.stride + a0 : a0 * buf.stride + m0;
  i64 r = n;  // 2 k am + n at k = 0, less the whole steps taken
  for (i64 k = 0; k <= n; ++k) {
    buf.bits[at] = colour;
    at += majorStep;
    r += 2 * am;
    if (r >= den) {
      r -= den;
      at += minorStep;
    }
  }
  const int a = static_cast<int>(std::min(a0, a1));
  const int b = static_cast<int>(std::max(a0, a1));
  const int c = static_cast<int>(std::min(m0, m1));
  const int d = static_cast<int>(std::max(m0, m1));
  return kXMajor ? PixelBounds{a, c, b, d} : PixelBounds{c, a, d, b};
}

template <bool kInside>
PixelBounds Step(const PixelBuffer& buf, i64 ax, i64 ay, i64 bx, i64 by, std::uint32_t colour) {
  const i64 adx = bx >= ax ? bx - ax : ax - bx;
  const i64 ady = by >= ay ? by - ay : ay - by;
  if (adx >= ady) {
    // The ends come ordered by x already.
    return kInside ? WalkInside<true>(buf, ax, ay, bx, by, colour)
                   : Walk<true>(buf, ax, ay, bx, by, colour);
  }
  if (by < ay) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  return kInside ? WalkInside<false>(buf, ay, ax, by, bx, colour)
                 : Walk<false>(buf, ay, ax, by, bx, colour);
}

struct Point {
  double x;
  double y;
};

bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

// Halves never overflow, whatever the two points.
Point Middle(const Point& a, const Point& b) {
  return {a.x * 0.5 + b.x * 0.5, a.y * 0.5 + b.y * 0.5};
}

// A segment wholly beyond one edge of a w x h buffer lights nothing.
bool Beyond(const Point& a, const Point& b, double w, double h) {
  return (a.x < 0.0 && b.x < 0.0) || (a.x >= w && b.x >= w) || (a.y < 0.0 && b.y < 0.0) ||
         (a.y >= h && b.y >= h);
}

bool Far(const Point& p, double w, double h) {
  return p.x < -kNear || p.x > w + kNear || p.y < -kNear || p.y > h + kNear;
}

// Moves `from` along the segment towards `to` until it lies within kNear of
// the buffer, never past the first point of the segment that is inside it:
// the part between them is halved, and `from` moves to the middle whenever
// the half on its side lies wholly beyond an edge. Each middle is rounded on
// its own scale, so the part that is kept keeps the segment's direction and
// place as well as the ends' doubles hold them. False when no part of the
// segment comes near the buffer.
bool Approach(Point& from, Point to, double w, double h) {
  for (int k = 0; k < kMaxHalvings && Far(from, w, h); ++k) {
    const Point middle = Middle(from, to);
    if (middle == from || middle == to) {
      break;
    }
    if (Beyond(from, middle, w, h)) {
      from = middle;
    } else {
      to = middle;
    }
  }
  return !Far(from, w, h);
}

}  // namespace

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
  if (t0 > 0.0) {
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
  }
  if (t1 < 1.0) {
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
  }
  return true;
}

PixelRect PixelRect::Intersected(const PixelRect& other) const {
  const int left = std::max(x, other.x);
  const int top = std::max(y, other.y);
  const int right = std::min(x + width, other.x + other.width);
  const int bottom = std::min(y + height, other.y + other.height);
  if (right <= left || bottom <= top) {
    return {};
  }
  return {left, top, right - left, bottom - top};
}

PixelRect PixelRect::United(const PixelRect& other) const {
  if (other.empty()) {
    return *this;
  }
  if (empty()) {
    return other;
  }
  const int left = std::min(x, other.x);
  const int top = std::min(y, other.y);
  const int right = std::max(x + width, other.x + other.width);
  const int bottom = std::max(y + height, other.y + other.height);
  return {left, top, right - left, bottom - top};
}

PixelRect RectOf(const PixelBounds& bounds) {
  if (bounds.empty()) {
    return {};
  }
  return {bounds.left, bounds.top, bounds.right - bounds.left + 1, bounds.bottom - bounds.top + 1};
}

PixelBounds DrawLine(const PixelBuffer& buf, double x1, double y1, double x2, double y2,
                     std::uint32_t colour) {
  if (buf.bits == nullptr || buf.width <= 0 || buf.height <= 0) {
    return {};
  }
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    return {};
  }
  // One order for the two ends, so that a line and its reverse are the same.
  if (x2 < x1 || (x2 == x1 && y2 < y1)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const double w = buf.width;
  const double h = buf.height;
  const auto floorInt = [](double v) { return static_cast<i64>(std::floor(v)); };
  if (x1 >= 0.0 && x2 < w && y1 >= 0.0 && y1 < h && y2 >= 0.0 && y2 < h) {
    return Step<true>(buf, floorInt(x1), floorInt(y1), floorInt(x2), floorInt(y2), colour);
  }
  Point a{x1, y1};
  Point b{x2, y2};
  if (Far(a, w, h) || Far(b, w, h)) {
    // Clipping far ends directly would round away the line's place (beyond
    // about 2^40 pixels) or overflow (beyond half the largest double).
    if (Beyond(a, b, w, h) || !Approach(a, b, w, h) || !Approach(b, a, w, h)) {
      return {};
    }
    x1 = a.x;
    y1 = a.y;
    x2 = b.x;
    y2 = b.y;
  }
  if (!ClipSegment(x1, y1, x2, y2, -kFar, -kFar, w + kFar, h + kFar)) {
    return {};
  }
  return Step<false>(buf, floorInt(x1), floorInt(y1), floorInt(x2), floorInt(y2), colour);
}

PixelBounds DrawCircle(const PixelBuffer& buf, double cx, double cy, double radius,
                       std::uint32_t colour) {
  if (buf.bits == nullptr || buf.width <= 0 || buf.height <= 0) {
    return {};
  }
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) {
    return {};
  }
  const double rr = std::abs(radius);
  if (rr > kFar) {
    return {};
  }
  const double w = buf.width;
  const double h = buf.height;
  // Wholly outside, judged before anything is rounded.
  if (cx + rr < -2.0 || cx - rr > w + 2.0 || cy + rr < -2.0 || cy - rr > h + 2.0) {
    return {};
  }
  // rr rounded, halves away from zero, as llround does, in plain arithmetic:
  // 0 <= rr <= 2^24, so the conversion truncates exactly.
  const auto whole = static_cast<i64>(rr);
  const i64 r = whole + (rr - static_cast<double>(whole) >= 0.5 ? 1 : 0);
  const i64 icx = static_cast<i64>(std::floor(cx));
  const i64 icy = static_cast<i64>(std::floor(cy));
  const i64 left = std::max<i64>(icx - r, 0);
  const i64 top = std::max<i64>(icy - r, 0);
  const i64 right = std::min<i64>(icx + r, buf.width - 1);
  const i64 bottom = std::min<i64>(icy + r, buf.height - 1);
  if (left > right || top > bottom) {
    return {};
  }
  // The buffer wholly inside the circle, clear of its outline: every outline
  // pixel is at least r - 1 from the centre.
  if (r > 2) {
    const i64 fx = std::max(icx >= 0 ? icx : -icx, std::abs(buf.width - 1 - icx));
    const i64 fy = std::max(icy >= 0 ? icy : -icy, std::abs(buf.height - 1 - icy));
    if (fx * fx + fy * fy < (r - 2) * (r - 2)) {
      return {};
    }
  }

  const auto plot = [&](i64 x, i64 y) {
    if (static_cast<std::uint64_t>(x) < static_cast<std::uint64_t>(buf.width) &&
        static_cast<std::uint64_t>(y) < static_cast<std::uint64_t>(buf.height)) {
      buf.bits[y * buf.stride + x] = colour;
    }
  };
  i64 x = 0;
  i64 y = r;
  i64 d = 1 - r;
  while (x <= y) {
    plot(icx + x, icy + y);
    plot(icx - x, icy + y);
    plot(icx + x, icy - y);
    plot(icx - x, icy - y);
    plot(icx + y, icy + x);
    plot(icx - y, icy + x);
    plot(icx + y, icy - x);
    plot(icx - y, icy - x);
    if (d < 0) {
      d += 2 * x + 3;
    } else {
      d += 2 * (x - y) + 5;
      --y;
    }
    ++x;
  }
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
          static_cast<int>(bottom)};
}

}  // namespace kelvarin::raster
