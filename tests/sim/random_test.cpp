#include "sim/random.h"

#include <gtest/gtest.h>

#include "sim/world.h"

namespace kelvarin {
namespace {

TEST(BuiltinRandom, StaysInsideTheHalfOpenUnitInterval) {
  BuiltinRandom random(1);
  for (int n = 0; n < 100000; ++n) {
    const double r = random.Next();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    ASSERT_LE(static_cast<int>(r * 101), 100);
  }
}

TEST(BuiltinRandom, TheEngineExtremesStayInsideAndDrawEverySlot) {
  EXPECT_EQ(BuiltinRandom::FromEngineOutput(0), 0.0);
  const double largest = BuiltinRandom::FromEngineOutput(UINT64_MAX);
  EXPECT_LT(largest, 1.0);
  EXPECT_EQ(static_cast<int>(largest * 101), 100);
}

TEST(BuiltinRandom, SameSeedSameSequence) {
  BuiltinRandom a(42);
  BuiltinRandom b(42);
  for (int n = 0; n < 100; ++n) ASSERT_EQ(a.Next(), b.Next());
}

TEST(BuiltinRandom, ReseedsFromTheTimeOfDayWithSubSecondResolution) {
  EXPECT_EQ(BuiltinRandom::SeedForTimeOfDay(0.0), 0U);
  EXPECT_EQ(BuiltinRandom::SeedForTimeOfDay(1.5), 1500000U);
  EXPECT_NE(BuiltinRandom::SeedForTimeOfDay(36000.10), BuiltinRandom::SeedForTimeOfDay(36000.35));

  BuiltinRandom a;
  BuiltinRandom b;
  a.Reseed(36000.10);
  b.Reseed(36000.35);
  EXPECT_NE(a.Next(), b.Next());
  a.Reseed(36000.10);
  b.Reseed(36000.10);
  EXPECT_EQ(a.Next(), b.Next());
}

TEST(ScriptedRandom, HandsOutValuesInOrderThenThrows) {
  ScriptedRandom random{0.25, 0.5};
  random.Reseed(123.0);  // changes nothing
  EXPECT_EQ(random.Next(), 0.25);
  EXPECT_EQ(random.Next(), 0.5);
  EXPECT_THROW(random.Next(), RandomExhausted);
  EXPECT_EQ(random.Drawn(), 2U);
}

}  // namespace
}  // namespace kelvarin
