#pragma once

#include <charconv>

namespace kelvarin {

// Reads a decimal number as std::from_chars(first, last, value,
// std::chars_format::general) does: the longest prefix that is an optional
// '-', digits with an optional point and fraction (at least one digit in all)
// and an optional exponent, rounded to the nearest double. The result is
// errc::result_out_of_range when that double is infinite, or is zero while a
// digit is not (then `value` is left alone: the caller decides), and
// errc::invalid_argument when no number starts at `first`.
std::from_chars_result ReadDecimal(const char* first, const char* last, double& value);

// The same through the C library's strtod, whatever the C locale in force:
// the route taken where the standard library has no floating-point
// std::from_chars. It reads no inf, nan or hexadecimal form. Built everywhere,
// so that it can be checked against the library.
std::from_chars_result ReadDecimalPortable(const char* first, const char* last, double& value);

}  // namespace kelvarin
