// The battle's trigonometry (sim/maths.h) in every build: the edges, a few
// results checked against MPFR beforehand (among them hardest-to-round ones,
// which take the precise path), and symmetries over the start of the tests'
// sample. trig_mpfr_test checks millions more in the release build.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

#include "sim/maths.h"
#include "trig_sample.h"

namespace kelvarin {
namespace {

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(Trig, Edges) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double subnormal = 0x1.8p-1070;
  for (const double zero : {0.0, -0.0}) {
    EXPECT_TRUE(SameBits(Sin(zero), zero));
    EXPECT_TRUE(SameBits(SinCos(zero).sin, zero));
    EXPECT_TRUE(SameBits(Atn(zero), zero));
    EXPECT_EQ(Cos(zero), 1.0);
  }
  EXPECT_EQ(Sin(-subnormal), -subnormal);
  EXPECT_EQ(Cos(subnormal), 1.0);
  EXPECT_EQ(Atn(subnormal), subnormal);
  for (const double x : {inf, -inf, nan}) {
    EXPECT_NE(Sin(x), Sin(x));
    EXPECT_NE(Cos(x), Cos(x));
    EXPECT_NE(SinCos(x).cos, SinCos(x).cos);
  }
  EXPECT_NE(Atn(nan), Atn(nan));
  EXPECT_EQ(Atn(inf), 0x1.921fb54442d18p+0);
  EXPECT_EQ(Atn(-inf), -0x1.921fb54442d18p+0);
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(Atn(-largest), -0x1.921fb54442d18p+0);
  EXPECT_GE(Cos(largest), -1.0);
  EXPECT_LE(Cos(largest), 1.0);
}

TEST(Trig, CorrectlyRoundedResults) {
  struct Case {
    char f;
    double x;
    double result;
  };
  const Case cases[] = {
      {'s', 0x1p+0, 0x1.aed548f090ceep-1},
      {'c', 0x1p+0, 0x1.14a280fb5068cp-1},
      {'a', 0x1p+0, 0x1.921fb54442d18p-1},
      {'s', 0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53},  // pi as a double
      {'c', 0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},  // pi/2
      {'s', 0x1.921fb4p+1, 0x1.4442d18469883p-23},         // float(pi) - ulp
      {'c', 0x1.921fb6p+0, -0x1.777a5cf72ceccp-25},        // float(pi/2)
      {'s', 0x1.921fb6p+2, 0x1.777a5cf72ceadp-23},         // float(2 pi)
      {'s', 0x1p+20, 0x1.526ccb2fc8656p-2},
      {'c', 0x1p+20, 0x1.e33ada92fe2aep-1},
      {'s', 1e22, -0x1.b453ab76bf397p-1},
      {'c', 1e22, 0x1.0be2cef01c8f4p-1},
      {'s', 0x1.fffffffffffffp+1023, 0x1.452fc98b34e97p-8},
      {'s', 0x1p-26, 0x1p-26},
      {'c', 0x1.8p-27, 0x1.fffffffffffffp-1},
      {'a', -0x1.8p-1, -0x1.4978fa3269ee1p-1},
      {'a', 0x1.fffffffffffffp+52, 0x1.921fb54442d18p+0},
      // Hardest to round: the precise path.
      {'s', 0x1.005023d32fee5p+1, 0x1.d109ad145c88fp-1},
      {'s', 0x1.06800e629d672p-23, 0x1.06800e629d667p-23},
      {'c', 0x1.0009effd4bedap-12, 0x1.fffffeffec1fcp-1},
      {'c', 0x1.0f876ccdf6cd6p-25, 0x1.ffffffffffffcp-1},
      {'a', 0x1.02c0e7bad8ce8p+44, 0x1.921fb54442c1bp+0},
      {'a', 0x1.02a3ad2ef6f3cp-24, 0x1.02a3ad2ef6f37p-24},
  };
  for (const Case& c : cases) {
    const double got = c.f == 's' ? Sin(c.x) : c.f == 'c' ? Cos(c.x) : Atn(c.x);
    EXPECT_TRUE(SameBits(got, c.result)) << c.f << std::hexfloat << " " << c.x << ": " << got;
  }
}

TEST(Trig, SymmetriesOverTheSample) {
  testing::TrigSample angles(testing::TrigFunction::kSinCos, 1);
  testing::TrigSample ratios(testing::TrigFunction::kAtn, 2);
  for (int n = 0; n < 20000; ++n) {
    const double x = angles.Next();
    const SineCosine both = SinCos(x);
    ASSERT_TRUE(SameBits(both.sin, Sin(x)) && SameBits(both.cos, Cos(x))) << std::hexfloat << x;
    ASSERT_TRUE(SameBits(Sin(-x), -both.sin) && SameBits(Cos(-x), both.cos)) << std::hexfloat << x;
    ASSERT_TRUE(both.sin >= -1 && both.sin <= 1 && both.cos >= -1 && both.cos <= 1)
        << std::hexfloat << x;
    const double y = ratios.Next();
    ASSERT_TRUE(SameBits(Atn(-y), -Atn(y))) << std::hexfloat << y;
  }
}

}  // namespace
}  // namespace kelvarin
