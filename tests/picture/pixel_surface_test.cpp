// The picture the battle draws on, in logical units, and the parts of it a
// window must repaint after drawing.
#include "picture/pixel_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace kelvarin {
namespace {

using raster::PixelRect;

constexpr Rgb kWhite{255, 255, 255};

std::uint32_t PixelAt(const PixelSurface& surface, int x, int y) {
  const raster::PixelBuffer p = surface.pixels();
  return p.bits[static_cast<std::ptrdiff_t>(y) * p.stride + x];
}

// The bounds of the pixels that are not black, and how many there are.
PixelRect LitBounds(const PixelSurface& surface, int* count = nullptr) {
  PixelRect bounds;
  int lit = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if ((PixelAt(surface, x, y) & 0xFFFFFF) != 0) {
        bounds = bounds.United({x, y, 1, 1});
        ++lit;
      }
    }
  }
  if (count != nullptr) *count = lit;
  return bounds;
}

bool Contains(const PixelRect& outer, const PixelRect& inner) {
  return inner.empty() || outer.United(inner) == outer;
}

TEST(PixelSurface, StartsBlackAndResizingClears) {
  PixelSurface surface(120, 80);
  const raster::PixelBuffer p = surface.pixels();
  EXPECT_EQ(std::tie(p.width, p.height, p.stride), std::tuple(120, 80, 120));
  EXPECT_EQ(PixelAt(surface, 119, 79), 0xFF000000U);  // opaque black
  EXPECT_TRUE(LitBounds(surface).empty());
  surface.Line(0, 0, 800, 600, kWhite);
  ASSERT_FALSE(LitBounds(surface).empty());
  EXPECT_EQ(PixelAt(surface, 0, 0), 0xFFFFFFFFU);
  surface.Resize(0, -5);  // never below one pixel
  EXPECT_EQ(std::pair(surface.width(), surface.height()), std::pair(1, 1));
  surface.Line(0, 0, 800, 600, kWhite);
  surface.Resize(64, 48);
  EXPECT_TRUE(LitBounds(surface).empty());
}

TEST(PixelSurface, MapsLogicalUnitsToPixels) {
  PixelSurface surface(160, 100);
  surface.Line(400, 300, 400, 300, kWhite);  // a point at the centre
  int lit = 0;
  EXPECT_EQ(LitBounds(surface, &lit), (PixelRect{80, 50, 1, 1}));
  EXPECT_EQ(lit, 1);

  // A circle is round in pixels, its radius in horizontal units: 100 units
  // across 160 pixels is 20 pixels. An outline, not a disc.
  surface.Cls();
  surface.Circle(400, 300, 100, kWhite);
  EXPECT_EQ(LitBounds(surface), (PixelRect{60, 30, 41, 41}));
  EXPECT_EQ(PixelAt(surface, 80, 50) & 0xFFFFFFU, 0U);
}

// Lent pixels are drawn into where they are, with their own stride, and
// nothing is drawn once they are withdrawn.
TEST(PixelSurface, DrawsIntoLentPixels) {
  std::vector<std::uint32_t> store(50 * 30, 0x12345678U);
  PixelSurface surface = PixelSurface::Lent(40, 30);
  EXPECT_EQ(surface.pixels().bits, nullptr);
  surface.Lend({store.data() + 5, 40, 30, 50});
  surface.Cls();
  surface.Line(0, 0, 0, 0, kWhite);
  EXPECT_EQ(store[5], 0xFFFFFFFFU);
  EXPECT_EQ(store[4], 0x12345678U);        // left of the picture
  EXPECT_EQ(store[45], 0x12345678U);       // right of it
  EXPECT_EQ(store[50 + 44], 0xFF000000U);  // its last column, cleared
  surface.Withdraw();
  surface.Line(400, 300, 400, 300, kWhite);
  EXPECT_EQ(store[15 * 50 + 5 + 20], 0xFF000000U);
  surface.Resize(20, 20);  // a new size for the next pixels lent
  EXPECT_EQ(surface.pixels().bits, nullptr);
}

TEST(DirtyRegion, NewClearedAndResizedPicturesAreWhollyDirty) {
  PixelSurface surface(100, 70);
  EXPECT_EQ(surface.TakeDirty(), (PixelRect{0, 0, 100, 70}));
  EXPECT_TRUE(surface.TakeDirty().empty());
  surface.Cls();
  EXPECT_EQ(surface.TakeDirty(), (PixelRect{0, 0, 100, 70}));
  surface.Resize(40, 33);
  EXPECT_EQ(surface.TakeDirty(), (PixelRect{0, 0, 40, 33}));
}

TEST(DirtyRegion, IsTheBoundsOfWhatWasLitAndNothingOffThePicture) {
  PixelSurface surface(800, 600);
  surface.TakeDirty();
  surface.Line(10, 10, 14, 12, kWhite);
  EXPECT_EQ(surface.TakeDirty(), (PixelRect{10, 10, 5, 3}));
  surface.Line(-50, -50, -10, -20, kWhite);  // wholly off the picture
  EXPECT_TRUE(surface.TakeDirty().empty());
}

TEST(DirtyRegion, CoversEverythingDrawnAndNothingOutside) {
  std::mt19937 gen(3);
  std::uniform_real_distribution<float> x(-100, 900);
  std::uniform_real_distribution<float> y(-100, 700);
  std::uniform_real_distribution<float> r(0, 60);
  PixelSurface surface(333, 257);
  for (int round = 0; round < 20; ++round) {
    surface.Cls();
    surface.TakeDirty();
    for (int n = 0; n < 15; ++n) {
      surface.Line(x(gen), y(gen), x(gen), y(gen), kWhite);
    }
    surface.Circle(x(gen), y(gen), r(gen), kWhite);
    const PixelRect rect = surface.TakeDirty();
    ASSERT_TRUE(Contains(rect, LitBounds(surface)));
    ASSERT_TRUE(Contains({0, 0, 333, 257}, rect));
  }
}

// The tiles as rectangles, against a plain set of the tiles each mark
// touches: on pictures wider than 64 tiles (runs across words), with ragged
// last tiles, marks reaching off the picture, and rounds that reuse the grid.
TEST(DirtyTiles, RectsAreTheMarkedTilesMergedAlongRowsInBandOrder) {
  std::mt19937 gen(11);
  for (const auto& [w, h, shift] : {std::tuple{3000, 130, 4}, std::tuple{333, 257, 5},
                                    std::tuple{130, 70, 0}, std::tuple{64 * 8, 40, 3}}) {
    raster::DirtyTiles tiles;
    tiles.Reset(w, h, shift);
    const int side = tiles.tileSide();
    std::uniform_int_distribution<int> x(-40, w + 40);
    std::uniform_int_distribution<int> y(-40, h + 40);
    std::uniform_int_distribution<int> reach(0, 3 * side + 70);
    std::vector<raster::PixelRect> rects;
    for (int round = 0; round < 30; ++round) {
      std::set<std::pair<int, int>> expected;  // (row, column) of each marked tile
      raster::PixelBounds box;
      const int marks = round % 7 == 0 ? 0 : round;
      for (int m = 0; m < marks; ++m) {
        const int left = x(gen);
        const int top = y(gen);
        const raster::PixelBounds b{left, top, left + reach(gen), top + reach(gen) / 4};
        tiles.Mark(b);
        const int l = std::max(b.left, 0), t = std::max(b.top, 0);
        const int r = std::min(b.right, w - 1), btm = std::min(b.bottom, h - 1);
        if (r < l || btm < t) continue;
        box = box.empty() ? raster::PixelBounds{l, t, r, btm}
                          : raster::PixelBounds{std::min(box.left, l), std::min(box.top, t),
                                                std::max(box.right, r), std::max(box.bottom, btm)};
        for (int row = t / side; row <= btm / side; ++row) {
          for (int col = l / side; col <= r / side; ++col) expected.insert({row, col});
        }
      }
      const raster::PixelBounds bounds = tiles.bounds();
      EXPECT_EQ(bounds.empty(), box.empty());
      if (!box.empty()) {
        EXPECT_EQ(std::tie(bounds.left, bounds.top, bounds.right, bounds.bottom),
                  std::tie(box.left, box.top, box.right, box.bottom));
      }
      tiles.TakeRects(rects);
      std::set<std::pair<int, int>> got;
      for (std::size_t i = 0; i < rects.size(); ++i) {
        const raster::PixelRect& r = rects[i];
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 && r.x + r.width <= w &&
                    r.y + r.height <= h);
        if (i > 0) {
          const raster::PixelRect& p = rects[i - 1];
          // Banded: sorted, one height a band, never overlapping or side by side.
          ASSERT_TRUE(p.y < r.y || (p.y == r.y && p.height == r.height && p.x + p.width < r.x));
          ASSERT_TRUE(p.y == r.y || p.y + p.height <= r.y);
        }
        for (int py = r.y; py < r.y + r.height; py += side) {
          for (int px = r.x; px < r.x + r.width; px += side) got.insert({py / side, px / side});
        }
      }
      ASSERT_EQ(got, expected) << w << "x" << h << " round " << round;
      EXPECT_TRUE(tiles.empty());
    }
  }
}

}  // namespace
}  // namespace kelvarin
