#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

#include "shell/raster.h"
#include "sim/surface.h"

namespace kelvarin {

// The drawing surface kept as an off-screen picture: an RGB32 image of the
// surface's inner pixel size, black at start. Logical x maps to pixels by
// x * width / 800 and y by y * height / 600, so the two scales differ when the
// image is not 4:3; a point falls in the pixel that contains it. Lines and
// circle outlines are drawn 1 pixel wide, without antialiasing, by the
// rasteriser in raster.h straight into the picture's pixels, so drawing a
// thing again in black erases exactly what it lit; everything is clipped to
// the image, however far outside the coordinates lie.
//
// The surface remembers the pixel rectangle drawn on since it was last asked,
// so a window only has to repaint that part.
class ImageSurface final : public Surface {
 public:
  ImageSurface(int width = 1, int height = 1);

  // Reallocates the picture at the new pixel size (at least 1 x 1), black.
  void Resize(int width, int height);

  const QImage& image() const { return image_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Cls() override;

  // The pixel rectangle drawn on since the last call (empty if none); resets.
  QRect TakeDirty();

  // Logical to pixel coordinates; the one place the mapping lives.
  double PixelX(double x) const { return x * width_ / 800.0; }
  double PixelY(double y) const { return y * height_ / 600.0; }

 private:
  raster::PixelBuffer Pixels();
  void MarkDirty(const raster::PixelBounds& drawn);
  void MarkAllDirty();
  void ForgetDirty();

  QImage image_;
  // The picture's size and row length in pixels, kept at hand: a drawing
  // call is a few dozen nanoseconds, and asking the image costs calls.
  int width_ = 1;
  int height_ = 1;
  int stride_ = 1;
  // What was drawn since the last TakeDirty(), inclusive; empty while
  // dirtyRight_ < dirtyLeft_.
  int dirtyLeft_ = 0;
  int dirtyTop_ = 0;
  int dirtyRight_ = -1;
  int dirtyBottom_ = -1;
};

}  // namespace kelvarin
