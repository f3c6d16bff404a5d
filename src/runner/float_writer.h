#pragma once

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

}  // namespace kelvarin
