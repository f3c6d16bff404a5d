#pragma once

#include <QImage>
#include <QRect>

#include "sim/surface.h"

namespace kelvarin {

// The drawing surface kept as an off-screen picture: an RGB32 image of the
// surface's inner pixel size, black at start. Logical x maps to pixels by
// x * width / 800 and y by y * height / 600, so the two scales differ when the
// image is not 4:3. Lines and circle outlines use a solid 1-pixel pen without
// antialiasing; everything is clipped to the image, however far outside the
// coordinates lie.
//
// The surface remembers the pixel rectangle touched since the last
// TakeDirty(), so a window only has to repaint that part.
class ImageSurface final : public Surface {
 public:
  ImageSurface(int width = 1, int height = 1);

  // Reallocates the picture at the new pixel size (at least 1 x 1), black.
  void Resize(int width, int height);

  const QImage& image() const { return image_; }
  int width() const { return image_.width(); }
  int height() const { return image_.height(); }

  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Cls() override;

  // The pixel rectangle drawn on since the last call (empty if none); resets.
  QRect TakeDirty();

  // Logical to pixel coordinates; the one place the mapping lives.
  double PixelX(double x) const { return x * image_.width() / 800.0; }
  double PixelY(double y) const { return y * image_.height() / 600.0; }

 private:
  void MarkDirty(double left, double top, double right, double bottom);

  QImage image_;
  QRect dirty_;
};

}  // namespace kelvarin
