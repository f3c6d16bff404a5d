// The long accuracy run of the battle's trigonometry: the tests' sample
// (tests/support/trig_sample.h) continued far beyond the 10 million
// arguments that trig_mpfr_test checks, each result against MPFR's.
//   build/bench/bench/kelvarin_trig_accuracy [sin|cos|atan] [COUNT]   (sin, 10^9)
// Prints the count, the results not correctly rounded (and those one ulp off
// beyond 2^20, which is allowed) and the time; status 1 when any is wrong.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "trig_mpfr.h"

int main(int argc, char** argv) {
  using kelvarin::testing::Trig;
  const std::string name = argc > 1 ? argv[1] : "sin";
  const long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 1000000000;
  Trig f = Trig::kSin;
  if (name == "cos") {
    f = Trig::kCos;
  } else if (name == "atan") {
    f = Trig::kAtn;
  } else if (name != "sin" || count <= 0) {
    std::fprintf(stderr, "usage: kelvarin_trig_accuracy [sin|cos|atan] [COUNT]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const kelvarin::testing::TrigReport r = kelvarin::testing::CheckAgainstMpfr(f, count);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%s: %ld arguments, %ld not correctly rounded, %ld one ulp off beyond 2^20, %.0f s\n",
              name.c_str(), r.count, r.mismatches, r.largeOffByOne, took.count());
  for (const std::string& line : r.first) {
    std::printf("  %s\n", line.c_str());
  }
  return r.mismatches == 0 ? 0 : 1;
}
