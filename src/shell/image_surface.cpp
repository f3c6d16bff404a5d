#include "shell/image_surface.h"

#include <algorithm>
#include <cstdint>

namespace kelvarin {
namespace {

std::uint32_t ToPixel(Rgb colour) { return qRgb(colour.r, colour.g, colour.b); }

}  // namespace

ImageSurface::ImageSurface(int width, int height) { Resize(width, height); }

void ImageSurface::Resize(int width, int height) {
  image_ = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image_.fill(Qt::black);
  width_ = image_.width();
  height_ = image_.height();
  stride_ = static_cast<int>(image_.bytesPerLine() / 4);
  MarkAllDirty();
}

void ImageSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  MarkDirty(
      raster::DrawLine(Pixels(), PixelX(x1), PixelY(y1), PixelX(x2), PixelY(y2), ToPixel(colour)));
}

// Round in pixels, its radius sized by the horizontal scale.
void ImageSurface::Circle(float x, float y, float radius, Rgb colour) {
  MarkDirty(raster::DrawCircle(Pixels(), PixelX(x), PixelY(y), PixelX(radius), ToPixel(colour)));
}

void ImageSurface::Cls() {
  image_.fill(Qt::black);
  MarkAllDirty();
}

QRect ImageSurface::TakeDirty() {
  if (dirtyRight_ < dirtyLeft_) {
    return {};
  }
  const QRect taken(QPoint(dirtyLeft_, dirtyTop_), QPoint(dirtyRight_, dirtyBottom_));
  ForgetDirty();
  return taken;
}

void ImageSurface::ForgetDirty() {
  dirtyRight_ = -1;
  dirtyLeft_ = 0;
}

raster::PixelBuffer ImageSurface::Pixels() {
  // Should a copy of the picture be alive, bits() first makes it a copy of its own.
  return {reinterpret_cast<std::uint32_t*>(image_.bits()), width_, height_, stride_};
}

void ImageSurface::MarkDirty(const raster::PixelBounds& drawn) {
  if (drawn.empty()) {
    return;
  }
  if (dirtyRight_ < dirtyLeft_) {
    dirtyLeft_ = drawn.left;
    dirtyTop_ = drawn.top;
    dirtyRight_ = drawn.right;
    dirtyBottom_ = drawn.bottom;
    return;
  }
  dirtyLeft_ = std::min(dirtyLeft_, drawn.left);
  dirtyTop_ = std::min(dirtyTop_, drawn.top);
  dirtyRight_ = std::max(dirtyRight_, drawn.right);
  dirtyBottom_ = std::max(dirtyBottom_, drawn.bottom);
}

void ImageSurface::MarkAllDirty() {
  dirtyLeft_ = 0;
  dirtyTop_ = 0;
  dirtyRight_ = width_ - 1;
  dirtyBottom_ = height_ - 1;
}

}  // namespace kelvarin
