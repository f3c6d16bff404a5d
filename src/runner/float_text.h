#pragma once

#include <charconv>
#include <string>

namespace kelvarin {

// Appends `value` exactly as std::to_chars(first, last, value) writes it: the
// shortest digits that read back as the same float (the closest to the value
// when several are as short, ties to an even last digit), in fixed or
// scientific notation, whichever is shorter, fixed on a tie: `1e+05`, `0.001`,
// `123456.7`, `16777216`, `1.5e-07`, `-0`, `inf`, `-nan`.
void AppendShortest(std::string& out, float value);

// The same text, computed with integer arithmetic only: the route taken where
// the standard library has no floating-point std::to_chars. Built everywhere,
// so that it can be checked against the library.
void AppendShortestPortable(std::string& out, float value);

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
