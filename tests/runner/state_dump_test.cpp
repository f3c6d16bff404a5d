#include <gtest/gtest.h>

#include "run_text.h"

namespace kelvarin {
namespace {

using test::Outcome;
using test::RunText;

// ---- State set and dumped.

// The script checks compare numbers by value; only here is their spelling checked.
TEST(ScriptDump, PrintsNonZeroSlotsInShortestFloatForm) {
  const Outcome r = RunText(
      "ship 3 x=-0 y=99999.999 heading=0.1 team=1\n"  // 99999.999 is in range, stored as 1e+05
      "ship 4 x=-0 heading=-0\n"                      // only zeros: not printed
      "ship 7 health=2 team=1\n"
      "ship 7 team=2\n"   // fields not named keep their values
      "part 0 x=1e-50\n"  // rounds to 0 as a float32: not printed
      "part 300 life=-0.5 angle=-0\n"
      "dump\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "ship 3 x=-0 y=1e+05 heading=0.1 target=0 health=0 team=1 size=0\n"
            "ship 7 x=0 y=0 heading=0 target=0 health=2 team=2 size=0\n"
            "part 300 x=0 y=0 angle=-0 life=-0.5\n"
            "state NextTeam=0 PurgeFlag=0 IdleTicks=0 EngagedCount=0 AliveCount=0 draws=0\n"
            "end\n");
}

}  // namespace
}  // namespace kelvarin
