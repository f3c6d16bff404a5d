#pragma once

#include <cstdint>
#include <vector>

#include "picture/raster.h"

namespace kelvarin::raster {

// What a picture needs repainted: the picture is cut into square tiles, and
// each drawing call marks the tiles its pixel bounds touch. The rectangles it
// hands out are the marked tiles merged along each row of tiles, and rows
// with the same runs as the row above merged into one band, clipped to the
// picture: never overlapping or side by side, sorted top to bottom and then
// left to right, all rectangles of a band of one height (the banded form a
// window system's region wants). It also keeps the exact bounding box of
// everything marked.
//
// Marking is a few instructions a call; only Reset allocates.
class DirtyTiles {
 public:
  // Tiles of 32 x 32 pixels: a battle at 3840 x 2160 asks for about a
  // hundred rectangles a tick covering a few per cent of the picture (see
  // docs/performance.md for the sizes measured).
  static constexpr int kDefaultTileShift = 5;

  // A picture of width x height pixels (each at least 1), cut into tiles of
  // 2^tileShift pixels a side (tileShift 0..12), nothing marked.
  void Reset(int width, int height, int tileShift = kDefaultTileShift);

  void Mark(const PixelBounds& drawn);
  void MarkAll();
  bool empty() const { return bounds_.empty(); }

  // The bounding box of everything marked since the last Take or Clear.
  const PixelBounds& bounds() const { return bounds_; }

  // Replaces `out` with the marked tiles as rectangles (see above) and clears.
  void TakeRects(std::vector<PixelRect>& out);
  void Clear();

  int tileSide() const { return 1 << shift_; }

 private:
  int width_ = 1;
  int height_ = 1;
  int shift_ = kDefaultTileShift;
  int columns_ = 1;
  int rows_ = 1;
  int words_ = 1;  // 64-bit words a row of tiles takes
  // One bit a tile (bit c % 64 of word c / 64 is column c), row by row.
  std::vector<std::uint64_t> marked_;
  PixelBounds bounds_;  // exact, in pixels
};

}  // namespace kelvarin::raster
