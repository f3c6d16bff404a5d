#include "runner/float_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kelvarin {
namespace {

#if defined(__cpp_lib_to_chars)

// The exact decimal value of a finite double, as digits with a point.
std::string ExactFixed(double value) {
  std::string text(1500, '\0');
  const auto result =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 1075);
  text.resize(static_cast<std::size_t>(result.ptr - text.data()));
  return text;
}

// The sum of two exact decimals of the same form.
std::string Add(std::string x, std::string y) {
  const std::size_t width = std::max(x.size(), y.size());
  x.insert(0, width - x.size(), '0');
  y.insert(0, width - y.size(), '0');
  std::string sum(width + 1, '0');
  int carry = 0;
  for (std::size_t i = width; i-- > 0;) {
    if (x[i] == '.') {
      sum[i + 1] = '.';
      continue;
    }
    const int digit = (x[i] - '0') + (y[i] - '0') + carry;
    sum[i + 1] = static_cast<char>('0' + digit % 10);
    carry = digit / 10;
  }
  sum[0] = static_cast<char>('0' + carry);
  return sum;
}

// The decimal exactly halfway between two positive doubles, trailing zeros
// removed.
std::string Halfway(double a, double b) {
  std::string sum = Add(ExactFixed(a), ExactFixed(b));
  int remainder = 0;
  for (char& c : sum) {
    if (c != '.') {
      const int digit = remainder * 10 + (c - '0');
      c = static_cast<char>('0' + digit / 2);
      remainder = digit % 2;
    }
  }
  sum.erase(sum.find_last_not_of('0') + 1);
  return sum;
}

TEST(FloatText, ReadDecimalMatchesFromChars) {
  // Around zero, the least subnormal, the largest double and beyond, and
  // prefixes that stop early.
  std::vector<std::string> tokens;
  std::istringstream listed(
      "0 0. .0 00000.0000e-5 0e999999999 0e-999999999 1e400 1e-400 1e309 1e308 1e-324 "
      "1e-323 2e-324 3e-324 5e-324 2.4703282292062327e-324 2.4703282292062328e-324 "
      "1.7976931348623157e308 1.7976931348623158e308 1.7976931348623159e308 "
      "179769313486231580793728e284 0.000001e-318 123456789e99999999999999999999 "
      "1e-99999999999999999999 1e 1e+ 1e-x 5.e3 .5E-3 -1.5 - . -. e5 1.2.3 0x10 "
      "000000000000000000000000000000000000000000001 1000000000000000000000000000000e-30");
  for (std::string token; listed >> token;) {
    tokens.push_back(token);
  }
  // Halfway between neighbouring doubles (ties go to the even one), just above
  // it, and cut short to 17 to 20 digits: random ones, those between the least
  // subnormals, those below the largest double, and the point above it that
  // reads as infinite.
  tokens.push_back(Add(ExactFixed(DBL_MAX), ExactFixed(std::ldexp(1.0, 970))));
  std::mt19937_64 random(7);
  const double huge = std::numeric_limits<double>::infinity();
  for (int i = 0; i < 600; ++i) {
    double a = std::bit_cast<double>(random() >> 1);
    if (i < 10) {
      a = std::bit_cast<double>(std::bit_cast<std::uint64_t>(DBL_MAX) - 1 - i);
    } else if (i < 20) {
      a = std::bit_cast<double>(static_cast<std::uint64_t>(i - 10));
    } else if (std::isnan(a) || std::isinf(a) || a == DBL_MAX) {
      continue;
    }
    const std::string half = Halfway(a, std::nextafter(a, huge));
    tokens.push_back(half);
    tokens.push_back(half + "1");
    const std::size_t first = half.find_first_not_of("0.");
    for (const std::size_t keep : {17, 18, 19, 20}) {
      tokens.push_back(half.substr(0, std::min(half.size(), first + keep + 1)));
    }
  }
  // Shortest forms of doubles and floats, and random digit strings with
  // exponents around both ends of the double's range.
  for (int i = 0; i < 50000; ++i) {
    const double d = std::bit_cast<double>(random() >> 1);
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random() >> 33));
    char text[64];
    if (std::isfinite(d)) {
      tokens.emplace_back(text, std::to_chars(text, text + sizeof text, d).ptr);
    }
    if (std::isfinite(f)) {
      tokens.emplace_back(text, std::to_chars(text, text + sizeof text, f).ptr);
    }
  }
  const auto digits = [&](std::string& token, int count) {
    for (int k = 0; k < count; ++k) {
      token += static_cast<char>('0' + random() % 10);
    }
  };
  for (int i = 0; i < 200000; ++i) {
    std::string token;
    if (random() % 4 == 0) {
      token.append(random() % 5, '0');
    }
    digits(token, static_cast<int>(random() % 12));
    if (random() % 2 != 0) {
      token += '.';
      digits(token, static_cast<int>(random() % (random() % 8 == 0 ? 40 : 12)));
    }
    if (token.find_first_of("0123456789") == std::string::npos) {
      token += '7';
    }
    if (random() % 4 != 0) {
      token += random() % 2 != 0 ? 'e' : 'E';
      const int ends[] = {-330, -310, 300, 0};
      const int end = ends[random() % 4];
      const int exponent =
          end == 0 ? static_cast<int>(random() % 700) - 350 : end + static_cast<int>(random() % 25);
      token += exponent < 0 ? "-" : (random() % 2 != 0 ? "+" : "");
      token += std::to_string(std::abs(exponent));
    }
    tokens.push_back(std::move(token));
  }

  int mismatches = 0;
  for (const std::string& token : tokens) {
    const char* first = token.data();
    const char* last = first + token.size();
    double expected = -1.0;
    double value = -1.0;
    const auto want = std::from_chars(first, last, expected, std::chars_format::general);
    const auto got = ReadDecimalPortable(first, last, value);
    const bool same = want.ptr == got.ptr && want.ec == got.ec &&
                      (want.ec != std::errc() || std::bit_cast<std::uint64_t>(value) ==
                                                     std::bit_cast<std::uint64_t>(expected));
    if (!same && ++mismatches <= 10) {
      ADD_FAILURE() << token << ": read " << got.ptr - first << " characters as " << value << " ("
                    << static_cast<int>(got.ec) << ") instead of " << want.ptr - first << " as "
                    << expected << " (" << static_cast<int>(want.ec) << ")";
    }
  }
  EXPECT_EQ(mismatches, 0);
}

#endif

}  // namespace
}  // namespace kelvarin
