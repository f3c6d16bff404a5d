#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarin::script {

// A line that cannot be run: status 2.
struct LineError {
  std::string message;
};

// A file that cannot be read or written: status 1.
struct FileError {
  std::string path;
  std::string reason;
};

// The words of a line: the command, then its arguments.
using Tokens = std::vector<std::string_view>;

// A token as messages give it: in single quotes.
std::string Quoted(std::string_view token);

// The checks below throw a LineError that names the token and what it is
// (`what`, "tick count") when it is malformed or out of range.

// A real in lo..hi (both ends included unless `highOpen`), as read.
double RealIn(std::string_view token, std::string_view what, double lo, double hi,
              bool highOpen = false);
// An integer in lo..hi.
std::int64_t IntegerIn(std::string_view token, std::string_view what, std::int64_t lo,
                       std::int64_t hi);

// Checks that the command t[0] has min..max arguments; `usage` ends the
// message when it has not.
void ArgCount(const Tokens& t, std::size_t min, std::size_t max, std::string_view usage);

// Reads the F=V tokens of a `ship` or `part` line, from its third token on,
// into `values`, each field in the place its name has in `names`. `valueOf`
// turns a field's text into its value (or throws); it is given the field and
// what messages call it ("ship x"). Throws for a token that is not F=V, an
// unknown name or a field given twice.
template <typename Value, std::size_t N, typename ValueFn>
void ReadFields(const Tokens& t, std::string_view kind,
                const std::array<std::string_view, N>& names,
                std::array<std::optional<Value>, N>& values, ValueFn valueOf) {
  for (std::size_t k = 2; k < t.size(); ++k) {
    const std::size_t eq = t[k].find('=');
    if (eq == std::string_view::npos) {
      throw LineError{Quoted(t[k]) + " is not FIELD=VALUE"};
    }
    const std::string_view name = t[k].substr(0, eq);
    const auto* found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) {
      throw LineError{"unknown " + std::string(kind) + " field " + Quoted(name) + " in " +
                      Quoted(t[k])};
    }
    const auto field = static_cast<std::size_t>(found - names.begin());
    if (values[field]) {
      throw LineError{std::string(kind) + " field " + Quoted(name) + " given twice"};
    }
    values[field] =
        valueOf(field, std::string(kind) + ' ' + std::string(name), t[k].substr(eq + 1));
  }
}

}  // namespace kelvarin::script
