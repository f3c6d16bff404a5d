// libFuzzer target: one input is one script, run line by line in a fresh
// battle exactly as `kelvarin --script` would, within limits that keep every
// input cheap and harmless:
//   - `png`, `gif` and `random-file` work only inside a private scratch
//     folder, which is emptied after every input;
//   - `surface` sides are at most 256 pixels and one `tick` line runs at most
//     500 ticks, and an input stops once its lines asked for 2000 ticks, so a
//     recording holds at most 2000 frames of at most 256 x 256 pixels;
//   - the end of an input finishes a recording as the end of a script does;
//   - `key 27` and errors end the run, never the process.
// Besides crashes and sanitizer reports, it aborts when the run breaks the
// contract of its exit status and its one error line.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include "picture_files/picture_files.h"
#include "runner/script_runner.h"
#include "runner/stream_io.h"

namespace {

constexpr std::uint64_t kTicksPerLine = 500;
constexpr std::uint64_t kTicksPerInput = 2000;
constexpr int kSurfaceSide = 256;

class NullBuffer final : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

std::string ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelvarin-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("kelvarin_fuzz: mkdtemp");
    std::abort();
  }
  return pattern;
}

// Made once and never destroyed, so that the clean-up at exit can still use it.
const std::string& Scratch() {
  static const std::string* const dir = [] {
    auto* d = new std::string(ScratchDir());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(Scratch(), ec);
    });
    return d;
  }();
  return *dir;
}

void EmptyScratch() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(Scratch(), ec)) {
    std::filesystem::remove_all(entry.path(), ec);
  }
}

// The tick count a line asks for when its command is `tick` (as far as it can
// be read; a malformed count is rejected by the runner anyway), else 0.
std::uint64_t TicksAskedFor(std::string_view line) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::size_t i = 0;
  auto token = [&]() -> std::string_view {
    while (i < line.size() && blank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !blank(line[i]) && line[i] != '#') ++i;
    return line.substr(start, i - start);
  };
  if (token() != "tick") return 0;
  const std::string count(token());
  if (count.empty()) return 1;
  // Larger counts are rejected by the runner; capping keeps the sum exact.
  const unsigned long long n = std::strtoull(count.c_str(), nullptr, 10);
  return n == 0 ? 1 : std::min<std::uint64_t>(n, kTicksPerLine);
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "kelvarin_fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelvarin::ScriptOptions options;
  options.pictures = &kelvarin::PictureFiles();
  options.allowFiles = true;
  options.scratchDir = Scratch();
  options.maxTicksPerLine = kTicksPerLine;
  options.maxSurfaceSide = kSurfaceSide;

  NullBuffer discard;
  std::ostream out(&discard);
  std::ostringstream err;

  const std::string_view script(reinterpret_cast<const char*>(data), size);
  std::optional<int> status;
  bool touchedFiles = false;
  bool finished = false;  // the status is that of the end of the input
  std::uint64_t lineNumber = 0;
  {
    kelvarin::StreamOutput outText(out);
    kelvarin::StreamOutput errText(err);
    kelvarin::ScriptSession session(outText, errText, options);
    std::uint64_t ticks = 0;
    std::size_t start = 0;
    while (start < script.size() && !status) {
      std::size_t end = script.find('\n', start);
      if (end == std::string_view::npos) end = script.size();
      const std::string_view line = script.substr(start, end - start);
      start = end + 1;
      ++lineNumber;
      ticks += TicksAskedFor(line);
      if (ticks > kTicksPerInput) break;
      touchedFiles = touchedFiles || line.find("png") != std::string_view::npos ||
                     line.find("gif") != std::string_view::npos ||
                     line.find("random-file") != std::string_view::npos;
      status = session.RunLine(line, lineNumber);
    }
    if (!status) {
      status = session.Finish();
      finished = true;
    }
  }
  if (touchedFiles) EmptyScratch();

  // The run ends with 0 and says nothing, or with 1, 2 or 3 and exactly one
  // line on standard error that starts with "error: ".
  const std::string message = err.str();
  if (*status == 0) {
    Check(message.empty(), "a run that ended well printed an error");
  } else {
    Check(*status >= 1 && *status <= 3, "an exit status outside 0..3");
    Check(message.starts_with("error: "), "an error message without \"error: \"");
    Check(message.find('\n') == message.size() - 1, "an error message that is not one line");
    Check(!finished || *status == 1, "the end of an input gave a status other than 0 or 1");
    if (*status != 1) {
      Check(message.starts_with("error: line " + std::to_string(lineNumber) + ": "),
            "a line error that does not name the line it stopped on");
    }
  }
  return 0;
}
