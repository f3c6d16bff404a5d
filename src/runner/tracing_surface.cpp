#include "runner/tracing_surface.h"

#include "runner/float_writer.h"

namespace kelvarin {

void AppendFloat(std::string& out, float value) { AppendShortest(out, value); }

void TracingSurface::AppendColour(Rgb colour) {
  for (const int component : {colour.r, colour.g, colour.b}) {
    buffer_ += ' ';
    buffer_ += std::to_string(component);
  }
  buffer_ += '\n';
}

void TracingSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
  if (tracing_) {
    buffer_ += "line";
    for (const float v : {x1, y1, x2, y2}) {
      buffer_ += ' ';
      AppendFloat(buffer_, v);
    }
    AppendColour(colour);
  }
  inner_.Line(x1, y1, x2, y2, colour);
}

void TracingSurface::Circle(float x, float y, float radius, Rgb colour) {
  if (tracing_) {
    buffer_ += "circle";
    for (const float v : {x, y, radius}) {
      buffer_ += ' ';
      AppendFloat(buffer_, v);
    }
    AppendColour(colour);
  }
  inner_.Circle(x, y, radius, colour);
}

void TracingSurface::Cls() {
  if (tracing_) {
    buffer_ += "cls\n";
  }
  inner_.Cls();
}

}  // namespace kelvarin
