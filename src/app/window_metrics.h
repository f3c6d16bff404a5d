#pragma once

#include <algorithm>
#include <cmath>

#include "sim/surface.h"

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

// The same metrics on a screen of `dpi` dots per inch, in its device pixels,
// for a window system that hands out device pixels (Windows' per-monitor
// awareness): a twip is dpi / 1440 pixels there, and a length given above in
// pixels at 96 dpi is scaled by dpi / 96. At 96 dpi each gives what its
// namesake above gives.
inline constexpr int kStandardDpi = 96;

// Twips to whole device pixels at `dpi`, to the nearest (halves away from zero).
inline int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

// A length in pixels at 96 dpi as device pixels at `dpi`, to the nearest.
inline int ScaleToDpi(int pixels, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / kStandardDpi));
}

inline int MinOuterPixels(int dpi) { return TwipsToPixels(kMinOuterTwips, dpi); }

inline PixelSize SnapOuterSize(PixelSize outer, int dpi) {
  const int min = MinOuterPixels(dpi);
  return {std::max(outer.width, min), std::max(outer.height, min)};
}

// The surface's size, border included, for an outer window size in device
// pixels at `dpi`: 350 twips narrower and 650 twips lower than the window.
inline PixelSize SurfaceSizeForOuter(PixelSize outer, int dpi) {
  const auto side = [dpi](int pixels, int insetTwips) {
    const double twips = static_cast<double>(pixels) * 1440.0 / dpi - insetTwips;
    return std::max(0, static_cast<int>(std::lround(twips * dpi / 1440.0)));
  };
  return {side(outer.width, kSurfaceWidthInsetTwips), side(outer.height, kSurfaceHeightInsetTwips)};
}

// The sunken border's width at `dpi`: 2 pixels at 96 dpi, at least 1.
inline int SurfaceBorder(int dpi) { return std::max(1, ScaleToDpi(kSurfaceBorder, dpi)); }

inline PixelSize InnerSizeForSurface(PixelSize surface, int dpi) {
  const int border = SurfaceBorder(dpi);
  return {std::max(1, surface.width - 2 * border), std::max(1, surface.height - 2 * border)};
}

// A point on the surface in logical units.
struct LogicalPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(LogicalPoint, LogicalPoint) = default;
};

// A position inside the surface's drawable area of width x height (pixels,
// or a page's CSS pixels, which need not be whole), from its top-left
// corner, as logical coordinates (0..800 x 0..600, clamped to the edges: a
// press on the border counts at the nearest edge).
inline LogicalPoint LogicalFromInner(double x, double y, double width, double height) {
  const double w = std::max(1.0, width);
  const double h = std::max(1.0, height);
  constexpr double kWidth = kLogicalWidth;
  constexpr double kHeight = kLogicalHeight;
  return {std::clamp(x * kWidth / w, 0.0, kWidth), std::clamp(y * kHeight / h, 0.0, kHeight)};
}
inline LogicalPoint LogicalFromInner(double x, double y, PixelSize inner) {
  return LogicalFromInner(x, y, inner.width, inner.height);
}

}  // namespace kelvarin
