#include "runner/float_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

namespace kelvarin {

std::from_chars_result ReadDecimalPortable(const char* first, const char* last, double& value) {
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) {
    ++p;
  }

  // The significant digits, as a whole number, and the power of ten that
  // scales them.
  std::string digits;
  std::int64_t scale = 0;
  std::size_t mantissaDigits = 0;
  for (; p != last && isDigit(*p); ++p) {
    digits += *p;
    ++mantissaDigits;
  }
  if (p != last && *p == '.' && (mantissaDigits > 0 || (p + 1 != last && isDigit(p[1])))) {
    for (++p; p != last && isDigit(*p); ++p) {
      digits += *p;
      ++mantissaDigits;
      --scale;
    }
  }
  if (mantissaDigits == 0) {
    return {first, std::errc::invalid_argument};
  }
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* e = p + 1;
    const bool expNegative = e != last && *e == '-';
    if (e != last && (*e == '+' || *e == '-')) {
      ++e;
    }
    if (e != last && isDigit(*e)) {
      // Saturates far beyond any exponent that could matter.
      std::int64_t exponent = 0;
      for (; e != last && isDigit(*e); ++e) {
        if (exponent < 1000000000000) {
          exponent = exponent * 10 + (*e - '0');
        }
      }
      scale += expNegative ? -exponent : exponent;
      p = e;
    }
  }

  const std::size_t firstSignificant = digits.find_first_not_of('0');
  if (firstSignificant == std::string::npos) {
    value = negative ? -0.0 : 0.0;
    return {p, std::errc{}};
  }
  digits.erase(0, firstSignificant);
  const std::size_t lastSignificant = digits.find_last_not_of('0');
  scale += static_cast<std::int64_t>(digits.size() - 1 - lastSignificant);
  digits.erase(lastSignificant + 1);

  // The number lies in [10^(order-1), 10^order). Beyond 10^309 it is too
  // large for a double; below 10^-324 (under half the least subnormal) it
  // rounds to zero.
  const std::int64_t order = scale + static_cast<std::int64_t>(digits.size());
  if (order > 310 || order < -324) {
    return {p, std::errc::result_out_of_range};
  }
  // Digits and an exponent only, no point: strtod reads that the same in
  // every locale.
  digits += 'e';
  digits += std::to_string(scale);
  const int savedErrno = errno;
  const double read = std::strtod(digits.c_str(), nullptr);
  errno = savedErrno;
  if (std::isinf(read) || read == 0.0) {
    return {p, std::errc::result_out_of_range};
  }
  value = negative ? -read : read;
  return {p, std::errc{}};
}

std::from_chars_result ReadDecimal(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars)
  return std::from_chars(first, last, value, std::chars_format::general);
#else
  return ReadDecimalPortable(first, last, value);
#endif
}

}  // namespace kelvarin
