#include "runner/battle_recording.h"

#include <cstdint>
#include <optional>

#include "runner/script_numbers.h"

namespace kelvarin {
namespace {

std::optional<int> IntegerIn(std::string_view text, int lo, int hi) {
  const std::optional<script::Integer> value = script::ParseInteger(text);
  if (!value) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> inRange = value->InRange(lo, hi);
  if (!inRange) {
    return std::nullopt;
  }
  return static_cast<int>(*inRange);
}

}  // namespace

bool SetRecordingOption(BattleRecording& r, std::string_view name, std::string_view value) {
  using R = BattleRecording;
  if (name == "--seconds" && !r.seconds) {
    r.seconds = IntegerIn(value, 1, R::kMaxSeconds);
    return r.seconds.has_value();
  }
  if (name == "--seed" && !r.seed) {
    const std::optional<script::Integer> seed = script::ParseInteger(value);
    if (seed) {
      r.seed = seed->AsUint64();
    }
    return r.seed.has_value();
  }
  if (name == "--size" && !r.width) {
    const std::size_t x = value.find('x');
    if (x == std::string_view::npos) {
      return false;
    }
    const std::optional<int> width = IntegerIn(value.substr(0, x), R::kMinSide, R::kMaxSide);
    const std::optional<int> height = IntegerIn(value.substr(x + 1), R::kMinSide, R::kMaxSide);
    if (!width || !height) {
      return false;
    }
    r.width = width;
    r.height = height;
    return true;
  }
  return false;
}

}  // namespace kelvarin
