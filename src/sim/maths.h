#pragma once

namespace kelvarin {

// The battle's own arithmetic beyond + - * /. The platform's sin, cos and atan
// differ from one C library to the next (and some from one processor to the
// next), and a battle is chaotic: one bit of one stored value changes all
// that follows. These return the double nearest the exact value (ties to
// even) for every argument the battle can meet, computed in plain double
// arithmetic and exact integer arithmetic only, so that every IEEE-754 build
// gets the same bits: no long double, no fused multiply-add, no call into a
// maths library.

struct SineCosine {
  double sin;
  double cos;
};

// sin x and cos x, each correctly rounded for |x| <= 2^20; beyond that within
// one ulp (and, as it happens, correctly rounded too), and the same bits
// everywhere. Infinities and NaN give NaN; the sign of a zero is kept.
[[gnu::const]] SineCosine SinCos(double x);
[[gnu::const]] double Sin(double x);
[[gnu::const]] double Cos(double x);

// The principal arctangent, in [-pi/2, pi/2], correctly rounded for every
// double; plus or minus infinity give plus or minus pi/2 (rounded), NaN NaN.
[[gnu::const]] double Atn(double x);

// IEEE's correctly rounded square root, always the instruction: the built-in
// is expanded inline where std::sqrt may call the library (mingw-w64 at -O0,
// whose sqrt is x87 code in extended precision).
inline double Sqrt(double x) { return __builtin_sqrt(x); }

}  // namespace kelvarin
