#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runner/script_numbers.h"

namespace kelvarin::script {
namespace {

TEST(ScriptNumbers, IntegersTakeSignAndDigitsOnly) {
  EXPECT_EQ(ParseInteger("7")->InRange(0, 10), 7);
  EXPECT_EQ(ParseInteger("-1")->InRange(-5, 5), -1);
  EXPECT_EQ(ParseInteger("+3")->InRange(0, 5), 3);
  EXPECT_EQ(ParseInteger("007")->InRange(0, 10), 7);
  EXPECT_EQ(ParseInteger("-0")->InRange(0, 0), 0);
  for (const char* bad :
       {"", "+", "-", "1.0", "1e3", "0x10", " 1", "1 ", "--1", "+-1", "1a", "nan", "inf", "١"}) {
    EXPECT_FALSE(ParseInteger(bad)) << bad;
  }
}

TEST(ScriptNumbers, IntegerRangesAreExactEvenBeyond64Bits) {
  EXPECT_FALSE(ParseInteger("101")->InRange(0, 100));
  EXPECT_FALSE(ParseInteger("-1")->InRange(0, 100));
  EXPECT_FALSE(ParseInteger("99999999999999999999999")->InRange(0, 100));
  EXPECT_FALSE(ParseInteger("-99999999999999999999999")->InRange(0, 100));
  EXPECT_FALSE(ParseInteger("18446744073709551616")->AsUint64());
  EXPECT_EQ(ParseInteger("18446744073709551615")->AsUint64(), 18446744073709551615ULL);
  EXPECT_EQ(ParseInteger("-0")->AsUint64(), 0U);
  EXPECT_FALSE(ParseInteger("-1")->AsUint64());
  // 2^63 fits no int64: never in range rather than wrapping negative.
  EXPECT_FALSE(ParseInteger("9223372036854775808")->InRange(-1, 1));
}

TEST(ScriptNumbers, RealsAcceptDecimalForms) {
  EXPECT_EQ(ParseReal("400"), 400.0);
  EXPECT_EQ(ParseReal("-0.25"), -0.25);
  EXPECT_EQ(ParseReal(".5"), 0.5);
  EXPECT_EQ(ParseReal("5."), 5.0);
  EXPECT_EQ(ParseReal("+5"), 5.0);
  EXPECT_EQ(ParseReal("1e-8"), 1e-8);
  EXPECT_EQ(ParseReal("2.5E+3"), 2500.0);
  EXPECT_EQ(ParseReal("0.1"), 0.1);  // the nearest double, not a float
  const std::optional<double> minusZero = ParseReal("-0");
  ASSERT_TRUE(minusZero);
  EXPECT_TRUE(std::signbit(*minusZero));
}

TEST(ScriptNumbers, RealsRejectEverythingElse) {
  for (const char* bad :
       {"",     ".",     "+",     "-",    "+.",  "1e",    "1e+", "e5",   ".e5",
        "1..2", "1.2.3", "0x1p3", "0x10", "nan", "NaN",   "inf", "-inf", "infinity",
        "1,5",  "1 ",    " 1",    "1f",   "++1", "1e5.0", "1e 5"}) {
    EXPECT_FALSE(ParseReal(bad)) << bad;
  }
}

TEST(ScriptNumbers, RealsBeyondDoubleSaturate) {
  EXPECT_EQ(ParseReal("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseReal("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseReal("123456789e99999999999999999999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ParseReal("1e-999"), 0.0);
  EXPECT_EQ(ParseReal("0.000001e-400"), 0.0);
  EXPECT_TRUE(std::signbit(*ParseReal("-1e-999")));
  // A long mantissa with a tiny exponent is tiny, not huge.
  EXPECT_EQ(ParseReal("99999999999999999999e-400"), 0.0);
}

}  // namespace
}  // namespace kelvarin::script
