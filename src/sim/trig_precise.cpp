#include "sim/trig_precise.h"

#include <array>
#include <cstdint>
#include <limits>

#include "sim/trig_detail.h"

namespace kelvarin::trig_detail {
namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

// The precisions tried in turn, in 32-bit limbs with the integer part: 128,
// 256 and 544 bits of fraction. The hardest-to-round double arguments
// published have about 60 bits alike after the rounding bit, so some 115
// bits settle them; a result near zero needs more, as the precision here is
// absolute.
constexpr int kLevels[] = {5, 9, 18};
constexpr int kMaxLimbs = 18;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A fixed-point number of n limbs, least significant first: limb n - 1 is
// the integer part in two's complement and limbs 0 .. n - 2 the fraction, so
// the value is the n-limb integer times 2^(-32 (n - 1)), which is "an ulp"
// here. Products and quotients are truncated: each is less than an ulp off.
struct Fixed {
  std::array<u32, kMaxLimbs> limb{};
};

// The arithmetic at one precision.
class Arith {
 public:
  explicit Arith(int n) : n_(n) {}

  Fixed Int(u32 v) const {
    Fixed r;
    r.limb[n_ - 1] = v;
    return r;
  }
  Fixed Ulps(u32 v) const {
    Fixed r;
    r.limb[0] = v;
    return r;
  }
  // The value 2^(-32 (n - 1)) as a double.
  double Ulp() const { return FromBits(static_cast<u64>(1023 - 32 * (n_ - 1)) << 52); }

  bool Negative(const Fixed& a) const { return (a.limb[n_ - 1] >> 31) != 0; }
  bool Zero(const Fixed& a) const {
    for (int j = 0; j < n_; ++j) {
      if (a.limb[j] != 0) {
        return false;
      }
    }
    return true;
  }

  Fixed Add(const Fixed& a, const Fixed& b) const {
    Fixed r;
    u64 carry = 0;
    for (int j = 0; j < n_; ++j) {
      const u64 t = static_cast<u64>(a.limb[j]) + b.limb[j] + carry;
      r.limb[j] = static_cast<u32>(t);
      carry = t >> 32;
    }
    return r;
  }
  Fixed Sub(const Fixed& a, const Fixed& b) const {
    Fixed r;
    u64 borrow = 0;
    for (int j = 0; j < n_; ++j) {
      const u64 t = static_cast<u64>(a.limb[j]) - b.limb[j] - borrow;
      r.limb[j] = static_cast<u32>(t);
      borrow = (t >> 32) & 1;
    }
    return r;
  }
  Fixed Neg(const Fixed& a) const { return Sub(Fixed{}, a); }
  Fixed Abs(const Fixed& a) const { return Negative(a) ? Neg(a) : a; }

  // a * b for a, b >= 0 below 2^31.
  Fixed MulMagnitudes(const Fixed& a, const Fixed& b) const {
    std::array<u32, 2 * kMaxLimbs> p{};
    for (int i = 0; i < n_; ++i) {
      if (a.limb[i] == 0) {
        continue;
      }
      u64 carry = 0;
      for (int j = 0; j < n_; ++j) {
        const u64 t = static_cast<u64>(a.limb[i]) * b.limb[j] + p[i + j] + carry;
        p[i + j] = static_cast<u32>(t);
        carry = t >> 32;
      }
      p[i + n_] = static_cast<u32>(carry);
    }
    Fixed r;
    for (int j = 0; j < n_; ++j) {
      r.limb[j] = p[j + n_ - 1];
    }
    return r;
  }
  Fixed Mul(const Fixed& a, const Fixed& b) const {
    const Fixed m = MulMagnitudes(Abs(a), Abs(b));
    return Negative(a) != Negative(b) ? Neg(m) : m;
  }

  // a / d for a >= 0.
  Fixed Div(const Fixed& a, u32 d) const {
    Fixed r;
    u64 rem = 0;
    for (int j = n_ - 1; j >= 0; --j) {
      const u64 cur = (rem << 32) | a.limb[j];
      r.limb[j] = static_cast<u32>(cur / d);
      rem = cur % d;
    }
    return r;
  }

  // a * 2^e, the magnitude truncated.
  Fixed Scale(const Fixed& a, int e) const {
    const Fixed m = Abs(a);
    Fixed r;
    for (int j = 0; j < n_; ++j) {
      // Bits 32 j .. 32 j + 31 of the result are bits 32 j - e .. of m.
      r.limb[j] = Bits(m.limb.data(), n_, 32 * j - e);
    }
    return Negative(a) ? Neg(r) : r;
  }

  // x truncated towards zero, for |x| < 2^31.
  Fixed FromDouble(double x) const {
    const u64 bits = BitsOf(x);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0) {
      return Fixed{};  // zero, or far below an ulp
    }
    const u64 m = (bits & ((u64{1} << 52) - 1)) | (u64{1} << 52);
    const u32 words[2] = {static_cast<u32>(m), static_cast<u32>(m >> 32)};
    // x = m 2^(biased - 1075), so the fixed-point integer is m shifted left
    // by biased - 1075 + 32 (n - 1) bits.
    const int shift = biased - 1075 + 32 * (n_ - 1);
    Fixed r;
    for (int j = 0; j < n_; ++j) {
      r.limb[j] = Bits(words, 2, 32 * j - shift);
    }
    return (bits >> 63) != 0 ? Neg(r) : r;
  }

  // The double nearest a, ties to even.
  double ToDouble(const Fixed& a) const {
    const bool negative = Negative(a);
    const Fixed m = Abs(a);
    int top = n_ - 1;
    while (top >= 0 && m.limb[top] == 0) {
      --top;
    }
    if (top < 0) {
      return negative ? -0.0 : 0.0;
    }
    const int lead = 32 * top + 31 - __builtin_clz(m.limb[top]);  // bit index of the leading 1
    // The 64 bits from the leading one down, and whether any bit below them is set.
    const u64 window = (static_cast<u64>(Bits(m.limb.data(), n_, lead - 31)) << 32) |
                       Bits(m.limb.data(), n_, lead - 63);
    bool sticky = false;
    for (int b = 0; b < lead - 63; b += 32) {
      const int width = lead - 63 - b < 32 ? lead - 63 - b : 32;
      const u32 part = Bits(m.limb.data(), n_, b);
      if ((width == 32 ? part : part & ((u32{1} << width) - 1)) != 0) {
        sticky = true;
        break;
      }
    }
    u64 mantissa = window >> 11;
    const u64 rest = window & 0x7FF;
    int exponent = lead - 32 * (n_ - 1);  // of the leading one
    if ((rest & 0x400) != 0 && ((rest & 0x3FF) != 0 || sticky || (mantissa & 1) != 0)) {
      ++mantissa;
      if (mantissa == (u64{1} << 53)) {
        mantissa >>= 1;
        ++exponent;
      }
    }
    const u64 bits = (static_cast<u64>(exponent + 1023) << 52) | (mantissa & ((u64{1} << 52) - 1));
    const double d = FromBits(bits);
    return negative ? -d : d;
  }

 private:
  // Bits from .. from + 31 of the little-endian integer in words[0 .. count - 1],
  // zeros outside it.
  static u32 Bits(const u32* words, int count, int from) {
    const auto word = [&](int i) -> u64 { return i >= 0 && i < count ? words[i] : 0; };
    const int i = from >= 0 ? from / 32 : -((-from + 31) / 32);
    const int offset = from - 32 * i;
    const u64 pair = word(i) | (word(i + 1) << 32);
    return static_cast<u32>(pair >> offset);
  }

  int n_;
};

// pi/2 truncated to n limbs.
Fixed HalfPi(int n) {
  Fixed r;
  for (int k = 0; k < n; ++k) {
    r.limb[n - 1 - k] = kHalfPi[k];
  }
  return r;
}

// |x| * 2/pi = an integer + frac: the integer modulo 4 (the quadrant) and
// t = frac * pi/2 with -pi/4 <= t < pi/4, within kReductionUlps, by the bits
// of 2/pi around the place of x's last bit (Payne and Hanek's method).
constexpr u32 kReductionUlps = 4;

struct Reduction {
  Fixed t;
  int quadrant = 0;
};

Reduction Reduce(const Arith& f, int n, double ax) {
  const u64 bits = BitsOf(ax);
  const int e = static_cast<int>((bits >> 52) & 0x7FF) - 1075;
  const u64 m = (bits & ((u64{1} << 52) - 1)) | (u64{1} << 52);
  // Word w of 2/pi adds m * word * 2^(e - 32 (w + 1)): a multiple of 4 for
  // w < first, so nothing to the quadrant. The words after last add less
  // than 2^(53 - s), s being the fraction bits of the product, which is kept
  // 32 bits below the last of the n - 1 fraction limbs.
  const int first = e >= 34 ? (e - 2) / 32 : 0;
  const int wanted = 32 * (n - 1) + 32 + 53;
  const int last = (wanted + e + 31) / 32 - 1;
  const int s = 32 * (last + 1) - e;
  const int length = last - first + 1;

  // The product of m by the words first .. last, least significant first.
  std::array<u32, 64> product{};
  const u32 mw[2] = {static_cast<u32>(m), static_cast<u32>(m >> 32)};
  for (int i = 0; i < 2; ++i) {
    u64 carry = 0;
    for (int k = 0; k < length; ++k) {
      const u64 t = static_cast<u64>(mw[i]) * kTwoOverPi[last - k] + product[i + k] + carry;
      product[i + k] = static_cast<u32>(t);
      carry = t >> 32;
    }
    product[i + length] = static_cast<u32>(carry);
  }

  // Its bits from s - 32 (n - 1) up: the fraction limbs and the integer limb.
  Fixed y;
  const int low = s - 32 * (n - 1);
  for (int j = 0; j < n; ++j) {
    const int from = low + 32 * j;
    const int i = from / 32;
    const int offset = from % 32;
    const u64 pair = product[i] | (static_cast<u64>(product[i + 1]) << 32);
    y.limb[j] = static_cast<u32>(pair >> offset);
  }
  Reduction r;
  r.quadrant = static_cast<int>(y.limb[n - 1] & 3);
  y.limb[n - 1] = 0;
  if ((y.limb[n - 2] >> 31) != 0) {  // frac >= 1/2: take frac - 1 in the next quadrant
    y.limb[n - 1] = 0xFFFFFFFF;
    r.quadrant = (r.quadrant + 1) & 3;
  }
  r.t = f.Mul(y, HalfPi(n));
  return r;
}

// sin u and cos u for 0 <= u <= pi/4 + a little, by their Taylor series: each
// within 2 terms + 4 ulps of the exact values (terms counted here).
struct Series {
  Fixed sin;
  Fixed cos;
  u32 sinUlps = 0;
  u32 cosUlps = 0;
};

Series SeriesOf(const Arith& f, const Fixed& u, bool sine, bool cosine) {
  Series r;
  const Fixed u2 = f.MulMagnitudes(u, u);
  const auto sum = [&](Fixed term, u32 first, Fixed& out, u32& ulps) {
    out = term;
    u32 terms = 0;
    for (u32 k = first;; k += 2) {
      term = f.Div(f.MulMagnitudes(term, u2), k * (k + 1));
      if (f.Zero(term)) {
        break;
      }
      out = (terms % 2 == 0) ? f.Sub(out, term) : f.Add(out, term);
      ++terms;
    }
    ulps = 2 * terms + 4;
  };
  if (sine) {
    sum(u, 2, r.sin, r.sinUlps);
  }
  if (cosine) {
    sum(f.Int(1), 1, r.cos, r.cosUlps);
  }
  return r;
}

// The double that every value within `ulps` of v rounds to, if there is one.
bool Decide(const Arith& f, const Fixed& v, u32 ulps, double& out) {
  const Fixed low = f.Sub(v, f.Ulps(ulps));
  const Fixed high = f.Add(v, f.Ulps(ulps));
  if (f.Negative(low) != f.Negative(high)) {
    return false;
  }
  const double a = f.ToDouble(low);
  if (a != f.ToDouble(high)) {
    return false;
  }
  out = a;
  return true;
}

}  // namespace

SineCosine PreciseSinCos(double x, bool sine, bool cosine) {
  const bool negative = x < 0;
  const double ax = negative ? -x : x;
  SineCosine out{kNaN, kNaN};
  bool needSin = sine;
  bool needCos = cosine;
  for (const int n : kLevels) {
    const Arith f(n);
    const Reduction red = Reduce(f, n, ax);
    const int q = red.quadrant;
    const bool tNegative = f.Negative(red.t);
    // sin x is +-sin t in the even quadrants and +-cos t in the odd ones;
    // cos x the other way round.
    const bool even = q % 2 == 0;
    const Series ser = SeriesOf(f, f.Abs(red.t), (needSin && even) || (needCos && !even),
                                (needSin && !even) || (needCos && even));
    const auto value = [&](bool ofSin) {
      const Fixed v = ofSin ? ser.sin : ser.cos;
      return tNegative && ofSin ? f.Neg(v) : v;
    };
    const auto ulps = [&](bool ofSin) {
      return (ofSin ? ser.sinUlps : ser.cosUlps) + kReductionUlps;
    };
    const bool last = n == kLevels[std::size(kLevels) - 1];
    if (needSin) {
      // q: 0 sin t, 1 cos t, 2 -sin t, 3 -cos t; sine is odd.
      Fixed v = value(even);
      if ((q >= 2) != negative) {
        v = f.Neg(v);
      }
      if (Decide(f, v, ulps(even), out.sin)) {
        needSin = false;
      } else if (last) {
        out.sin = f.ToDouble(v);  // still within an ulp
        needSin = false;
      }
    }
    if (needCos) {
      // q: 0 cos t, 1 -sin t, 2 -cos t, 3 sin t; cosine is even.
      Fixed v = value(!even);
      if (q == 1 || q == 2) {
        v = f.Neg(v);
      }
      if (Decide(f, v, ulps(!even), out.cos)) {
        needCos = false;
      } else if (last) {
        out.cos = f.ToDouble(v);
        needCos = false;
      }
    }
    if (!needSin && !needCos) {
      break;
    }
  }
  return out;
}

double PreciseAtn(double x, double hi, double lo) {
  const bool negative = x < 0;
  const u64 bits = BitsOf(x) & ~(u64{1} << 63);
  // |x| = m 2^e with 1 <= m < 2.
  const int e = static_cast<int>(bits >> 52) - 1023;
  const double m = FromBits((bits & ((u64{1} << 52) - 1)) | (u64{1023} << 52));
  const double scale = FromBits(static_cast<u64>(1023 - e) << 52);  // 2^-e
  double result = hi;
  for (const int n : kLevels) {
    const Arith f(n);
    const Fixed halfPi = HalfPi(n);
    const Fixed mFixed = f.FromDouble(m);
    Fixed t = f.Add(f.FromDouble(hi), f.FromDouble(lo));
    // Newton's step on tan: with s and c the sine and cosine of t,
    // atan |x| = t + atan(eps) exactly, eps = (|x| c - s) / (c + |x| s),
    // here divided by 2^e above and below.
    for (int step = 0; step < 8; ++step) {
      // t > pi/4 is taken as pi/2 - u, so that the series see at most pi/4.
      const bool flip = !f.Negative(f.Sub(f.Scale(t, 1), halfPi));
      const Fixed u = flip ? f.Sub(halfPi, t) : t;
      const Series ser = SeriesOf(f, f.Abs(u), true, true);
      const Fixed sinU = f.Negative(u) ? f.Neg(ser.sin) : ser.sin;
      const Fixed& s = flip ? ser.cos : sinU;
      const Fixed& c = flip ? sinU : ser.cos;
      const u32 sc = (ser.sinUlps > ser.cosUlps ? ser.sinUlps : ser.cosUlps) + (flip ? 1 : 0);
      const Fixed num = f.Sub(f.Mul(mFixed, c), f.Scale(s, -e));
      const double den = f.ToDouble(c) * scale + m * f.ToDouble(s);
      const double eps = f.ToDouble(num) / den;
      // The numerator is within (2 + 2^-e) sc + 2 ulps, and the denominator
      // at least 0.7 max(1, 2^-e); the rest is the rounding of doubles and
      // atan(eps) - eps.
      const double ae = eps < 0 ? -eps : eps;
      const double rest = ae * 0x1p-50 + ae * ae * ae;
      if (rest > f.Ulp()) {
        t = f.Add(t, f.FromDouble(eps));
        continue;
      }
      const Fixed v = f.Add(t, f.FromDouble(eps));
      const u32 ulps = (3 * sc + 2) * 10 / 7 + 4;
      result = f.ToDouble(v);
      double decided = 0;
      if (Decide(f, v, ulps, decided)) {
        return negative ? -decided : decided;
      }
      break;
    }
  }
  return negative ? -result : result;
}

}  // namespace kelvarin::trig_detail
