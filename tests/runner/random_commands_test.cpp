#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "run_text.h"
#include "runner/script_runner.h"
#include "runner/stream_io.h"
#include "state/battle_state.h"
#include "temp_dir.h"

namespace kelvarin {
namespace {

namespace fs = std::filesystem;

using test::kEmptyDump;
using test::Outcome;
using test::RunText;
using test::TempDir;

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

}  // namespace
}  // namespace kelvarin
