#include "picture/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace kelvarin::raster {
namespace {

constexpr std::uint32_t kInk = 0xFFC80A14;
constexpr std::uint32_t kPad = 0xDEADBEEF;  // the row padding beyond the width
constexpr std::uint32_t kBlack = 0xFF000000;

using Pixel = std::pair<int, int>;

// A buffer whose rows are padded, so a write past the width shows up.
struct Canvas {
  Canvas(int w, int h, int pad = 3) : width(w), height(h), stride(w + pad) {
    bits.assign(static_cast<std::size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
      for (int x = w; x < stride; ++x) bits[y * stride + x] = kPad;
    }
  }
  PixelBuffer buffer() { return {bits.data(), width, height, stride}; }
  std::uint32_t at(int x, int y) const { return bits[y * stride + x]; }
  bool lit(int x, int y) const { return (at(x, y) & 0xFFFFFF) != 0; }
  std::set<Pixel> Lit() const {
    std::set<Pixel> out;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (lit(x, y)) out.insert({x, y});
      }
    }
    return out;
  }
  bool PaddingIntact() const {
    for (int y = 0; y < height; ++y) {
      for (int x = width; x < stride; ++x) {
        if (at(x, y) != kPad) return false;
      }
    }
    return true;
  }
  PixelBounds Line(double x1, double y1, double x2, double y2, std::uint32_t c = kInk) {
    return DrawLine(buffer(), x1, y1, x2, y2, c);
  }

  int width;
  int height;
  int stride;
  std::vector<std::uint32_t> bits;
};

// A small canvas sees a window of a big one, at this offset: clipped drawing
// on the small one must light what the big one shows through the window.
constexpr int kWindowAt = 80;

std::set<Pixel> SeenThroughWindow(const Canvas& big, const Canvas& small) {
  std::set<Pixel> seen;
  for (const auto& [x, y] : big.Lit()) {
    const int sx = x - kWindowAt;
    const int sy = y - kWindowAt;
    if (sx >= 0 && sx < small.width && sy >= 0 && sy < small.height) seen.insert({sx, sy});
  }
  return seen;
}

bool Inside(const PixelBounds& b, const std::set<Pixel>& pixels) {
  for (const auto& [x, y] : pixels) {
    if (x < b.left || x > b.right || y < b.top || y > b.bottom) return false;
  }
  return true;
}

// What every unclipped line between two pixels must look like: both ends lit,
// one pixel per step along the longer axis, each next to the one before, and
// each within half a pixel (across the longer axis) of the ideal line between
// the end pixels' centres.
void ExpectProperLine(const std::set<Pixel>& lit, int x1, int y1, int x2, int y2) {
  SCOPED_TRACE(::testing::Message() << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ")");
  const int dx = x2 - x1;
  const int dy = y2 - y1;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int steps = std::max(std::abs(dx), std::abs(dy));
  ASSERT_EQ(lit.size(), static_cast<std::size_t>(steps + 1));
  EXPECT_TRUE(lit.count({x1, y1}));
  EXPECT_TRUE(lit.count({x2, y2}));
  std::set<int> majors;
  for (const auto& [x, y] : lit) {
    majors.insert(xMajor ? x : y);
    if (steps == 0) continue;
    const double t = xMajor ? static_cast<double>(x - x1) / dx : static_cast<double>(y - y1) / dy;
    EXPECT_GE(t, 0.0);
    EXPECT_LE(t, 1.0);
    const double ideal = xMajor ? y1 + t * dy : x1 + t * dx;
    EXPECT_LE(std::abs((xMajor ? y : x) - ideal), 0.5 + 1e-9) << x << "," << y;
  }
  EXPECT_EQ(majors.size(), lit.size());  // one pixel per step
  // 8-connected: sorted along the major axis, neighbours differ by at most 1.
  std::vector<Pixel> path(lit.begin(), lit.end());
  if (!xMajor) {
    for (auto& p : path) std::swap(p.first, p.second);
    std::sort(path.begin(), path.end());
  }
  for (std::size_t i = 1; i < path.size(); ++i) {
    EXPECT_EQ(path[i].first - path[i - 1].first, 1);
    EXPECT_LE(std::abs(path[i].second - path[i - 1].second), 1);
  }
}

TEST(RasterLine, EveryOctantLightsAProperPathBetweenItsEnds) {
  // Ends all around a centre pixel: every octant, the axes, the diagonals
  // and the steep and shallow lines next to them.
  for (int dx = -13; dx <= 13; ++dx) {
    for (int dy = -13; dy <= 13; ++dy) {
      Canvas forward(40, 40);
      Canvas backward(40, 40);
      const int x1 = 20;
      const int y1 = 20;
      const int x2 = x1 + dx;
      const int y2 = y1 + dy;
      // Anywhere inside the end pixels is the same line: ends are floored,
      // not rounded (dx = dy = 0 puts both in one pixel).
      const PixelBounds b = forward.Line(x1 + 0.25, y1 + 0.75, x2 + 0.5, y2 + 0.01);
      backward.Line(x2 + 0.5, y2 + 0.01, x1 + 0.25, y1 + 0.75);
      const auto lit = forward.Lit();
      ExpectProperLine(lit, x1, y1, x2, y2);
      EXPECT_EQ(lit, backward.Lit()) << "the reverse line differs";
      EXPECT_EQ(b.left, std::min(x1, x2));
      EXPECT_EQ(b.right, std::max(x1, x2));
      EXPECT_EQ(b.top, std::min(y1, y2));
      EXPECT_EQ(b.bottom, std::max(y1, y2));
    }
  }
}

TEST(RasterLine, ClippingKeepsTheVisiblePixelsOfTheWholeLine) {
  // Lines crossing the window's edges in every direction.
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> coord(-60.0, 100.0);
  for (int n = 0; n < 400; ++n) {
    const double x1 = coord(gen), y1 = coord(gen), x2 = coord(gen), y2 = coord(gen);
    Canvas big(200, 200);
    Canvas small(37, 29);
    big.Line(x1 + kWindowAt, y1 + kWindowAt, x2 + kWindowAt, y2 + kWindowAt);
    const PixelBounds b = small.Line(x1, y1, x2, y2);
    const auto lit = small.Lit();
    ASSERT_EQ(lit, SeenThroughWindow(big, small)) << x1 << "," << y1 << " " << x2 << "," << y2;
    EXPECT_TRUE(Inside(b, lit));
    EXPECT_EQ(b.empty(), lit.empty());
    EXPECT_TRUE(small.PaddingIntact());
  }
}

TEST(RasterLine, FarEndsStillCrossTheBuffer) {
  // Ends far beyond any integer type, so far out that clipping them directly
  // rounds the line to a point (1e25 and up), or overflows (the largest
  // doubles).
  const double max = std::numeric_limits<double>::max();
  for (const double far : {1e5, 1e12, 1e25, 1e30, 3e38, 1e300, max}) {
    SCOPED_TRACE(far);
    Canvas row(50, 20);
    row.Line(-far, 7.5, far, 7.5);
    row.Line(far, 7.5, -far / 3, 7.5);  // not centred on the buffer
    EXPECT_EQ(row.Lit().size(), 50U);
    for (int x = 0; x < 50; ++x) EXPECT_TRUE(row.lit(x, 7));

    Canvas column(20, 50);
    column.Line(12.5, max, 12.5, -far);
    EXPECT_EQ(column.Lit().size(), 50U);
    for (int y = 0; y < 50; ++y) EXPECT_TRUE(column.lit(12, y));

    Canvas diagonal(30, 30);
    diagonal.Line(-far, -far, far, far);
    EXPECT_EQ(diagonal.Lit().size(), 30U);
    for (int i = 0; i < 30; ++i) EXPECT_TRUE(diagonal.lit(i, i));

    Canvas none(30, 30);
    EXPECT_TRUE(none.Line(-far, -far, far, -far / 2).empty());  // wholly above
    EXPECT_TRUE(none.Line(-far, 40, 40, -far).empty());         // passes the corner outside
    EXPECT_TRUE(none.Lit().empty());
  }

  // A slanted line between such ends is placed only as well as doubles allow,
  // but always inside the buffer; ends that are no numbers draw nothing.
  Canvas wild(30, 30);
  wild.Line(-3e38, -1e38, 3e38, 2e38);
  EXPECT_TRUE(wild.PaddingIntact());
  Canvas none(30, 30);
  const double inf = INFINITY;
  EXPECT_TRUE(none.Line(NAN, 1, 5, 5).empty());
  EXPECT_TRUE(none.Line(1, 1, inf, 5).empty());
  EXPECT_TRUE(none.Line(-inf, 1, 5, 5).empty());
  EXPECT_TRUE(none.Lit().empty());
}

TEST(RasterCircle, SymmetricRingAroundItsCentre) {
  for (int r = 0; r <= 40; ++r) {
    SCOPED_TRACE(r);
    Canvas c(101, 101);
    const PixelBounds b = DrawCircle(c.buffer(), 50.7, 50.2, r, kInk);
    const auto lit = c.Lit();
    ASSERT_FALSE(lit.empty());
    EXPECT_TRUE(Inside(b, lit));
    for (const auto& [x, y] : lit) {
      const int dx = x - 50;
      const int dy = y - 50;
      EXPECT_TRUE(lit.count({50 - dx, 50 + dy}));
      EXPECT_TRUE(lit.count({50 + dx, 50 - dy}));
      EXPECT_TRUE(lit.count({50 + dy, 50 + dx}));
      const double d = std::hypot(dx, dy);
      EXPECT_LT(std::abs(d - r), 1.0);
    }
    EXPECT_TRUE(lit.count({50 + r, 50}));
    EXPECT_TRUE(lit.count({50, 50 - r}));
    // Closed ring: each pixel has a lit neighbour on both sides (r >= 1).
    if (r >= 1) {
      for (const auto& [x, y] : lit) {
        int neighbours = 0;
        for (int ny = -1; ny <= 1; ++ny) {
          for (int nx = -1; nx <= 1; ++nx) neighbours += (nx || ny) && lit.count({x + nx, y + ny});
        }
        EXPECT_GE(neighbours, 2);
      }
    }
  }
  Canvas minus(40, 40);
  Canvas plus(40, 40);
  DrawCircle(minus.buffer(), 20, 20, -7.4, kInk);
  DrawCircle(plus.buffer(), 20, 20, 7.4, kInk);
  EXPECT_EQ(minus.Lit(), plus.Lit());
  // The radius is rounded to the nearest integer, halves away from zero.
  const auto ring = [](double r) {
    Canvas c(40, 40);
    DrawCircle(c.buffer(), 20, 20, r, kInk);
    return c.Lit();
  };
  EXPECT_EQ(ring(7.5), ring(8));
  EXPECT_EQ(ring(std::nextafter(7.5, 0.0)), ring(7));
  EXPECT_EQ(ring(0.49999999999999994), ring(0));
  EXPECT_EQ(ring(-2.5), ring(3));
}

TEST(RasterCircle, ClippedAndFarCircles) {
  Canvas big(200, 200);
  Canvas small(40, 30);
  DrawCircle(big.buffer(), kWindowAt + 5.5, kWindowAt + 33.0, 21.6, kInk);
  DrawCircle(small.buffer(), 5.5, 33.0, 21.6, kInk);
  EXPECT_FALSE(small.Lit().empty());
  EXPECT_EQ(small.Lit(), SeenThroughWindow(big, small));
  EXPECT_TRUE(small.PaddingIntact());

  Canvas none(40, 30);
  EXPECT_TRUE(DrawCircle(none.buffer(), 20, 15, 1e6, kInk).empty());  // around the canvas
  EXPECT_TRUE(DrawCircle(none.buffer(), 20, 15, 1e30, kInk).empty());
  EXPECT_TRUE(DrawCircle(none.buffer(), -1e30, 15, 3, kInk).empty());
  EXPECT_TRUE(DrawCircle(none.buffer(), 20, NAN, 3, kInk).empty());
  EXPECT_TRUE(DrawCircle(none.buffer(), 20, 15, INFINITY, kInk).empty());
  EXPECT_TRUE(none.Lit().empty());
  // A large circle whose outline crosses the canvas is drawn there.
  DrawCircle(none.buffer(), -5000, 15, 5020, kInk);
  EXPECT_FALSE(none.Lit().empty());
  EXPECT_TRUE(none.PaddingIntact());
}

TEST(Raster, DrawingAgainInBlackLeavesNothing) {
  // Lines and circles of every sort, overlapping and crossing the edges, are
  // erased exactly by drawing each again in black, last first.
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> coord(-30.0, 160.0);
  std::uniform_real_distribution<double> radius(0.0, 40.0);
  Canvas c(131, 97);
  struct Shape {
    bool circle;
    double a, b, c, d;
  };
  std::vector<Shape> shapes;
  for (int n = 0; n < 300; ++n) {
    const bool circle = n % 5 == 0;
    shapes.push_back(
        {circle, coord(gen), coord(gen), circle ? radius(gen) : coord(gen), coord(gen)});
  }
  for (const Shape& s : shapes) {
    s.circle ? DrawCircle(c.buffer(), s.a, s.b, s.c, kInk) : c.Line(s.a, s.b, s.c, s.d);
  }
  ASSERT_FALSE(c.Lit().empty());
  for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) {
    const Shape& s = *it;
    s.circle ? DrawCircle(c.buffer(), s.a, s.b, s.c, kBlack) : c.Line(s.c, s.d, s.a, s.b, kBlack);
  }
  EXPECT_TRUE(c.Lit().empty());
  EXPECT_TRUE(c.PaddingIntact());
}

TEST(Raster, EmptyBufferDrawsNothing) {
  EXPECT_TRUE(DrawLine(PixelBuffer{}, 0, 0, 10, 10, kInk).empty());
  EXPECT_TRUE(DrawCircle(PixelBuffer{}, 0, 0, 10, kInk).empty());
}

}  // namespace
}  // namespace kelvarin::raster
