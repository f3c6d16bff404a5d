// The battle allocates nothing while it runs: every global operator new is
// replaced by one that counts, and a few thousand ticks of a busy battle
// (presses of all buttons, a purge, automatic battles after the lulls) must
// leave the count at zero.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "sim/input.h"
#include "sim/random.h"
#include "sim/surface.h"
#include "sim/tick.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* Allocate(std::size_t size, std::size_t alignment = 0) {
  if (counting.load(std::memory_order_relaxed)) {
    allocations.fetch_add(1, std::memory_order_relaxed);
  }
  if (size == 0) size = 1;
  void* p = nullptr;
  if (alignment > alignof(std::max_align_t)) {
    // aligned_alloc wants a size that is a multiple of the alignment.
    p = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  } else {
    p = std::malloc(size);
  }
  return p;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = 0) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new(std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

int main() {
  using namespace kelvarin;

  // The counter itself must see an allocation, or the test proves nothing.
  counting = true;
  int* volatile probe = new int(7);
  delete probe;
  counting = false;
  if (allocations != 1) {
    std::fprintf(stderr, "no_alloc: the replaced operator new is not in use (%ld)\n",
                 allocations.load());
    return 1;
  }
  allocations = 0;

  BattleState state;
  NullSurface surface;
  BuiltinRandom random(42);
  World world{state, surface, random};

  constexpr int kTicks = 6000;
  int busiest = 0;
  int autoBattles = 0;
  counting = true;
  for (int tick = 1; tick <= kTicks; ++tick) {
    if (tick % 400 == 1) {
      // Three fleets, one per button, spread over the surface.
      const float x = static_cast<float>(100 + (tick * 7) % 600);
      pct_MouseDown(world, kButtonLeft, x, 300.0F, tick * 0.04);
      pct_MouseDown(world, kButtonRight, 800.0F - x, 150.0F, tick * 0.04 + 0.5);
      pct_MouseDown(world, kButtonMiddle, 400.0F, 450.0F, tick * 0.04 + 0.75);
    }
    if (tick == 4000) pct_KeyDown(state, kKeyEnter);
    const int idleBefore = state.IdleTicks;
    tmr_Timer(world);
    autoBattles += idleBefore == 149 && state.IdleTicks == 0 ? 1 : 0;
    if (state.AliveCount > busiest) busiest = state.AliveCount;
  }
  counting = false;

  std::printf("no_alloc: %d ticks, up to %d ships, %d automatic battles, %ld allocations\n", kTicks,
              busiest, autoBattles, allocations.load());
  // A run that never got busy or never reached a lull proves little.
  if (busiest < 15 || autoBattles == 0) {
    std::fprintf(stderr, "no_alloc: the battle never got busy (%d ships) or quiet (%d lulls)\n",
                 busiest, autoBattles);
    return 1;
  }
  return allocations == 0 ? 0 : 1;
}
