#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <thread>

#include "runner/script_runner.h"
#include "runner/stream_io.h"
#include "state/battle_state.h"
#include "temp_dir.h"

namespace kelvarin {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunText(std::string_view script, const ScriptOptions& options = {}) {
  std::istringstream in{std::string(script)};
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunScript(in, out, err, options);
  return {status, out.str(), err.str()};
}

using test::TempDir;

// What `dump` prints for a run that has changed nothing.
constexpr std::string_view kEmptyDump =
    "state NextTeam=0 PurgeFlag=0 IdleTicks=0 EngagedCount=0 AliveCount=0 draws=0\nend\n";

// ---- Errors: each row of the error table, and that a rejected line changes
// nothing.

TEST(ScriptErrors, UnreadableScriptIsAFileError) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunScriptFile("/nonexistent/battle.kvs", out, err), 1);
  EXPECT_EQ(err.str(), "error: /nonexistent/battle.kvs: No such file or directory\n");

  TempDir dir;
  err.str("");
  EXPECT_EQ(RunScriptFile(dir.path(), out, err), 1);
  EXPECT_EQ(err.str(), "error: " + dir.path() + ": Is a directory\n");
  EXPECT_EQ(out.str(), "");
}

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

TEST(ScriptErrors, RejectedRandomLineDoesNotSwitchToScriptedValues) {
  // Had the bad line switched to the (empty) queue, the click would fail.
  std::ostringstream out;
  std::ostringstream err;
  StreamOutput outText(out);
  StreamOutput errText(err);
  ScriptSession session(outText, errText);
  EXPECT_EQ(session.RunLine("random 0.5 1.0", 1), 2);
  EXPECT_EQ(session.RunLine("click 100 100", 2), std::nullopt) << err.str();
  EXPECT_EQ(session.state().AliveCount, 0);
  EXPECT_GT(session.draws(), 0U);
}

// An output that takes `room` bytes, then fails as a full disk does.
class FullAfter : public std::streambuf {
 public:
  explicit FullAfter(std::size_t room) : room_(room) {}
  std::string taken;

 protected:
  int_type overflow(int_type c) override {
    if (taken.size() >= room_) {
      errno = ENOSPC;
      return traits_type::eof();
    }
    taken += traits_type::to_char_type(c);
    return c;
  }

 private:
  std::size_t room_;
};

TEST(ScriptErrors, OutputThatCannotBeWrittenIsAFileError) {
  const std::string dump(kEmptyDump);
  for (const std::string second : {"dump", "draw on\ntick 100000"}) {
    SCOPED_TRACE(second);
    FullAfter full(dump.size());
    std::ostream out(&full);
    std::ostringstream err;
    std::istringstream in("dump\n" + second + "\nseed 1\n");
    EXPECT_EQ(RunScript(in, out, err), 1);
    EXPECT_EQ(err.str(), "error: standard output: No space left on device\n");
    EXPECT_EQ(full.taken, dump);  // the line before the failing one has run and printed
  }
}

// ---- Lines and parsing.

TEST(ScriptLines, CommentsBlanksTabsAndCrlf) {
  const Outcome r = RunText(
      "# a comment\r\n\r\n   \t\r\n\tset\tNextTeam  2 # trailing\r\nset IdleTicks 7#tight\r\n"
      "dump#no space\r\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "state NextTeam=2 PurgeFlag=0 IdleTicks=7 EngagedCount=0 AliveCount=0 draws=0\nend\n");
}

TEST(ScriptLines, LinesUpTo64KiBRunLongerOnesAreRejected) {
  std::string values = "random";
  while (values.size() + 4 <= kScriptMaxLineBytes) {
    values += " 0.5";
  }
  values.resize(kScriptMaxLineBytes, ' ');
  const Outcome r = RunText(values + "\nclick 100 100\ndump\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("draws=16"), std::string::npos) << r.out;

  const std::string comment = "#" + std::string(kScriptMaxLineBytes, 'x');  // one byte over
  const Outcome over = RunText("dump\n" + comment + "\ndump\n");
  EXPECT_EQ(over.status, 2);
  EXPECT_EQ(over.err, "error: line 2: longer than 65536 bytes\n");
  EXPECT_EQ(over.out, kEmptyDump);
}

TEST(ScriptLines, AnEndlessLineIsRejectedAt64KiB) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunScriptFile("/dev/zero", out, err), 2);
  EXPECT_EQ(err.str(), "error: line 1: longer than 65536 bytes\n");
}

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

// ---- The generator.

std::string DumpAfter(std::string_view script) {
  const Outcome r = RunText(std::string(script) + "\ndump\n");
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

TEST(ScriptRandomness, BuiltInGeneratorIsSeeded) {
  EXPECT_NE(DumpAfter("seed 7\ntick 150"), DumpAfter("seed 8\ntick 150"));
  EXPECT_EQ(DumpAfter("tick 150"), DumpAfter("seed 5489\ntick 150"));  // the default seed
}

TEST(ScriptRandomness, ClickReseedsFromTheClock) {
  // The click re-seeds, so an earlier seed does not matter; the clock does.
  EXPECT_EQ(DumpAfter("seed 1\nclick 100 100"), DumpAfter("seed 2\nclick 100 100"));
  EXPECT_EQ(DumpAfter("clock 0\nclick 100 100"), DumpAfter("click 100 100"));
  EXPECT_NE(DumpAfter("clock 1.5\nclick 100 100"), DumpAfter("clock 2\nclick 100 100"));
  // Microseconds are the seed: a tenth of a microsecond makes no difference.
  EXPECT_EQ(DumpAfter("clock 1.5\nclick 100 100"), DumpAfter("clock 1.50000001\nclick 100 100"));
}

TEST(ScriptRandomness, QueuedValuesIgnoreReseeding) {
  const std::string queue =
      "random 0.25 0.1 0.9 0.9 0.2 0.5 0.5 0.3 0.1 0.2 0.4 0.7 0.8 0.99 0.1 0.1\n";
  EXPECT_EQ(DumpAfter(queue + "seed 3\nclock 7\nclick 400 300"),
            DumpAfter(queue + "click 400 300"));
}

// ---- random-file.

TEST(ScriptRandomFile, ReadsValuesWithComments) {
  TempDir dir;
  const std::string file =
      dir.File("values.txt",
               "# queued\n0.25\t0.1 0.9 0.9  # first ship\n\n0.2 0.5 0.5\r\n0.3 "
               "0.1 0.2 0.4 0.7 0.8 0.99 0.1 0.1");
  const std::string inline_ = DumpAfter(
      "random 0.25 0.1 0.9 0.9 0.2 0.5 0.5 0.3 0.1 0.2 0.4 0.7 0.8 0.99 0.1 0.1\n"
      "click 400 300");
  EXPECT_EQ(DumpAfter("random-file " + file + "\nclick 400 300"), inline_);
}

TEST(ScriptRandomFile, EmptyFileStillSwitchesToQueuedValues) {
  TempDir dir;
  const std::string file = dir.File("empty.txt");
  std::ofstream{file};
  const Outcome r = RunText("random-file " + file + "\nclick 10 10\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "error: line 2: scripted random values exhausted after 0 draws\n");
}

TEST(ScriptRandomFile, BadValueNamesTheFileLine) {
  TempDir dir;
  const std::string file = dir.File("bad.txt", "0.5\n# note\n0.25 1.5\n");
  const Outcome r = RunText("dump\nrandom-file " + file + "\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "error: line 2: " + file +
                       " line 3: random value '1.5' is out of range (0 <= random value < 1)\n");
  const std::string malformed = dir.File("malformed.txt", "0.5 abc\n");
  EXPECT_EQ(RunText("random-file " + malformed + "\n").err,
            "error: line 1: " + malformed + " line 1: random value 'abc' is not a number\n");
}

TEST(ScriptRandomFile, FilesOver64MiBAreFileErrorsWhetherTheirSizeIsKnownOrNot) {
  TempDir dir;
  const std::string sparse = dir.File("sparse.txt");
  std::ofstream{sparse};
  fs::resize_file(sparse, kScriptMaxRandomFileBytes + 1);
  const Outcome r = RunText("random-file " + sparse + "\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: " + sparse + ": larger than 67108864 bytes (64 MiB)\n");

  // A pipe of comment lines: nothing to queue, but too much to read.
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  std::thread writer([fd = ends[1]] {
    const std::string line = "#" + std::string(4094, 'x') + "\n";
    for (std::uint64_t sent = 0; sent <= kScriptMaxRandomFileBytes; sent += line.size()) {
      if (::write(fd, line.data(), line.size()) < 0) break;  // the reader has gone
    }
    ::close(fd);
  });
  const std::string pipe = "/dev/fd/" + std::to_string(ends[0]);
  const Outcome piped = RunText("random-file " + pipe + "\n");
  ::close(ends[0]);
  writer.join();
  EXPECT_EQ(piped.status, 1);
  EXPECT_EQ(piped.err, "error: " + pipe + ": larger than 67108864 bytes (64 MiB)\n");
}

TEST(ScriptRandomFile, AnEndlessValueIsRejectedAt64KiB) {
  const Outcome r = RunText("random-file /dev/zero\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "error: line 1: /dev/zero line 1: random value is longer than 65536 bytes\n");
}

TEST(ScriptRandomFile, UnreadableFileIsAFileError) {
  const Outcome r = RunText("dump\nrandom-file /nonexistent/values.txt\ndump\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: /nonexistent/values.txt: No such file or directory\n");
  EXPECT_EQ(r.out, kEmptyDump);

  TempDir dir;
  EXPECT_EQ(RunText("random-file " + dir.path() + "\n").err,
            "error: " + dir.path() + ": Is a directory\n");
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

TEST(ScriptOptionsTest, QueuedValuesAreBoundedAndLetGoOnceDrawn) {
  ScriptOptions four;
  four.maxQueuedValues = 4;
  const Outcome r = RunText("random 0.1 0.2 0.3\nrandom 0.4 0.5\n", four);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "error: line 2: more than 4 scripted random values would be waiting (3 are)\n");

  TempDir dir;
  const std::string five = dir.File("five.txt", "0.1 0.2\n0.3 0.4\n0.5\n");
  std::ostringstream out;
  std::ostringstream err;
  StreamOutput outText(out);
  StreamOutput errText(err);
  ScriptSession session(outText, errText, four);
  EXPECT_EQ(session.RunLine("random 0.1", 1), std::nullopt);
  EXPECT_EQ(session.RunLine("random-file " + five, 2), 2);
  EXPECT_EQ(err.str(),
            "error: line 2: " + five +
                " line 2: more than 4 scripted random values would be waiting (4 are)\n");
  // The rejected file queued nothing, and drawn values leave room for more.
  EXPECT_EQ(session.RunLine("random 0.2 0.3 0.4", 3), std::nullopt);
  ScriptOptions sixteen;
  sixteen.maxQueuedValues = 16;
  std::string fleet = "random";
  for (int i = 0; i < 16; ++i) fleet += " 0.5";
  EXPECT_EQ(RunText(fleet + "\nclick 100 100\n" + fleet + "\n", sixteen).status, 0);
}

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
