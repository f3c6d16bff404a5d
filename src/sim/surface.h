#pragma once

#include <cstdint>

namespace kelvarin {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};

// The surface's logical size: the battle's world is 800 x 600 units, however
// many pixels show it.
inline constexpr int kLogicalWidth = 800;
inline constexpr int kLogicalHeight = 600;

// The drawing surface, in logical units: x 0..800 from the left inner edge,
// y 0..600 from the top inner edge, stretched over whatever pixel size the
// surface has. Points outside are legal; what falls outside is clipped.
// The simulation draws only through this interface.
class Surface {
 public:
  virtual ~Surface() = default;

  virtual void Line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  // A circle outline; the radius is in horizontal logical units.
  virtual void Circle(float x, float y, float radius, Rgb colour) = 0;
  // Fills the whole surface with the background, black.
  virtual void Cls() = 0;

  virtual float ScaleWidth() const { return kLogicalWidth; }
  virtual float ScaleHeight() const { return kLogicalHeight; }
};

// A surface that draws nothing: for benchmarks and allocation checks.
class NullSurface final : public Surface {
 public:
  void Line(float, float, float, float, Rgb) override {}
  void Circle(float, float, float, Rgb) override {}
  void Cls() override {}
};

}  // namespace kelvarin
