// The battle's sine and cosine (one call gives both) and arctangent, against
// the C library's, on arguments the battle uses: float headings and bearings'
// ratios.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sim/maths.h"
#include "trig_sample.h"

namespace kelvarin::bench {
namespace {

std::vector<double> Arguments(testing::TrigFunction f) {
  testing::TrigSample sample(f, 7);
  std::vector<double> out;
  for (int n = 0; n < 100000; ++n) {
    const double x = sample.Next();
    // The battle's own: headings within a turn or so, ratios of positions.
    if (n >= 200 && (n % 100) < (f == testing::TrigFunction::kSinCos ? 70 : 40)) {
      out.push_back(x);
    }
  }
  return out;
}

template <class F>
void Each(benchmark::State& state, testing::TrigFunction f, F call) {
  const std::vector<double> xs = Arguments(f);
  for (auto _ : state) {
    for (const double x : xs) {
      benchmark::DoNotOptimize(call(x));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(xs.size()));
}

void BM_SinCos(benchmark::State& state) {
  Each(state, testing::TrigFunction::kSinCos, [](double x) { return SinCos(x); });
}
void BM_LibrarySinCos(benchmark::State& state) {
  Each(state, testing::TrigFunction::kSinCos, [](double x) { return std::sin(x) + std::cos(x); });
}
void BM_Atn(benchmark::State& state) {
  Each(state, testing::TrigFunction::kAtn, [](double x) { return Atn(x); });
}
void BM_LibraryAtan(benchmark::State& state) {
  Each(state, testing::TrigFunction::kAtn, [](double x) { return std::atan(x); });
}

BENCHMARK(BM_SinCos)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibrarySinCos)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Atn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryAtan)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelvarin::bench
