#pragma once

#include <vector>

#include "sim/surface.h"

namespace kelvarin::testing {

// A surface that remembers every call, in order.
class RecordingSurface final : public Surface {
 public:
  enum class Kind { Line, Circle, Cls };
  struct Call {
    Kind kind;
    float a = 0, b = 0, c = 0, d = 0;  // line: x1 y1 x2 y2; circle: x y radius
    Rgb colour;
  };

  void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
    calls.push_back({Kind::Line, x1, y1, x2, y2, colour});
  }
  void Circle(float x, float y, float radius, Rgb colour) override {
    calls.push_back({Kind::Circle, x, y, radius, 0, colour});
  }
  void Cls() override { calls.push_back({Kind::Cls, 0, 0, 0, 0, kBlack}); }

  std::vector<Call> calls;
};

}  // namespace kelvarin::testing
