#include "runner/script_arguments.h"

#include <cstdio>

#include "runner/script_numbers.h"

namespace kelvarin::script {
namespace {

// An end of a range of reals as messages give it: the %g form (all of them
// are whole numbers).
std::string RangeEnd(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::string Quoted(std::string_view token) {
  std::string text = "'";
  text += token;
  text += '\'';
  return text;
}

double RealIn(std::string_view token, std::string_view what, double lo, double hi, bool highOpen) {
  const std::optional<double> value = ParseReal(token);
  if (!value) {
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is not a number"};
  }
  const bool inRange = *value >= lo && (highOpen ? *value < hi : *value <= hi);
  if (!inRange) {
    const std::string range =
        RangeEnd(lo) + (highOpen ? " <= " + std::string(what) + " < " : "..") + RangeEnd(hi);
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is out of range (" + range + ')'};
  }
  return *value;
}

std::int64_t IntegerIn(std::string_view token, std::string_view what, std::int64_t lo,
                       std::int64_t hi) {
  const std::optional<Integer> value = ParseInteger(token);
  if (!value) {
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is not an integer"};
  }
  const std::optional<std::int64_t> inRange = value->InRange(lo, hi);
  if (!inRange) {
    throw LineError{std::string(what) + ' ' + Quoted(token) + " is out of range (" +
                    std::to_string(lo) + ".." + std::to_string(hi) + ')'};
  }
  return *inRange;
}

void ArgCount(const Tokens& t, std::size_t min, std::size_t max, std::string_view usage) {
  const std::size_t args = t.size() - 1;
  if (args < min) {
    throw LineError{Quoted(t[0]) + " is missing an argument (" + std::string(usage) + ')'};
  }
  if (args > max) {
    throw LineError{Quoted(t[0]) + " has an extra argument " + Quoted(t[max + 1]) + " (" +
                    std::string(usage) + ')'};
  }
}

}  // namespace kelvarin::script
