#include "shell/image_surface.h"

#include <algorithm>
#include <cstdint>

namespace kelvarin {
namespace {

std::uint32_t ToPixel(Rgb colour) { return qRgb(colour.r, colour.g, colour.b); }

}  // namespace

ImageSurface::ImageSurface(int width, int height) { Resize(width, height); }

ImageSurface::ImageSurface(LentTag, int width, int height) : owns_(false) { Resize(width, height); }

ImageSurface ImageSurface::Lent(int width, int height) { return {LentTag{}, width, height}; }

void ImageSurface::Resize(int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  pixels_ = {};
  // The old picture is freed before the new one is allocated.
  image_ = QImage();
  if (owns_) {
    image_ = QImage(width_, height_, QImage::Format_RGB32);
    image_.fill(Qt::black);
    pixels_ = {reinterpret_cast<std::uint32_t*>(image_.bits()), width_, height_,
               static_cast<int>(image_.bytesPerLine() / 4)};
  }
  dirty_.Reset(width_, height_);
  if (owns_) {
    dirty_.MarkAll();
  }
}

void ImageSurface::Lend(const raster::PixelBuffer& pixels) {
  owns_ = false;
  image_ = QImage();
  pixels_ = pixels;
  pixels_.width = std::min(pixels_.width, width_);
  pixels_.height = std::min(pixels_.height, height_);
}

void ImageSurface::Withdraw() { pixels_ = {}; }

void ImageSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  dirty_.Mark(
      raster::DrawLine(Pixels(), PixelX(x1), PixelY(y1), PixelX(x2), PixelY(y2), ToPixel(colour)));
}

// Round in pixels, its radius sized by the horizontal scale.
void ImageSurface::Circle(float x, float y, float radius, Rgb colour) {
  dirty_.Mark(raster::DrawCircle(Pixels(), PixelX(x), PixelY(y), PixelX(radius), ToPixel(colour)));
}

void ImageSurface::Cls() {
  const raster::PixelBuffer p = Pixels();
  if (p.bits == nullptr) {
    return;
  }
  const std::uint32_t black = ToPixel(kBlack);
  for (int y = 0; y < p.height; ++y) {
    std::fill_n(p.bits + static_cast<std::ptrdiff_t>(y) * p.stride, p.width, black);
  }
  dirty_.MarkAll();
}

QRect ImageSurface::TakeDirty() {
  const raster::PixelBounds b = dirty_.bounds();
  dirty_.Clear();
  if (b.empty()) {
    return {};
  }
  return {QPoint(b.left, b.top), QPoint(b.right, b.bottom)};
}

void ImageSurface::TakeDirtyRects(std::vector<raster::PixelRect>& out) { dirty_.TakeRects(out); }

raster::PixelBuffer ImageSurface::Pixels() {
  if (!image_.isNull()) {
    // Should a copy of the picture be alive, bits() first makes it a copy of
    // its own, so the copy keeps what it showed.
    pixels_.bits = reinterpret_cast<std::uint32_t*>(image_.bits());
  }
  return pixels_;
}

}  // namespace kelvarin
