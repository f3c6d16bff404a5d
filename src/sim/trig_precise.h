#pragma once

#include "sim/maths.h"

// The precise path of sim/maths.h's trigonometry: exact integer arithmetic in
// fixed point, at growing precision until the rounding is certain (Ziv's
// strategy). Slow (microseconds), and taken only where the fast path cannot
// be sure of its rounding, or for |x| > 2^20.
namespace kelvarin::trig_detail {

// sin x and cos x, correctly rounded, for finite x with |x| >= 2^-27. Only
// the parts asked for are computed; the other is NaN.
SineCosine PreciseSinCos(double x, bool sine, bool cosine);

// atan x, correctly rounded, for 2^-27 <= |x| < 2^53, from hi + lo, an
// approximation of atan |x| within 2^-60 of it, relatively.
double PreciseAtn(double x, double hi, double lo);

}  // namespace kelvarin::trig_detail
