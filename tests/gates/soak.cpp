// A long unattended run of the real battle: a seeded generator, an injected
// time of day, random presses of all three buttons at random points (edges and
// corners included) and Enter at random moments, with every invariant checked
// after every tick. The battle is then run again from the same seeds and must
// come out identical.
//
//   soak [TICKS [SEED]]      TICKS defaults to $KELVARIN_SOAK_TICKS, else 200000
//
// On failure it prints the tick, the seed and the broken rule, and exits 1.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "battle_summary.h"
#include "invariants.h"
#include "sim/input.h"
#include "sim/random.h"
#include "sim/surface.h"
#include "sim/tick.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace {

using namespace kelvarin;

// Draws nothing, but insists that every call has finite arguments.
class CheckingSurface final : public Surface {
 public:
  void Line(float x1, float y1, float x2, float y2, Rgb) override {
    ++calls;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
      ++bad;
    }
  }
  void Circle(float x, float y, float radius, Rgb) override {
    ++calls;
    if (!std::isfinite(x) || !std::isfinite(y) || !(radius >= 0.0F && radius < 1e6F)) ++bad;
  }
  void Cls() override { ++calls; }

  std::uint64_t calls = 0;
  std::uint64_t bad = 0;
};

// How often the run reached the corners of the battle.
struct Stats {
  std::uint64_t purgesEnded = 0;
  std::uint64_t autoBattles = 0;
  std::uint64_t fullTableTicks = 0;
  std::uint64_t emptyTicks = 0;
};

constexpr std::uint64_t kCheckpointEvery = 1000;

// Runs `ticks` ticks; returns false (after printing why) when a rule breaks.
// Appends a state hash every kCheckpointEvery ticks to `checkpoints`.
bool Run(std::uint64_t ticks, std::uint64_t seed, Stats& stats,
         std::vector<std::uint64_t>& checkpoints) {
  BattleState state;
  CheckingSurface surface;
  BuiltinRandom random(seed);
  World world{state, surface, random};

  // The user's own dice, apart from the battle's generator.
  std::mt19937_64 user(seed * 0x9E3779B97F4A7C15ULL + 1);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  // Starts shortly before midnight so the time of day wraps early on.
  double clock = 86400.0 - 120.0;

  // The pace of input changes every few thousand ticks: from none at all
  // (lulls and automatic battles) to a press every few ticks (a full table).
  constexpr double kClickRates[] = {0.0, 0.0005, 0.005, 0.05, 0.3};
  constexpr double kEnterRates[] = {0.0, 0.0002, 0.002, 0.02};
  double clickRate = 0.0;
  double enterRate = 0.0;

  auto coordinate = [&](double extent) -> float {
    const double r = unit(user);
    if (r < 0.1) return 0.0F;
    if (r < 0.2) return static_cast<float>(extent);
    if (r < 0.25) return std::nextafter(static_cast<float>(extent), 0.0F);
    return static_cast<float>(unit(user) * extent);
  };

  for (std::uint64_t tick = 1; tick <= ticks; ++tick) {
    if (tick % 3000 == 1) {
      clickRate = kClickRates[user() % std::size(kClickRates)];
      enterRate = kEnterRates[user() % std::size(kEnterRates)];
    }
    // Presses and keys arrive between ticks, a few at a time at most.
    while (unit(user) < clickRate) {
      constexpr int kButtons[] = {kButtonLeft, kButtonRight, kButtonMiddle};
      const int b = static_cast<int>(user() % 3);
      const float x = coordinate(800.0);
      const float y = coordinate(600.0);
      pct_MouseDown(world, kButtons[b], x, y, clock);
    }
    if (unit(user) < enterRate) {
      if (pct_KeyDown(state, kKeyEnter) != KeyResult::Continue) {
        std::cerr << "soak: Enter asked the program to end\n";
        return false;
      }
    }
    if (unit(user) < 0.001) {
      // Any key but Escape and Enter is ignored.
      int code = static_cast<int>(user() % 256);
      if (code == kKeyEscape || code == kKeyEnter) code = 0;
      if (pct_KeyDown(state, code) != KeyResult::Continue) {
        std::cerr << "soak: key " << code << " asked the program to end\n";
        return false;
      }
    }

    const bool purging = state.PurgeFlag == kTrue;
    const int idleBefore = state.IdleTicks;
    tmr_Timer(world);
    clock += 0.04;
    if (clock >= 86400.0) clock -= 86400.0;

    const std::string broken = gates::BrokenInvariant(state);
    if (!broken.empty() || surface.bad != 0) {
      std::cerr << "soak: after tick " << tick << " (seed " << seed
                << "): " << (broken.empty() ? "a drawing call with a non-finite argument" : broken)
                << '\n';
      return false;
    }

    const int ships = testing::LiveShips(state);
    stats.fullTableTicks += ships == kShipSlots ? 1 : 0;
    stats.emptyTicks += ships == 0 ? 1 : 0;
    stats.purgesEnded += purging && state.PurgeFlag == kFalse ? 1 : 0;
    stats.autoBattles += idleBefore == 149 && state.IdleTicks == 0 ? 1 : 0;
    if (tick % kCheckpointEvery == 0) checkpoints.push_back(testing::Fingerprint(state));
  }
  return true;
}

std::uint64_t Parse(const char* text, const char* what) {
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') {
    std::cerr << "soak: " << what << " '" << text << "' is not a whole number\n";
    std::exit(2);
  }
  return v;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::uint64_t ticks = 200000;
  if (const char* env = std::getenv("KELVARIN_SOAK_TICKS"); env != nullptr && *env != '\0') {
    ticks = Parse(env, "KELVARIN_SOAK_TICKS");
  }
  if (argc > 1) ticks = Parse(argv[1], "tick count");
  const std::uint64_t seed = argc > 2 ? Parse(argv[2], "seed") : 20261208;

  const auto start = std::chrono::steady_clock::now();
  Stats stats;
  std::vector<std::uint64_t> checkpoints;
  if (!Run(ticks, seed, stats, checkpoints)) return 1;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // The same seeds must give the same battle: no uninitialised reads, no
  // hidden state carried between runs.
  const std::uint64_t replay = std::min<std::uint64_t>(ticks, 20000);
  Stats ignored;
  std::vector<std::uint64_t> again;
  if (!Run(replay, seed, ignored, again)) return 1;
  for (std::size_t i = 0; i < again.size(); ++i) {
    if (again[i] != checkpoints[i]) {
      std::cerr << "soak: the replay differs at tick " << (i + 1) * kCheckpointEvery << '\n';
      return 1;
    }
  }

  std::cout << "soak: " << ticks << " ticks in " << seconds << " s (seed " << seed << ")\n"
            << "  purges ended " << stats.purgesEnded << ", automatic battles " << stats.autoBattles
            << ", ticks with a full ship table " << stats.fullTableTicks << ", with no ship "
            << stats.emptyTicks << "\n  replayed " << replay << " ticks identically\n";

  // A soak that never reached the corners of the battle proves little.
  if (ticks >= 50000 && (stats.autoBattles == 0 || stats.purgesEnded == 0 ||
                         stats.fullTableTicks == 0 || stats.emptyTicks == 0)) {
    std::cerr << "soak: the run did not reach every kind of battle\n";
    return 1;
  }
  return 0;
}
