#pragma once

#include <cstdint>
#include <vector>

#include "shell/raster.h"

namespace kelvarin::raster {

// A rectangle of pixels: left, top, width and height.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// What a picture needs repainted: the picture is cut into square tiles, and
// each drawing call marks the tiles its pixel bounds touch. The rectangles it
// hands out are the marked tiles merged along each row of tiles, clipped to
// the picture, with no two overlapping or side by side, sorted top to bottom
// and then left to right (the order a window system's region wants). It also
// keeps the exact bounding box of everything marked.
//
// Marking is a few instructions a call; only Reset allocates.
class DirtyTiles {
 public:
  static constexpr int kDefaultTileSide = 32;

  // A picture of width x height pixels (each at least 1), nothing marked.
  void Reset(int width, int height, int tileSide = kDefaultTileSide);

  void Mark(const PixelBounds& drawn);
  void MarkAll();
  bool empty() const { return bounds_.empty(); }

  // The bounding box of everything marked since the last Take or Clear.
  const PixelBounds& bounds() const { return bounds_; }

  // Replaces `out` with the marked tiles as rectangles (see above) and clears.
  void TakeRects(std::vector<PixelRect>& out);
  void Clear();

  int tileSide() const { return side_; }

 private:
  int width_ = 1;
  int height_ = 1;
  int side_ = kDefaultTileSide;
  int columns_ = 1;
  int rows_ = 1;
  std::vector<std::uint8_t> marked_;  // rows_ x columns_, row by row
  PixelBounds bounds_;                // exact, in pixels
};

}  // namespace kelvarin::raster
