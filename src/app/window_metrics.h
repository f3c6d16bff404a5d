#pragma once

#include <algorithm>
#include <cmath>

namespace kelvarin {

// Window sizes are reasoned about in twips, 1/1440 inch: 15 twips per pixel
// at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

inline constexpr int kInitialClientWidth = 713;    // 10695 twips
inline constexpr int kInitialClientHeight = 597;   // 8955 twips
inline constexpr int kSurfaceLeft = 8;             // 120 twips
inline constexpr int kSurfaceTop = 8;              // 120 twips
inline constexpr int kInitialSurfaceWidth = 553;   // 8295 twips
inline constexpr int kInitialSurfaceHeight = 441;  // 6615 twips
inline constexpr int kSurfaceBorder = 2;           // sunken border, each side

inline constexpr int kMinOuterTwips = 2000;
inline constexpr int kSurfaceWidthInsetTwips = 350;
inline constexpr int kSurfaceHeightInsetTwips = 650;

// Twips to whole pixels, to the nearest pixel (halves away from zero).
inline int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}
inline constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// The smallest outer window side: 2000 twips, 133 pixels.
inline int MinOuterPixels() { return TwipsToPixels(kMinOuterTwips); }

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(PixelSize, PixelSize) = default;
};

// An outer window size grown to at least the smallest side in each direction.
inline PixelSize SnapOuterSize(PixelSize outer) {
  const int min = MinOuterPixels();
  return {std::max(outer.width, min), std::max(outer.height, min)};
}

// The surface's size, border included, for an outer window size: 350 twips
// narrower and 650 twips lower than the window.
inline PixelSize SurfaceSizeForOuter(PixelSize outer) {
  return {std::max(0, TwipsToPixels(PixelsToTwips(outer.width) - kSurfaceWidthInsetTwips)),
          std::max(0, TwipsToPixels(PixelsToTwips(outer.height) - kSurfaceHeightInsetTwips))};
}

// The drawable inside of a surface of the given size: the border taken off
// each side, never below one pixel.
inline PixelSize InnerSizeForSurface(PixelSize surface) {
  return {std::max(1, surface.width - 2 * kSurfaceBorder),
          std::max(1, surface.height - 2 * kSurfaceBorder)};
}

}  // namespace kelvarin
