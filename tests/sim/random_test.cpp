#include "sim/random.h"

#include <gtest/gtest.h>

namespace kelvarin {
namespace {

TEST(BuiltinRandom, TheEngineExtremesStayInsideAndDrawEverySlot) {
  EXPECT_EQ(BuiltinRandom::FromEngineOutput(0), 0.0);
  const double largest = BuiltinRandom::FromEngineOutput(UINT64_MAX);
  EXPECT_LT(largest, 1.0);
  EXPECT_EQ(static_cast<int>(largest * 101), 100);
}

TEST(BuiltinRandom, ReseedsFromTheTimeOfDayWithSubSecondResolution) {
  EXPECT_EQ(BuiltinRandom::SeedForTimeOfDay(0.0), 0U);
  EXPECT_EQ(BuiltinRandom::SeedForTimeOfDay(-1.0), 0U);
  EXPECT_EQ(BuiltinRandom::SeedForTimeOfDay(1.5), 1500000U);
  EXPECT_NE(BuiltinRandom::SeedForTimeOfDay(36000.10), BuiltinRandom::SeedForTimeOfDay(36000.35));

  BuiltinRandom reseeded(7);
  reseeded.Next();
  reseeded.Reseed(1.5);
  BuiltinRandom fresh(1500000);
  EXPECT_EQ(reseeded.Next(), fresh.Next());
}

TEST(ScriptedRandom, DropNewestTakesBackOnlyTheLastAppended) {
  ScriptedRandom random{0.25, 0.5};
  random.Append(0.75);
  random.DropNewest(2);
  EXPECT_EQ(random.Remaining(), 1U);
  EXPECT_EQ(random.Next(), 0.25);
  random.DropNewest(5);  // more than wait: all of them
  EXPECT_EQ(random.Remaining(), 0U);
  EXPECT_THROW(random.Next(), RandomExhausted);
}

}  // namespace
}  // namespace kelvarin
