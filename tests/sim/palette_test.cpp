#include "sim/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "sim/particles.h"
#include "sim/tick.h"

namespace kelvarin {
namespace {

// Remembers the colours drawn that are not in the palette.
class PaletteCheck final : public Surface {
 public:
  void Line(float, float, float, float, Rgb colour) override { Check(colour); }
  void Circle(float, float, float, Rgb colour) override { Check(colour); }
  void Cls() override {}

  std::vector<Rgb> missing;

 private:
  void Check(Rgb colour) {
    if (std::find(palette_.begin(), palette_.end(), colour) == palette_.end()) {
      missing.push_back(colour);
    }
  }
  std::vector<Rgb> palette_ = ColoursInPlay();
};

TEST(ColoursInPlay, HoldEveryColourThatBattlesDraw) {
  for (const std::uint64_t seed : {1, 2, 3, 4, 5, 6}) {
    BattleState state;
    PaletteCheck surface;
    BuiltinRandom random(seed);
    World world{state, surface, random};
    for (int tick = 0; tick < 5000; ++tick) {
      tmr_Timer(world);
    }
    EXPECT_TRUE(surface.missing.empty()) << "seed " << seed;
  }
}

TEST(ColoursInPlay, HoldEveryShadeOfDebris) {
  const std::vector<Rgb> palette = ColoursInPlay();
  EXPECT_EQ(palette.front(), kBlack);
  std::mt19937 engine(7);
  std::uniform_real_distribution<float> life(0.0F, 16.0F);
  for (int k = 0; k < 100000; ++k) {
    const float l = k == 0 ? 16.0F : k == 1 ? 1e-30F : life(engine);
    const Rgb shade = ParticleColour(l);
    EXPECT_NE(std::find(palette.begin(), palette.end(), shade), palette.end()) << "life " << l;
  }
}

}  // namespace
}  // namespace kelvarin
