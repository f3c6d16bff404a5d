// Hashes the battle's sine, cosine and arctangent over the tests' sample of
// arguments (tests/support/trig_sample.h), so that builds for other platforms
// can be compared with the native one, whose results the MPFR test checks:
//   trig_sample [COUNT]    (10,000,000 arguments for each; prints three lines)
#include "trig_sample.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sim/maths.h"

namespace {

// FNV-1a over the results' bits, every NaN counted as one.
class Hash {
 public:
  void Add(double v) {
    const std::uint64_t bits = v != v ? 0x7FF8000000000000U : __builtin_bit_cast(std::uint64_t, v);
    for (int b = 0; b < 64; b += 8) {
      value_ = (value_ ^ ((bits >> b) & 0xFF)) * 0x100000001B3U;
    }
  }
  unsigned long long value() const { return value_; }

 private:
  std::uint64_t value_ = 0xCBF29CE484222325U;
};

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000000;
  if (count <= 0) {
    std::fprintf(stderr, "usage: trig_sample [COUNT]\n");
    return 2;
  }
  using kelvarin::testing::TrigFunction;
  using kelvarin::testing::TrigSample;
  Hash sine;
  Hash cosine;
  TrigSample angles(TrigFunction::kSinCos, 1);
  for (long n = 0; n < count; ++n) {
    const kelvarin::SineCosine r = kelvarin::SinCos(angles.Next());
    sine.Add(r.sin);
    cosine.Add(r.cos);
  }
  Hash arctangent;
  TrigSample ratios(TrigFunction::kAtn, 2);
  for (long n = 0; n < count; ++n) {
    arctangent.Add(kelvarin::Atn(ratios.Next()));
  }
  std::printf("sin %ld %016llx\ncos %ld %016llx\natan %ld %016llx\n", count, sine.value(), count,
              cosine.value(), count, arctangent.value());
  return 0;
}
