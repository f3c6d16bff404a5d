#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvarin::script {

// An integer as written in a script: an optional sign and decimal digits. The
// magnitude saturates; `overflow` says it did, so any range check fails.
struct Integer {
  bool negative = false;
  bool overflow = false;
  std::uint64_t magnitude = 0;

  // The value when it lies in lo..hi.
  std::optional<std::int64_t> InRange(std::int64_t lo, std::int64_t hi) const;
  // The value when it fits an unsigned 64-bit integer (-0 is 0).
  std::optional<std::uint64_t> AsUint64() const;
};

// Parses an integer: `7`, `-1`, `+3`, `007`; no point, no exponent, nothing
// else around it. Empty when the token is not an integer.
std::optional<Integer> ParseInteger(std::string_view token);

// Parses a real: an optional sign, digits with an optional point and fraction
// (at least one digit in all), and an optional exponent (`e` or `E`, optional
// sign, digits). No hexadecimal, nan or inf. The result is the nearest double;
// a value too large for a double reads as an infinity of its sign (so every
// range check fails) and one too small as a zero of its sign. Empty when the
// token is not a real.
std::optional<double> ParseReal(std::string_view token);

}  // namespace kelvarin::script
