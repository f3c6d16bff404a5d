#pragma once

#include <cstdint>

// What sim/maths.h's trigonometry shares between its fast path (trig.cpp)
// and its precise path (trig_precise.cpp): the constants (trig_tables.cpp,
// checked against MPFR by the tests) and the bits of a double.
namespace kelvarin::trig_detail {

// std::bit_cast, which the web build's standard library lacks.
inline std::uint64_t BitsOf(double x) { return __builtin_bit_cast(std::uint64_t, x); }
inline double FromBits(std::uint64_t b) { return __builtin_bit_cast(double, b); }

// pi/2 in three parts: two of 25 bits, whose products with an integer below
// 2^28 are exact, and the rest rounded to a double. Their sum is pi/2 within
// 2^-109.
inline constexpr double kHalfPiPart[3] = {0x1.921fb5p+0, 0x1.110b46p-26, 0x1.1a62633145c07p-54};
// pi/2 as a double and the double nearest what is left.
inline constexpr double kHalfPiHi = 0x1.921fb54442d18p+0;
inline constexpr double kHalfPiLo = 0x1.1a62633145c07p-54;
// 512/pi rounded: steps of pi/512 in an angle.
inline constexpr double kStepsPerRadian = 0x1.45f306dc9c883p+7;

extern const double kSinTable[257][4];
extern const double kAtanTable[129][2];
extern const std::uint32_t kTwoOverPi[56];
extern const std::uint32_t kHalfPi[20];

}  // namespace kelvarin::trig_detail
