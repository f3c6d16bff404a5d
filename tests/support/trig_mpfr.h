#pragma once

#include <mpfr.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/maths.h"
#include "trig_sample.h"

// The battle's trigonometry against MPFR's, which rounds correctly: shared
// by the MPFR test and the long run in bench/.
namespace kelvarin::testing {

enum class Trig { kSin, kCos, kAtn };

inline const char* NameOf(Trig f) {
  switch (f) {
    case Trig::kSin:
      return "sin";
    case Trig::kCos:
      return "cos";
    default:
      return "atan";
  }
}

// MPFR in IEEE double's exponent range, subnormals included, while it lives.
class Mpfr {
 public:
  Mpfr() : emin_(mpfr_get_emin()), emax_(mpfr_get_emax()) {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_init2(x_, 53);
    mpfr_init2(y_, 53);
  }
  ~Mpfr() {
    mpfr_clear(x_);
    mpfr_clear(y_);
    mpfr_set_emin(emin_);
    mpfr_set_emax(emax_);
  }
  Mpfr(const Mpfr&) = delete;
  Mpfr& operator=(const Mpfr&) = delete;

  double Of(Trig f, double x) {
    mpfr_set_d(x_, x, MPFR_RNDN);
    int inexact = 0;
    switch (f) {
      case Trig::kSin:
        inexact = mpfr_sin(y_, x_, MPFR_RNDN);
        break;
      case Trig::kCos:
        inexact = mpfr_cos(y_, x_, MPFR_RNDN);
        break;
      default:
        inexact = mpfr_atan(y_, x_, MPFR_RNDN);
        break;
    }
    mpfr_subnormalize(y_, inexact, MPFR_RNDN);
    return mpfr_get_d(y_, MPFR_RNDN);
  }

 private:
  mpfr_exp_t emin_;
  mpfr_exp_t emax_;
  mpfr_t x_;
  mpfr_t y_;
};

inline double Ours(Trig f, double x) {
  switch (f) {
    case Trig::kSin:
      return SinCos(x).sin;
    case Trig::kCos:
      return SinCos(x).cos;
    default:
      return Atn(x);
  }
}

// How many doubles apart a and b are: 0 for the same bits, or for two NaNs.
inline std::uint64_t UlpsApart(double a, double b) {
  if (a != a || b != b) {
    return (a != a && b != b) ? 0 : UINT64_MAX;
  }
  const auto ordered = [](double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return (bits >> 63) != 0 ? 0x8000000000000000U - (bits & 0x7FFFFFFFFFFFFFFFU)
                             : 0x8000000000000000U + bits;
  };
  const std::uint64_t p = ordered(a);
  const std::uint64_t q = ordered(b);
  if (p == q) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ? 0 : 1;  // +0 and -0
  }
  return p > q ? p - q : q - p;
}

struct TrigReport {
  long count = 0;
  long mismatches = 0;             // not the correctly rounded result, where it must be
  long largeOffByOne = 0;          // |x| > 2^20, one ulp off: allowed
  std::vector<std::string> first;  // the first few mismatches
};

// Checks f on the first `count` arguments of the tests' sample.
inline TrigReport CheckAgainstMpfr(Trig f, long count) {
  Mpfr mpfr;
  TrigSample sample(f == Trig::kAtn ? TrigFunction::kAtn : TrigFunction::kSinCos,
                    f == Trig::kAtn ? 2 : 1);
  TrigReport r;
  for (; r.count < count; ++r.count) {
    const double x = sample.Next();
    const double ours = Ours(f, x);
    const double theirs = mpfr.Of(f, x);
    const std::uint64_t apart = UlpsApart(ours, theirs);
    if (apart == 0) {
      continue;
    }
    const bool large = f != Trig::kAtn && !(x > -0x1p20 && x < 0x1p20);
    if (large && apart == 1) {
      ++r.largeOffByOne;
      continue;
    }
    ++r.mismatches;
    if (r.first.size() < 10) {
      char line[160];
      std::snprintf(line, sizeof line, "%s(%a) = %a, correctly rounded %a", NameOf(f), x, ours,
                    theirs);
      r.first.emplace_back(line);
    }
  }
  return r;
}

}  // namespace kelvarin::testing
