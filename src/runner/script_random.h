#pragma once

#include <cstdint>

#include "sim/random.h"

namespace kelvarin {

// The one generator of a script run. It draws from the built-in generator
// until the script queues values, and from the queue only after that; it
// counts every draw either way. A draw from an empty queue throws
// RandomExhausted and is not counted.
class ScriptRandom final : public Random {
 public:
  double Next() override {
    const double value = scripted_ ? queue_.Next() : builtin_.Next();
    ++draws_;
    return value;
  }
  void Reseed(double secondsSinceMidnight) override {
    if (!scripted_) {
      builtin_.Reseed(secondsSinceMidnight);
    }
  }

  // Re-seeds the built-in generator; once values are queued, nothing changes.
  void Seed(std::uint64_t seed) {
    if (!scripted_) {
      builtin_.Seed(seed);
    }
  }
  // Switches to queued values for good (even when none is appended).
  void UseQueue() { scripted_ = true; }
  void Append(double value) { queue_.Append(value); }
  void DropNewest(std::size_t count) { queue_.DropNewest(count); }
  // Queued values not drawn yet.
  std::size_t Waiting() const { return queue_.Remaining(); }

  std::uint64_t draws() const { return draws_; }

 private:
  BuiltinRandom builtin_;
  ScriptedRandom queue_;
  bool scripted_ = false;
  std::uint64_t draws_ = 0;
};

}  // namespace kelvarin
