// The battle's sine, cosine and arctangent (sim/maths.h): a fast path in
// double-double arithmetic whose result carries an error bound, a rounding
// test that accepts it when every value within the bound rounds to the same
// double, and the precise path of trig_precise.cpp for the rare rest.
//
// Double-double: a value held as hi + lo, kept exact with Knuth's two-sum and
// Dekker's product, whose factors are cut in halves of 26 bits by Veltkamp's
// split, so that no fused multiply-add is needed.
#include <cstdint>

#include "sim/maths.h"
#include "sim/trig_detail.h"
#include "sim/trig_precise.h"

namespace kelvarin {
namespace {

using trig_detail::BitsOf;
using trig_detail::FromBits;
using trig_detail::kAtanTable;
using trig_detail::kHalfPiHi;
using trig_detail::kHalfPiLo;
using trig_detail::kHalfPiPart;
using trig_detail::kSinTable;

struct Pair {
  double hi;
  double lo;
};

// a + b = hi + lo exactly.
Pair TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b = hi + lo exactly, for |a| >= |b| or a = 0.
Pair FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a = hi + lo, each with at most 26 significant bits.
Pair Split(double a) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// a * b = hi + lo exactly, given a's and b's splits.
Pair TwoProduct(double a, Pair as, double b, Pair bs) {
  const double p = a * b;
  return {p, ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo};
}

double Abs(double x) { return FromBits(BitsOf(x) & ~(std::uint64_t{1} << 63)); }

// Adds 1.5 * 2^52 and takes it away again: x rounded to the nearest integer,
// ties to even, for |x| < 2^51.
constexpr double kRoundingShift = 0x1.8p52;

// hi + lo, within err of the exact value, rounded: the double that every
// value within err rounds to, or false when they do not all round alike.
// Rounding is monotonic, so the two ends decide; once hi + lo is normalised,
// the rounding of lo +- err is some 2^-50 of err, which the bounds allow for.
bool RoundsTo(Pair v, double err, double& out) {
  const Pair n = FastTwoSum(v.hi, v.lo);
  const double a = n.hi + (n.lo - err);
  if (a != n.hi + (n.lo + err)) {
    return false;
  }
  out = a;
  return true;
}

// ---- Sine and cosine --------------------------------------------------------
//
// x = k pi/512 + t with |t| <= pi/1024 (a little more, as k comes from a
// rounded product). With i = k mod 256 and a = i pi/512, the table gives
// sin a and cos a to 107 bits, and with the quadrant q = (k div 256) mod 4,
// sin x and cos x are +-sin(a + t) and +-cos(a + t):
//   sin(a + t) = sin a + cos a * t + [cos a * (sin t - t) + sin a * (cos t - 1)]
//   cos(a + t) = cos a - sin a * t + [cos a * (cos t - 1) - sin a * (sin t - t)]
// the products by t exact, the brackets (at most 2^-16 of the result) in
// doubles by their Taylor series. With u = 2^-53 and tau = pi/1024, the error
// is at most about 9.5 u tau^2 = 2^-66.45 of the result (its rounding, the
// series' truncation and rounding, the table's low parts left out of the
// bracket), or 2^-66 with room; and t itself is off by at most (|k| + 1)
// 2^-112, absolutely, from the parts of pi/2 left out and rounded.
//
// For 2^-9 <= |x| < 2^12, where the battle's angles lie, x - k part0 and
// then its difference with k part1 are exact (multiples of 2^-61 below
// 2^-8.3), and t = that - k part2 is left as hi + lo with |lo| < 2^-42: its
// square is below 2^-84, so the series take lo's first-order terms only, and
// t is off by less than 2^-92. Elsewhere t is summed exactly.

constexpr double kSinCosError = 0x1p-66;
constexpr double kReductionError = 0x1p-112;

// pi/512 in three parts (pi/2's, scaled exactly).
constexpr double kStep[3] = {kHalfPiPart[0] / 256, kHalfPiPart[1] / 256, kHalfPiPart[2] / 256};

// Taylor coefficients, rounded: sin t - t and cos t - 1.
constexpr double kS3 = -1.0 / 6;
constexpr double kS5 = 1.0 / 120;
constexpr double kS7 = -1.0 / 5040;
constexpr double kC4 = 1.0 / 24;
constexpr double kC6 = -1.0 / 720;

SineCosine FastSinCos(double x, bool sine, bool cosine) {
  // k and t = x - k pi/512: the first product and difference are exact (k has
  // at most 28 bits, the part 25), the rest is kept in two doubles.
  const double ax = Abs(x);
  const bool usual = ax >= 0x1p-9 && ax < 0x1p12;
  const double k = (x * trig_detail::kStepsPerRadian + kRoundingShift) - kRoundingShift;
  const double r = x - k * kStep[0];
  Pair t{r - k * kStep[1], -(k * kStep[2])};
  double reduction = 0x1p-92;
  if (!usual) {
    const Pair a = TwoSum(r, -(k * kStep[1]));
    t = TwoSum(a.hi, a.lo - k * kStep[2]);
    reduction = (Abs(k) + 1) * kReductionError;
  }

  const auto j = static_cast<unsigned>(static_cast<int>(k)) & 1023U;
  const unsigned q = j >> 8;
  const unsigned i = j & 255U;
  const double* const sa = kSinTable[i];        // sin a: hi, lo, and hi in halves
  const double* const ca = kSinTable[256 - i];  // cos a

  const double t2 = t.hi * t.hi;
  const double cosHi = t2 * (-0.5 + t2 * (kC4 + t2 * kC6));  // cos t.hi - 1
  const double cosTail = cosHi - t.hi * t.lo;                // cos t - 1
  const double sinTail =
      t.lo + (t.hi * t2 * (kS3 + t2 * (kS5 + t2 * kS7)) + t.lo * cosHi);  // sin t - t.hi
  // cos a * t.hi = pa + qa and sin a * t.hi = pb + qb: pa and pb exact (26
  // bits by 26), qa and qb below 2^-25 of them and rounded.
  const Pair ts = Split(t.hi);
  const double pa = ca[2] * ts.hi;
  const double qa = ca[2] * ts.lo + ca[3] * t.hi;
  const double pb = sa[2] * ts.hi;
  const double qb = sa[2] * ts.lo + sa[3] * t.hi;

  // A = sin(a + t), B = cos(a + t): small parts first, the bracket's big term last.
  const Pair ra = FastTwoSum(sa[0], pa);
  const Pair sinA = {ra.hi,
                     (((ra.lo + qa) + sa[1]) + (ca[1] * t.hi + ca[0] * sinTail)) + sa[0] * cosTail};
  const Pair rb = FastTwoSum(ca[0], -pb);
  const Pair cosA = {rb.hi,
                     (((rb.lo - qb) + ca[1]) - (sa[1] * t.hi + sa[0] * sinTail)) + ca[0] * cosTail};

  // By quadrant, (sin x, cos x) is (A, B), (B, -A), (-A, -B) or (-B, A).
  const bool even = (q & 1U) == 0;
  const bool sinNegative = q >= 2;
  const bool cosNegative = q == 1 || q == 2;
  SineCosine out{0, 0};
  bool sinOk = !sine;
  bool cosOk = !cosine;
  if (sine) {
    const Pair v = even ? sinA : cosA;
    double d = 0;
    sinOk = RoundsTo(v, Abs(v.hi) * kSinCosError + reduction, d);
    out.sin = sinNegative ? -d : d;
  }
  if (cosine) {
    const Pair v = even ? cosA : sinA;
    double d = 0;
    cosOk = RoundsTo(v, Abs(v.hi) * kSinCosError + reduction, d);
    out.cos = cosNegative ? -d : d;
  }
  if (!sinOk || !cosOk) {
    const SineCosine precise = trig_detail::PreciseSinCos(x, !sinOk, !cosOk);
    if (!sinOk) {
      out.sin = precise.sin;
    }
    if (!cosOk) {
      out.cos = precise.cos;
    }
  }
  return out;
}

SineCosine SinCosOf(double x, bool sine, bool cosine) {
  const double ax = Abs(x);
  if (ax < 0x1p-27) {
    // |sin x - x| < |x|^3/6 and 1 - cos x < x^2/2 are below half an ulp.
    return {x, 1.0};
  }
  if (ax < 0x1p20) {
    return FastSinCos(x, sine, cosine);
  }
  if (ax - ax != 0) {  // infinite or NaN
    return {x - x, x - x};
  }
  return trig_detail::PreciseSinCos(x, sine, cosine);
}

// ---- Arctangent -------------------------------------------------------------
//
// With z = |x|, or 1/|x| (as hi + lo) and atan |x| = pi/2 - atan z when
// |x| > 1, and c = i/128 the nearest to z, atan z = atan c + atan u with
// u = (z - c) / (1 + z c), |u| <= 2^-8: the table gives atan c to 107 bits,
// u is a double-double quotient and atan u - u a Taylor series in doubles.
// The error is at most about 3.33 u 2^-16 = 2^-67.26 of the result (the
// series' rounding and the sums after it), or 2^-66.5 with room.

constexpr double kAtnError = 0x1.6a09e667f3bcdp-67;  // 2^-66.5

constexpr double kA3 = -1.0 / 3;
constexpr double kA5 = 1.0 / 5;
constexpr double kA7 = -1.0 / 7;
constexpr double kA9 = 1.0 / 9;

}  // namespace

SineCosine SinCos(double x) { return SinCosOf(x, true, true); }
double Sin(double x) { return SinCosOf(x, true, false).sin; }
double Cos(double x) { return SinCosOf(x, false, true).cos; }

double Atn(double x) {
  const double ax = Abs(x);
  if (!(ax < 0x1p53)) {
    if (ax != ax) {
      return x + x;
    }
    // pi/2 - atan |x| = atan(1/|x|) < 2^-53: pi/2 rounded.
    return x < 0 ? -kHalfPiHi : kHalfPiHi;
  }
  if (ax < 0x1p-27) {
    return x;  // |atan x - x| < |x|^3/3, below half an ulp
  }
  const bool inverse = ax > 1;
  Pair z{ax, 0};
  if (inverse) {
    z.hi = 1 / ax;
    const Pair p = TwoProduct(ax, Split(ax), z.hi, Split(z.hi));
    z.lo = ((1 - p.hi) - p.lo) / ax;
  }
  const double id = (z.hi * 128 + kRoundingShift) - kRoundingShift;
  const auto i = static_cast<int>(id);
  Pair u = z;
  if (i != 0) {
    const double c = id * 0x1p-7;
    const Pair num = TwoSum(z.hi - c, z.lo);                     // z.hi - c is exact
    const Pair zi = TwoProduct(z.hi, Split(z.hi), id, {id, 0});  // id has 8 bits at most
    const Pair den0 = FastTwoSum(1, zi.hi * 0x1p-7);
    const Pair den = {den0.hi, den0.lo + (zi.lo + z.lo * id) * 0x1p-7};
    u.hi = num.hi / den.hi;
    const Pair p = TwoProduct(u.hi, Split(u.hi), den.hi, Split(den.hi));
    u.lo = ((((num.hi - p.hi) - p.lo) + num.lo) - u.hi * den.lo) / den.hi;
  }
  const double u2 = u.hi * u.hi;
  const double tail = u.hi * u2 * (kA3 + u2 * (kA5 + u2 * (kA7 + u2 * kA9)));  // atan u - u
  const Pair v0 = FastTwoSum(kAtanTable[i][0], u.hi);
  Pair v = {v0.hi, (v0.lo + (kAtanTable[i][1] + u.lo)) + tail};
  if (inverse) {
    const Pair w = FastTwoSum(kHalfPiHi, -v.hi);
    v = {w.hi, w.lo + (kHalfPiLo - v.lo)};
  }
  double d = 0;
  if (!RoundsTo(v, Abs(v.hi) * kAtnError, d)) {
    const Pair n = FastTwoSum(v.hi, v.lo);
    return trig_detail::PreciseAtn(x, n.hi, n.lo);
  }
  return x < 0 ? -d : d;
}

}  // namespace kelvarin
