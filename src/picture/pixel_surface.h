#pragma once

#include <cstdint>
#include <vector>

#include "picture/dirty_tiles.h"
#include "picture/raster.h"
#include "sim/surface.h"

namespace kelvarin {

// The drawing surface as a picture of 32-bit pixels (0xFFRRGGBB), black at
// start. Logical x maps to pixels by x * width / 800 and y by y * height / 600,
// so the two scales differ when the picture is not 4:3; a point falls in the
// pixel that contains it. Lines and circle outlines are drawn 1 pixel wide,
// without antialiasing, by the rasteriser in raster.h straight into the
// pixels, so drawing a thing again in black erases exactly what it lit;
// everything is clipped to the picture, however far outside the coordinates
// lie.
//
// The pixels are either the surface's own (rows of width() pixels one after
// the other, for scripts, pictures written to files and anything else that
// wants a picture of its own) or lent to it: a window keeps the picture in
// memory the window system shows and lends it for the drawing of a tick
// (Lend), taking it back afterwards (Withdraw). Without pixels the surface
// keeps its size and draws nothing.
//
// Every drawing call marks the pixels it wrote, so a window repaints only
// what changed: TakeDirtyRects gives them as a few small rectangles (tiles
// merged along their rows), TakeDirty as one bounding rectangle.
class PixelSurface final : public Surface {
 public:
  // A picture of its own, at least 1 x 1.
  PixelSurface(int width = 1, int height = 1);

  // A surface of the given size whose pixels will be lent to it.
  static PixelSurface Lent(int width, int height);

  // A new picture of its own at the new size (at least 1 x 1), black; the old
  // one is freed first. A surface with lent pixels gives them up and takes
  // the new size for the next pixels lent to it.
  void Resize(int width, int height);

  // Draws from now on into `pixels`, which must be width() x height() and
  // outlive the lending; their content is left as it is. Drops the surface's
  // own picture, if any.
  void Lend(const raster::PixelBuffer& pixels);
  // Forgets the lent pixels; drawing does nothing until the next Lend.
  void Withdraw();

  // The pixels drawn into: the surface's own picture, or the lent pixels
  // while they are lent (null bits when there are none).
  raster::PixelBuffer pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  // Fills the pixels black (if there are any) and marks them all.
  void Cls() override;

  // The pixel rectangle drawn on since the last Take (empty if none); resets.
  raster::PixelRect TakeDirty();
  // What was drawn on since the last Take, as rectangles of whole tiles
  // (see DirtyTiles), into `out`; resets. Allocates only while `out` grows.
  void TakeDirtyRects(std::vector<raster::PixelRect>& out);

  // Logical to pixel coordinates; the one place the mapping lives.
  double PixelX(double x) const { return x * width_ / kLogicalWidth; }
  double PixelY(double y) const { return y * height_ / kLogicalHeight; }

  // A colour as a pixel of the picture.
  static constexpr std::uint32_t ToPixel(Rgb colour) {
    return 0xFF000000U | static_cast<std::uint32_t>(colour.r) << 16 |
           static_cast<std::uint32_t>(colour.g) << 8 | colour.b;
  }

 private:
  struct LentTag {};
  PixelSurface(LentTag, int width, int height);

  std::vector<std::uint32_t> own_;
  raster::PixelBuffer pixels_;
  int width_ = 1;
  int height_ = 1;
  bool owns_ = true;  // whether Resize gives it a picture of its own
  raster::DirtyTiles dirty_;
};

}  // namespace kelvarin
