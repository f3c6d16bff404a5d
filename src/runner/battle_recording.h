#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvarin {

// `kelvarin --gif FILE [--seconds N] [--seed S] [--size WxH]`: a recording of
// the self-running battle, as the script
//   surface W H / seed S / tick 150 / gif FILE / tick 25N / gif stop
// would make it: N seconds of 25 frames, the first one drawn by the tick that
// first shows the first automatic battle.
struct BattleRecording {
  static constexpr int kDefaultSeconds = 20;
  static constexpr int kMaxSeconds = 600;
  static constexpr int kMinSide = 16;
  static constexpr int kMaxSide = 3840;

  std::string path;
  std::optional<int> seconds;
  std::optional<std::uint64_t> seed;
  std::optional<int> width;
  std::optional<int> height;
};

// Sets the option `name` (--seconds, --seed or --size) from `value`. False
// for another name, a value that is malformed or out of range, or an option
// given twice.
bool SetRecordingOption(BattleRecording& recording, std::string_view name, std::string_view value);

}  // namespace kelvarin
