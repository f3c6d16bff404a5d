#include "runner/script_runner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <streambuf>
#include <string>

#include "run_text.h"
#include "runner/stream_io.h"
#include "temp_dir.h"

namespace kelvarin {
namespace {

using test::kEmptyDump;
using test::Outcome;
using test::RunText;
using test::TempDir;

// ---- The script and its output: files that cannot be read or written.

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

}  // namespace
}  // namespace kelvarin
