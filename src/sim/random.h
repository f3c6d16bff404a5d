#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <random>

namespace kelvarin {

// The program's one source of random numbers: uniform in [0, 1), never 1.0,
// so a slot drawn as Int(r x 101) is always 0..100.
class Random {
 public:
  virtual ~Random() = default;
  virtual double Next() = 0;
  // Re-seeds from the time of day, in seconds since midnight.
  virtual void Reseed(double secondsSinceMidnight) = 0;
};

// The built-in generator: a 64-bit Mersenne Twister. Next() takes the top 53
// bits of one output as a multiple of 2^-53. A time of day t becomes the
// seed floor(t x 1,000,000), the microseconds since midnight, so two presses
// within one second give two different fleets.
class BuiltinRandom final : public Random {
 public:
  static constexpr std::uint64_t kDefaultSeed = 5489;

  explicit BuiltinRandom(std::uint64_t seed = kDefaultSeed) : engine_(seed) {}

  void Seed(std::uint64_t seed) { engine_.seed(seed); }
  double Next() override;
  void Reseed(double secondsSinceMidnight) override;

  static std::uint64_t SeedForTimeOfDay(double secondsSinceMidnight);
  // The number one output of the engine stands for.
  static double FromEngineOutput(std::uint64_t bits);

 private:
  std::mt19937_64 engine_;
};

// Thrown by ScriptedRandom when a draw finds its queue empty.
class RandomExhausted final : public std::exception {
 public:
  const char* what() const noexcept override { return "scripted random values exhausted"; }
};

// Hands out queued values in order; re-seeding changes nothing. A value is
// let go once drawn, so the queue holds only the values still waiting.
class ScriptedRandom final : public Random {
 public:
  ScriptedRandom() = default;
  ScriptedRandom(std::initializer_list<double> values) : values_(values) {}

  void Append(double value) { values_.push_back(value); }
  // Takes back the `count` values appended last (at most all that wait).
  void DropNewest(std::size_t count);
  double Next() override;
  void Reseed(double) override {}

  std::size_t Remaining() const { return values_.size(); }
  std::uint64_t Drawn() const { return drawn_; }

 private:
  std::deque<double> values_;
  std::uint64_t drawn_ = 0;
};

}  // namespace kelvarin
