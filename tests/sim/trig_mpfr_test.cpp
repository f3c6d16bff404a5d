// The battle's trigonometry (sim/maths.h) against MPFR, which rounds
// correctly: 10 million arguments of the tests' sample for each function
// (KELVARIN_TRIG_SAMPLES asks for another count), the precise path alone on
// arguments of every magnitude, and every constant of the tables. Release
// build only: it takes about a minute there. bench/trig_accuracy runs longer.
#include "trig_mpfr.h"

#include <gmp.h>
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>

#include "sim/trig_detail.h"
#include "sim/trig_precise.h"

namespace kelvarin::testing {
namespace {

long SampleCount() {
  const char* text = std::getenv("KELVARIN_TRIG_SAMPLES");
  return text != nullptr ? std::strtol(text, nullptr, 10) : 10000000;
}

void ExpectCorrectlyRounded(Trig f) {
  const TrigReport r = CheckAgainstMpfr(f, SampleCount());
  std::printf("%s: %ld arguments, %ld not correctly rounded, %ld one ulp off beyond 2^20\n",
              NameOf(f), r.count, r.mismatches, r.largeOffByOne);
  EXPECT_EQ(r.mismatches, 0);
  for (const std::string& line : r.first) {
    ADD_FAILURE() << line;
  }
}

TEST(TrigMpfr, Sine) { ExpectCorrectlyRounded(Trig::kSin); }
TEST(TrigMpfr, Cosine) { ExpectCorrectlyRounded(Trig::kCos); }
TEST(TrigMpfr, Arctangent) { ExpectCorrectlyRounded(Trig::kAtn); }

// A high-precision number and its rounding to one double, or to two.
class Exact {
 public:
  Exact() { mpfr_init2(v_, 2048); }
  ~Exact() { mpfr_clear(v_); }
  Exact(const Exact&) = delete;
  Exact& operator=(const Exact&) = delete;
  mpfr_ptr get() { return v_; }
  double Hi() { return mpfr_get_d(v_, MPFR_RNDN); }
  double Lo() {
    Exact rest;
    mpfr_sub_d(rest.get(), v_, Hi(), MPFR_RNDN);
    return rest.Hi();
  }
  // The 32 bits of the binary fraction after position 32 w (w = 0: the integer part).
  std::uint32_t Word(int w) {
    Exact t;
    mpfr_mul_2si(t.get(), v_, 32 * w, MPFR_RNDN);
    mpfr_floor(t.get(), t.get());
    mpfr_fmod_ui(t.get(), t.get(), 0x100000000U, MPFR_RNDN);
    return static_cast<std::uint32_t>(mpfr_get_ui(t.get(), MPFR_RNDN));
  }

 private:
  mpfr_t v_;
};

TEST(TrigMpfr, Tables) {
  using namespace trig_detail;
  Exact pi;
  mpfr_const_pi(pi.get(), MPFR_RNDN);
  Exact x;
  mpfr_t part;
  mpfr_init2(part, 26);
  for (int i = 0; i <= 256; ++i) {
    mpfr_mul_si(x.get(), pi.get(), i, MPFR_RNDN);
    mpfr_div_ui(x.get(), x.get(), 512, MPFR_RNDN);
    mpfr_sin(x.get(), x.get(), MPFR_RNDN);
    EXPECT_EQ(kSinTable[i][0], x.Hi()) << i;
    EXPECT_EQ(kSinTable[i][1], x.Lo()) << i;
    mpfr_set_d(part, x.Hi(), MPFR_RNDN);  // hi to 26 bits, and the rest
    EXPECT_EQ(kSinTable[i][2], mpfr_get_d(part, MPFR_RNDN)) << i;
    EXPECT_EQ(kSinTable[i][3], x.Hi() - kSinTable[i][2]) << i;
  }
  for (int i = 0; i <= 128; ++i) {
    mpfr_set_si(x.get(), i, MPFR_RNDN);
    mpfr_div_ui(x.get(), x.get(), 128, MPFR_RNDN);
    mpfr_atan(x.get(), x.get(), MPFR_RNDN);
    EXPECT_EQ(kAtanTable[i][0], x.Hi()) << i;
    EXPECT_EQ(kAtanTable[i][1], x.Lo()) << i;
  }
  mpfr_ui_div(x.get(), 2, pi.get(), MPFR_RNDN);
  for (int w = 0; w < 56; ++w) {
    EXPECT_EQ(kTwoOverPi[w], x.Word(w + 1)) << w;
  }
  Exact halfPi;
  mpfr_div_ui(halfPi.get(), pi.get(), 2, MPFR_RNDN);
  for (int w = 0; w < 20; ++w) {
    EXPECT_EQ(kHalfPi[w], halfPi.Word(w)) << w;
  }
  EXPECT_EQ(kHalfPiHi, halfPi.Hi());
  EXPECT_EQ(kHalfPiLo, halfPi.Lo());
  // The parts: 25 bits, 25 bits, then the rest rounded.
  mpfr_set_prec(part, 25);
  mpfr_set(x.get(), halfPi.get(), MPFR_RNDN);
  for (int k = 0; k < 2; ++k) {
    mpfr_set(part, x.get(), MPFR_RNDN);
    EXPECT_EQ(kHalfPiPart[k], mpfr_get_d(part, MPFR_RNDN)) << k;
    mpfr_sub(x.get(), x.get(), part, MPFR_RNDN);
  }
  mpfr_clear(part);
  EXPECT_EQ(kHalfPiPart[2], x.Hi());
  mpfr_ui_div(x.get(), 512, pi.get(), MPFR_RNDN);
  EXPECT_EQ(kStepsPerRadian, x.Hi());
}

// The precise path on its own, which the sample reaches only where the fast
// path is unsure and beyond 2^20: arguments of every magnitude it takes, and
// for atan starting points up to 2^-61 off.
TEST(TrigMpfr, PrecisePath) {
  Mpfr mpfr;
  SplitMix random(12345);
  int wrong = 0;
  for (int n = 0; n < 100000; ++n) {
    const double x = n % 2 == 0 ? random.WithExponent(-27, 1023) : random.WithExponent(-27, 24);
    const SineCosine p = trig_detail::PreciseSinCos(x, true, true);
    const double y = random.WithExponent(-27, 52);
    const double approx = mpfr.Of(Trig::kAtn, y < 0 ? -y : y);
    const double off = approx * 0x1p-62 * (static_cast<double>(random.Bits() >> 11) * 0x1p-52 - 1);
    const double a = trig_detail::PreciseAtn(y, approx, off);
    for (const auto& [f, arg, ours] :
         {std::tuple{Trig::kSin, x, p.sin}, std::tuple{Trig::kCos, x, p.cos},
          std::tuple{Trig::kAtn, y, a}}) {
      const double theirs = mpfr.Of(f, arg);
      if (UlpsApart(ours, theirs) != 0 && ++wrong <= 10) {
        ADD_FAILURE() << NameOf(f) << "(" << std::hexfloat << arg << ") = " << ours
                      << ", correctly rounded " << theirs;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace kelvarin::testing
