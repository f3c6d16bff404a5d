#include "runner/script_numbers.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

#include "runner/float_reader.h"

namespace kelvarin::script {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t CountDigits(std::string_view s, std::size_t from) {
  std::size_t i = from;
  while (i < s.size() && IsDigit(s[i])) {
    ++i;
  }
  return i - from;
}

}  // namespace

std::optional<std::int64_t> Integer::InRange(std::int64_t lo, std::int64_t hi) const {
  if (overflow ||
      magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return std::nullopt;
  }
  const auto m = static_cast<std::int64_t>(magnitude);
  const std::int64_t value = negative ? -m : m;
  if (value < lo || value > hi) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::uint64_t> Integer::AsUint64() const {
  if (overflow || (negative && magnitude != 0)) {
    return std::nullopt;
  }
  return magnitude;
}

std::optional<Integer> ParseInteger(std::string_view token) {
  Integer result;
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    result.negative = token[i] == '-';
    ++i;
  }
  if (i == token.size()) {
    return std::nullopt;
  }
  for (; i < token.size(); ++i) {
    if (!IsDigit(token[i])) {
      return std::nullopt;
    }
    const auto digit = static_cast<std::uint64_t>(token[i] - '0');
    if (result.magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
      result.overflow = true;
    } else {
      result.magnitude = result.magnitude * 10 + digit;
    }
  }
  return result;
}

std::optional<double> ParseReal(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  const std::size_t mantissaStart = i;
  const std::size_t intDigits = CountDigits(token, i);
  i += intDigits;
  std::size_t fracDigits = 0;
  if (i < token.size() && token[i] == '.') {
    ++i;
    fracDigits = CountDigits(token, i);
    i += fracDigits;
  }
  if (intDigits + fracDigits == 0) {
    return std::nullopt;
  }
  const std::size_t mantissaEnd = i;
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
      ++i;
    }
    const std::size_t expDigits = CountDigits(token, i);
    if (expDigits == 0) {
      return std::nullopt;
    }
    i += expDigits;
  }
  if (i != token.size()) {
    return std::nullopt;
  }

  // from_chars takes no leading '+', and its own grammar is wider (inf, nan):
  // only the part checked above is handed over.
  const std::string_view body = token.substr(mantissaStart);
  double value = 0.0;
  const auto [ptr, ec] = ReadDecimal(body.data(), body.data() + body.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the order of magnitude of the first
    // non-zero digit tells which.
    std::int64_t exponent = 0;
    if (mantissaEnd < token.size()) {
      std::size_t e = mantissaEnd + 1;
      bool expNegative = false;
      if (token[e] == '+' || token[e] == '-') {
        expNegative = token[e] == '-';
        ++e;
      }
      for (; e < token.size(); ++e) {
        if (exponent < 1000000000) {
          exponent = exponent * 10 + (token[e] - '0');
        }
      }
      if (expNegative) {
        exponent = -exponent;
      }
    }
    // Position of the first non-zero mantissa digit relative to the point.
    std::int64_t order = static_cast<std::int64_t>(intDigits);
    for (std::size_t k = mantissaStart; k < mantissaEnd; ++k) {
      if (token[k] == '.') {
        continue;
      }
      --order;
      if (token[k] != '0') {
        break;
      }
    }
    const bool huge = order + exponent >= 0;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc() || ptr != body.data() + body.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace kelvarin::script
