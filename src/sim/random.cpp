#include "sim/random.h"

#include <algorithm>
#include <cmath>

namespace kelvarin {

double BuiltinRandom::Next() { return FromEngineOutput(engine_()); }

double BuiltinRandom::FromEngineOutput(std::uint64_t bits) {
  return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

std::uint64_t BuiltinRandom::SeedForTimeOfDay(double secondsSinceMidnight) {
  const double micros = std::floor(secondsSinceMidnight * 1e6);
  if (!(micros >= 0.0)) {
    return 0;
  }
  if (micros >= 0x1.0p64) {
    return UINT64_MAX;
  }
  return static_cast<std::uint64_t>(micros);
}

void BuiltinRandom::Reseed(double secondsSinceMidnight) {
  engine_.seed(SeedForTimeOfDay(secondsSinceMidnight));
}

double ScriptedRandom::Next() {
  if (values_.empty()) {
    throw RandomExhausted();
  }
  const double value = values_.front();
  values_.pop_front();
  ++drawn_;
  return value;
}

void ScriptedRandom::DropNewest(std::size_t count) {
  values_.resize(values_.size() - std::min(count, values_.size()));
}

}  // namespace kelvarin
