#include "picture/pixel_surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace kelvarin {

PixelSurface::PixelSurface(int width, int height) { Resize(width, height); }

PixelSurface::PixelSurface(LentTag, int width, int height) : owns_(false) { Resize(width, height); }

PixelSurface PixelSurface::Lent(int width, int height) { return {LentTag{}, width, height}; }

void PixelSurface::Resize(int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  pixels_ = {};
  // The old picture is freed before the new one is allocated.
  own_ = {};
  if (owns_) {
    own_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                ToPixel(kBlack));
    pixels_ = {own_.data(), width_, height_, width_};
  }
  dirty_.Reset(width_, height_);
  if (owns_) {
    dirty_.MarkAll();
  }
}

void PixelSurface::Lend(const raster::PixelBuffer& pixels) {
  owns_ = false;
  own_ = {};
  pixels_ = pixels;
  pixels_.width = std::min(pixels_.width, width_);
  pixels_.height = std::min(pixels_.height, height_);
}

void PixelSurface::Withdraw() {
  if (!owns_) {
    pixels_ = {};
  }
}

void PixelSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  dirty_.Mark(
      raster::DrawLine(pixels_, PixelX(x1), PixelY(y1), PixelX(x2), PixelY(y2), ToPixel(colour)));
}

// Round in pixels, its radius sized by the horizontal scale.
void PixelSurface::Circle(float x, float y, float radius, Rgb colour) {
  dirty_.Mark(raster::DrawCircle(pixels_, PixelX(x), PixelY(y), PixelX(radius), ToPixel(colour)));
}

void PixelSurface::Cls() {
  if (pixels_.bits == nullptr) {
    return;
  }
  const std::uint32_t black = ToPixel(kBlack);
  for (int y = 0; y < pixels_.height; ++y) {
    std::fill_n(pixels_.bits + static_cast<std::ptrdiff_t>(y) * pixels_.stride, pixels_.width,
                black);
  }
  dirty_.MarkAll();
}

raster::PixelRect PixelSurface::TakeDirty() {
  const raster::PixelRect drawn = raster::RectOf(dirty_.bounds());
  dirty_.Clear();
  return drawn;
}

void PixelSurface::TakeDirtyRects(std::vector<raster::PixelRect>& out) { dirty_.TakeRects(out); }

}  // namespace kelvarin
