#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "run_text.h"
#include "runner/script_runner.h"
#include "runner/stream_io.h"
#include "temp_dir.h"

namespace kelvarin {
namespace {

using test::kEmptyDump;
using test::Outcome;
using test::RunText;
using test::TempDir;

// ---- Errors: each row of the error table, and that a rejected line changes
// nothing.

TEST(ScriptErrors, UnknownCommandNamesItAndStopsTheRun) {
  const Outcome r = RunText("# header\n\nset IdleTicks 3\nTick\ndump\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "error: line 4: unknown command 'Tick'\n");
  EXPECT_EQ(r.out, "");
}

// Runs `line` then `dump`, and checks that the line was rejected with status
// 2 and an error naming line 1, before anything was printed; gives the error
// after "error: line 1: ".
std::string Rejected(const std::string& line) {
  const Outcome r = RunText(line + "\ndump\n");
  EXPECT_EQ(r.status, 2) << line;
  EXPECT_EQ(r.out, "") << line;
  const std::string_view prefix = "error: line 1: ";
  EXPECT_TRUE(r.err.starts_with(prefix)) << line << ": " << r.err;
  return r.err.substr(std::min(prefix.size(), r.err.size()));
}

TEST(ScriptErrors, WrongArgumentCounts) {
  // Each command with one argument too few and one too many.
  const char* const lines[] = {"tick 1 2",
                               "click 1",
                               "click 1 2 1 1",
                               "key",
                               "key 13 13",
                               "random",
                               "random-file",
                               "random-file a b",
                               "seed",
                               "seed 1 2",
                               "clock",
                               "clock 1 2",
                               "ship",
                               "ship 1",
                               "part 1",
                               "set NextTeam",
                               "set NextTeam 1 2",
                               "draw",
                               "draw on off",
                               "dump now",
                               "surface 100",
                               "surface 100 100 100",
                               "png",
                               "png a.png b.png",
                               "gif",
                               "gif a b"};
  for (const std::string_view line : lines) {
    const std::string quoted = std::string(1, '\'').append(line.substr(0, line.find(' '))) + '\'';
    EXPECT_TRUE(Rejected(std::string(line)).starts_with(quoted)) << line;
  }
  EXPECT_EQ(RunText("tick 1 2\n").err,
            "error: line 1: 'tick' has an extra argument '2' (tick [N])\n");
}

TEST(ScriptErrors, MalformedNumbersNameTheToken) {
  for (const auto& [line, token] :
       std::initializer_list<std::pair<const char*, const char*>>{{"tick 1.0", "1.0"},
                                                                  {"clock nan", "nan"},
                                                                  {"click 1,5 2", "1,5"},
                                                                  {"random 0.5 0x0.8p0", "0x0.8p0"},
                                                                  {"ship 1 x=", ""},
                                                                  {"ship 1 target=1.5", "1.5"},
                                                                  {"part 2 life=-", "-"},
                                                                  {"seed 1e3", "1e3"},
                                                                  {"key +", "+"},
                                                                  {"set IdleTicks 1.", "1."},
                                                                  {"surface 64.0 64", "64.0"},
                                                                  {"click 1 1 left", "left"}}) {
    const std::string quoted = std::string(1, '\'').append(token).append("' is not");
    EXPECT_NE(Rejected(line).find(quoted), std::string::npos) << line;
  }
}

TEST(ScriptErrors, ValuesOutOfRange) {
  for (const char* line : {"tick 0",
                           "tick 1000000001",
                           "click 800.0001 0",
                           "click 0 -1e-300",
                           "click 1 600.00000001",
                           "click 1 1 3",
                           "click 1 1 0",
                           "click 1 1 8",
                           "key 256",
                           "key -1",
                           "random 1",
                           "random 0.5 -0.1",
                           "random 1e999",
                           "seed -1",
                           "seed 18446744073709551616",
                           "clock 86400",
                           "clock -0.001",
                           "ship 101 x=1",
                           "ship -1 x=1",
                           "ship 0 x=100000.001",
                           "ship 0 y=-100000.001",
                           "ship 0 heading=100.1",
                           "ship 0 target=101",
                           "ship 0 health=32768",
                           "ship 0 health=-1",
                           "ship 0 team=3",
                           "ship 0 size=4",
                           "ship 0 size=6",
                           "part 301 x=1",
                           "part 0 angle=-100.5",
                           "part 0 life=1e3",
                           "set NextTeam 3",
                           "set PurgeFlag 1",
                           "set PurgeFlag -2",
                           "set IdleTicks 150",
                           "surface 15 600",
                           "surface 800 8193"}) {
    Rejected(line);
  }
}

TEST(ScriptErrors, RangeEndsAreInside) {
  const Outcome r = RunText(
      "tick 1\nclick 800 600 4\nclick 0 0 2\nkey 255\nkey 0\nseed 18446744073709551615\n"
      "clock 86399.999\nship 100 x=-100000 y=100000 heading=-100 target=100 health=32767\n"
      "part 300 x=-100000 angle=100 life=-100\nset PurgeFlag -1\nset IdleTicks 149\n"
      "surface 16 8192\nrandom 0 0.99999999999999989\n"
      "ship 99 x=100000.000000000001\n");  // over as written, 100000 as read
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(ScriptErrors, UnknownFieldsAndScalars) {
  EXPECT_EQ(RunText("ship 1 speed=3\n").err,
            "error: line 1: unknown ship field 'speed' in 'speed=3'\n");
  EXPECT_EQ(RunText("part 1 team=1\n").err,
            "error: line 1: unknown part field 'team' in 'team=1'\n");
  EXPECT_EQ(RunText("ship 1 x5\n").err, "error: line 1: 'x5' is not FIELD=VALUE\n");
  // Names are case-sensitive, and control bytes are neither dropped nor blanks.
  using namespace std::string_literals;
  for (const std::string& line :
       {"ship 1 X=3"s, "set nextteam 1"s, "draw yes"s, "ti\0ck"s, "dump \x01"s}) {
    Rejected(line);
  }
}

// Runs `setup`, then `bad` (which must be rejected with status 2), and checks
// that the state and the generator are exactly as before.
void ExpectRejectedWithoutEffect(std::string_view setup, std::string_view bad) {
  std::ostringstream out;
  std::ostringstream err;
  StreamOutput outText(out);
  StreamOutput errText(err);
  ScriptSession session(outText, errText);
  std::uint64_t line = 0;
  std::istringstream lines{std::string(setup)};
  for (std::string text; std::getline(lines, text);) {
    ASSERT_FALSE(session.RunLine(text, ++line)) << text;
  }
  ASSERT_EQ(session.RunLine("dump", ++line), std::nullopt);
  const std::string before = out.str();
  out.str("");
  EXPECT_EQ(session.RunLine(bad, ++line), 2) << bad;
  EXPECT_EQ(out.str(), "") << bad;
  ASSERT_EQ(session.RunLine("dump", ++line), std::nullopt);
  EXPECT_EQ(out.str(), before) << bad;
}

TEST(ScriptErrors, RejectedLineChangesNothing) {
  const char* setup = "ship 1 x=5 y=6 heading=1 target=2 health=3 team=1 size=1\npart 2 life=4";
  ExpectRejectedWithoutEffect(setup, "ship 1 x=7 x=8");
  ExpectRejectedWithoutEffect(setup, "ship 1 x=7 health=9 team=9");
  ExpectRejectedWithoutEffect(setup, "ship 1 y=1 colour=2");
  ExpectRejectedWithoutEffect(setup, "part 2 life=1 x=2 life=3");
  ExpectRejectedWithoutEffect(setup, "part 2 x=1 y=zz");
}

// ---- The picture.

// A build that writes no pictures runs everything else and answers the
// picture lines, whatever their arguments, as lines it cannot run.
TEST(ScriptPictures, WithoutPictureFilesPngAndGifAreLineErrors) {
  TempDir dir;
  for (const std::string& line : {"png " + dir.File("a.png"), "gif " + dir.File("a.gif"),
                                  std::string("gif stop"), std::string("png")}) {
    const std::string command = line.substr(0, line.find(' '));
    const Outcome r = RunText("dump\n" + line + "\ndump\n");
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_EQ(r.out, std::string(kEmptyDump)) << line;
    EXPECT_EQ(r.err,
              "error: line 2: '" + command + "': this build of kelvarin writes no pictures\n");
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

// ---- Options a fuzzer narrows.

TEST(ScriptOptionsTest, LimitsNarrowTheRanges) {
  ScriptOptions small;
  small.maxTicksPerLine = 10;
  small.maxSurfaceSide = 64;
  EXPECT_EQ(RunText("tick 10\nsurface 64 64\n", small).status, 0);
  EXPECT_EQ(RunText("tick 11\n", small).status, 2);
  EXPECT_EQ(RunText("surface 65 64\n", small).status, 2);
}

}  // namespace
}  // namespace kelvarin
