#pragma once

#include <string>

#include "sim/surface.h"

namespace kelvarin {

// Appends a float in the shortest form that reads back as the same float
// (std::to_chars with no format; -0 gives "-0").
void AppendFloat(std::string& out, float value);

// Forwards every drawing call to another surface and, while tracing is on,
// appends one text line per call to a buffer:
//   line X1 Y1 X2 Y2 R G B
//   circle X Y RADIUS R G B
//   cls
class TracingSurface final : public Surface {
 public:
  TracingSurface(Surface& inner, std::string& buffer) : inner_(inner), buffer_(buffer) {}

  void SetTracing(bool on) { tracing_ = on; }

  void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void Circle(float x, float y, float radius, Rgb colour) override;
  void Cls() override;
  float ScaleWidth() const override { return inner_.ScaleWidth(); }
  float ScaleHeight() const override { return inner_.ScaleHeight(); }

 private:
  void AppendColour(Rgb colour);

  Surface& inner_;
  std::string& buffer_;
  bool tracing_ = false;
};

}  // namespace kelvarin
