#pragma once

#include <cstdint>

namespace kelvarin::raster {

// A 32-bit pixel buffer: `stride` is the distance between the starts of two
// rows, counted in pixels (not bytes). Nothing is owned.
struct PixelBuffer {
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// Inclusive pixel bounds of what a drawing call wrote (for a circle, its
// square clipped to the buffer); empty when nothing was drawn.
struct PixelBounds {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;

  bool empty() const { return right < left || bottom < top; }
};

// A rectangle of pixels: left, top, width and height.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  // The part of this rectangle inside `other`; empty (all zero) when none.
  PixelRect Intersected(const PixelRect& other) const;
  // The smallest rectangle holding both; an empty one adds nothing.
  PixelRect United(const PixelRect& other) const;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels of inclusive bounds as a rectangle (empty bounds give an empty one).
PixelRect RectOf(const PixelBounds& bounds);

// Liang-Barsky clipping of a segment against [xmin, xmax] x [ymin, ymax]. An
// end point inside the box is left exactly as it was. False when nothing of
// the segment is inside. The coordinates and their differences must be
// finite; a clipped end is placed to about 2^-52 of the largest of them.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin,
                 double xmax, double ymax);

// A 1-pixel line between the pixels that contain (x1, y1) and (x2, y2)
// (pixel (i, j) covers [i, i + 1) x [j, j + 1)). Both end pixels are drawn;
// every pixel in between is the one nearest the ideal line between the end
// pixels, stepping one pixel at a time along the longer axis. The result does
// not depend on the order of the end points, nor on how much of the line lies
// outside the buffer: the visible part is found before stepping, so a line
// from -1e9 to 1e9 costs only the pixels it lights. Coordinates that are not
// finite draw nothing; any finite ones work. An end more than 2^30 pixels
// beyond the buffer is first brought nearer by halving the line, keeping its
// direction and its place as finely as the ends' doubles hold them; then the
// line is cut 2^24 pixels beyond the buffer. Either way it costs no more than
// the pixels it lights (and at most a few thousand halvings) and never writes
// outside the buffer.
PixelBounds DrawLine(const PixelBuffer& buffer, double x1, double y1, double x2, double y2,
                     std::uint32_t colour);

// A circle outline by the midpoint method, centred on the pixel containing
// (cx, cy), with the radius rounded to whole pixels (halves away from zero;
// the sign is ignored). It is symmetric about its centre pixel in both axes
// and both diagonals. A radius of 0 lights the centre pixel alone. Circles
// wholly outside the buffer, or around it with the outline outside, cost
// nothing; radii above 2^24 pixels draw nothing.
PixelBounds DrawCircle(const PixelBuffer& buffer, double cx, double cy, double radius,
                       std::uint32_t colour);

}  // namespace kelvarin::raster
