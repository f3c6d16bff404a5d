#include "runner/float_writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <utility>

namespace kelvarin {
namespace {

std::string Shortest(float value) {
  std::string text;
  AppendShortestPortable(text, value);
  return text;
}

TEST(FloatText, ShortestTextIsLaidOutAsToChars) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::pair<float, const char*> cases[] = {
      {0.0f, "0"},
      {-0.0f, "-0"},
      {1.0f, "1"},
      {-2.5f, "-2.5"},
      {100000.0f, "1e+05"},
      {10000.0f, "10000"},
      {123456.7f, "123456.7"},
      {1e-05f, "1e-05"},
      {0.0001f, "1e-04"},
      {0.001f, "0.001"},
      {0.00012f, "0.00012"},
      {1.5e-07f, "1.5e-07"},
      {1e+07f, "1e+07"},
      {12345678.0f, "12345678"},
      {16777216.0f, "16777216"},
      {123456792.0f, "123456792"},  // whole numbers in fixed notation are exact
      {2097152.25f, "2097152.2"},   // halfway: to the even digit
      {2097152.75f, "2097152.8"},
      {1.5e+09f, "1.5e+09"},
      {1e+20f, "1e+20"},
      {0.1f, "0.1"},
      {std::numeric_limits<float>::denorm_min(), "1e-45"},
      {FLT_MIN, "1.1754944e-38"},
      {FLT_MAX, "3.4028235e+38"},
      {inf, "inf"},
      {-inf, "-inf"},
      {nan, "nan"},
      {-nan, "-nan"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(Shortest(value), text);
  }
}

#if defined(__cpp_lib_to_chars)

// Floats whose portable text differs from std::to_chars's.
class ShortestMismatches {
 public:
  void Check(float value) {
    std::string text;
    AppendShortestPortable(text, value);
    char expected[32];
    const auto result = std::to_chars(expected, expected + sizeof expected, value);
    if (text != std::string_view(expected, result.ptr)) {
      if (++count_ <= 10) {
        ADD_FAILURE() << "bits 0x" << std::hex << std::bit_cast<std::uint32_t>(value) << ": "
                      << text << " instead of " << std::string_view(expected, result.ptr);
      }
    }
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

TEST(FloatText, ShortestMatchesToCharsOnEdgesAndRandomBitPatterns) {
  ShortestMismatches mismatches;
  const auto checkAround = [&](float value, int steps) {
    float below = value;
    float above = value;
    mismatches.Check(value);
    for (int i = 0; i < steps; ++i) {
      below = std::nextafter(below, -std::numeric_limits<float>::infinity());
      above = std::nextafter(above, std::numeric_limits<float>::infinity());
      mismatches.Check(below);
      mismatches.Check(above);
    }
  };
  checkAround(0.0f, 3);
  checkAround(std::bit_cast<float>(std::uint32_t{0x007fffff}), 3);  // the largest subnormal
  checkAround(FLT_MIN, 3);
  checkAround(FLT_MAX, 3);
  // Every power of two, where the gap below is half the gap above, and the
  // floats nearest every power of ten.
  for (int e = -149; e <= 127; ++e) {
    checkAround(std::ldexp(1.0f, e), 2);
  }
  for (int e = -45; e <= 38; ++e) {
    checkAround(static_cast<float>(std::pow(10.0, e)), 4);
  }
  // Whole numbers where fixed and scientific notation trade places, and a
  // few typical fractions.
  for (int i = 9000; i <= 1100000; i += 7) {
    mismatches.Check(static_cast<float>(i));
  }
  for (int i = 9999000; i <= 100001000; i += 397) {
    mismatches.Check(static_cast<float>(i));
  }
  for (const float value : {123456.7f, 1e-05f, 0.0001f, 1.5e-07f, 0.3f, 2.0f / 3.0f}) {
    checkAround(value, 2);
  }

  std::mt19937 random(20240611);
  for (int i = 0; i < 1000000; ++i) {
    mismatches.Check(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
  }
  EXPECT_EQ(mismatches.count(), 0);
}

#endif

}  // namespace
}  // namespace kelvarin
