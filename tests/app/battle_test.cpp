// The battle a back-end holds: several in one process keep to themselves, and
// pixels lent by a screen take the same picture as pixels of its own.
#include "app/battle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "app/ambient_start.h"
#include "battle_summary.h"
#include "sim/input.h"

namespace kelvarin {
namespace {

// A screen that keeps the tiles it is handed, and lends pixels when asked.
class TestScreen final : public Screen {
 public:
  raster::PixelBuffer BeginDrawing() override { return lent; }
  void EndDrawing(std::span<const raster::PixelRect> tiles) override {
    shown.assign(tiles.begin(), tiles.end());
  }

  raster::PixelBuffer lent;
  std::vector<raster::PixelRect> shown;
};

std::vector<std::uint32_t> Pixels(const PixelSurface& surface) {
  std::vector<std::uint32_t> copy;
  const raster::PixelBuffer p = surface.pixels();
  for (int y = 0; y < p.height; ++y) {
    copy.insert(copy.end(), p.bits + static_cast<std::ptrdiff_t>(y) * p.stride,
                p.bits + static_cast<std::ptrdiff_t>(y) * p.stride + p.width);
  }
  return copy;
}

// What happens to a battle of seed `seed` on the way: a press at tick 60 and
// Enter at tick 390, the ambient start on the seed.
void Step(Battle& battle, TestScreen& screen, int tick) {
  if (tick == 60) {
    battle.Press(kButtonLeft, 100, 50, 320, 200, 4321.5);
  }
  if (tick == 390) {
    EXPECT_FALSE(battle.Key(kKeyEnter));
  }
  battle.Tick(screen);
}

TEST(BattleTest, BattlesTickedInTurnMatchLoneBattles) {
  constexpr int kTicks = 400;
  const auto lone = [](std::uint64_t seed, int width, int height) {
    auto battle = std::make_unique<Battle>(Battle::Pixels::Own);
    battle->Resize(width, height);
    battle->StartAmbientFromSeed(seed);
    TestScreen screen;
    for (int tick = 0; tick < kTicks; ++tick) Step(*battle, screen, tick);
    return battle;
  };
  const auto first = lone(315, 640, 480);
  const auto second = lone(7, 320, 200);
  ASSERT_NE(testing::Fingerprint(first->state()), testing::Fingerprint(second->state()));

  Battle a(Battle::Pixels::Own);
  Battle b(Battle::Pixels::Own);
  a.Resize(640, 480);
  b.Resize(320, 200);
  a.StartAmbientFromSeed(315);
  b.StartAmbientFromSeed(7);
  TestScreen screen;
  for (int tick = 0; tick < kTicks; ++tick) {
    Step(a, screen, tick);
    Step(b, screen, tick);
  }
  EXPECT_EQ(testing::Fingerprint(a.state()), testing::Fingerprint(first->state()));
  EXPECT_EQ(testing::Fingerprint(b.state()), testing::Fingerprint(second->state()));
  EXPECT_EQ(Pixels(a.surface()), Pixels(first->surface()));
  EXPECT_EQ(Pixels(b.surface()), Pixels(second->surface()));
  EXPECT_EQ(a.ticks(), kTicks);
  EXPECT_GT(testing::LiveShips(a.state()), 0);
}

// Lent pixels are cleared when they are next lent after a resize, and the
// screen is handed every tile that changed.
TEST(BattleTest, LentPixelsTakeTheSamePicture) {
  constexpr int kWidth = 200;
  constexpr int kHeight = 150;
  Battle own(Battle::Pixels::Own);
  Battle lent(Battle::Pixels::Lent);
  own.Resize(kWidth, kHeight);
  lent.Resize(kWidth, kHeight);
  EXPECT_TRUE(lent.clearPending());
  own.StartAmbientFromSeed(99);
  lent.StartAmbientFromSeed(99);

  // The lent pixels start as junk, and so does a copy the screen keeps of
  // every tile it is handed: both must become the picture.
  std::vector<std::uint32_t> memory(kWidth * kHeight, 0xFF123456U);
  std::vector<std::uint32_t> screenCopy(kWidth * kHeight, 0xFF654321U);
  TestScreen screen;
  screen.lent = {memory.data(), kWidth, kHeight, kWidth};
  TestScreen ownScreen;
  for (int tick = 0; tick < 200; ++tick) {
    own.Tick(ownScreen);
    lent.Tick(screen);
    for (const raster::PixelRect& r : screen.shown) {
      for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
          screenCopy[y * kWidth + x] = memory[y * kWidth + x];
        }
      }
    }
  }
  EXPECT_FALSE(lent.clearPending());
  EXPECT_EQ(memory, Pixels(own.surface()));
  EXPECT_EQ(screenCopy, memory);
  EXPECT_EQ(lent.surface().pixels().bits, nullptr);  // taken back after each tick
}

// Screens started together: the first shows the lone battle of the time of
// day, and no two show the same battle.
TEST(BattleTest, ScreensStartedTogetherEachShowTheirOwnBattle) {
  constexpr double kTimeOfDay = 45296.125;
  const std::uint64_t first = BuiltinRandom::SeedForTimeOfDay(kTimeOfDay);
  TestScreen screen;
  const auto fingerprintAfter = [&screen](Battle& battle) {
    battle.Resize(64, 48);
    for (int tick = 0; tick < 30; ++tick) battle.Tick(screen);
    EXPECT_GT(testing::LiveShips(battle.state()), 0);
    return testing::Fingerprint(battle.state());
  };
  Battle lone(Battle::Pixels::Own);
  lone.StartAmbient(kTimeOfDay);
  std::vector<std::uint64_t> seen;
  for (int i = 0; i < 4; ++i) {
    Battle battle(Battle::Pixels::Own);
    battle.StartAmbientFromSeed(ScreenSeed(first, i));
    seen.push_back(fingerprintAfter(battle));
  }
  EXPECT_EQ(seen[0], fingerprintAfter(lone));
  for (std::size_t a = 0; a < seen.size(); ++a) {
    for (std::size_t b = a + 1; b < seen.size(); ++b) EXPECT_NE(seen[a], seen[b]);
  }
}

}  // namespace
}  // namespace kelvarin
