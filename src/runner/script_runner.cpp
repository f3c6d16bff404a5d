// Running a whole script: its lines read from a file, standard input or any
// other input, and fed to a session one at a time.
#include "runner/script_runner.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "runner/error_text.h"
#include "runner/read_some.h"

namespace kelvarin {
namespace {

// A file's bytes for the lines of a script, read straight from its
// descriptor, keeping why a read failed.
class DescriptorInput final : public ScriptInput {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}
  std::size_t Read(char* data, std::size_t size) override {
    return ReadSome(fd_, data, size, error_);
  }
  std::error_code error() const override { return error_; }

 private:
  int fd_;
  std::error_code error_;
};

// The lines of a script, read in large pieces.
class LineReader {
 public:
  explicit LineReader(ScriptInput& input) : input_(input) {}

  enum class Read { kLine, kTooLong, kEnd };

  // Reads a line into `line` (without its line feed), holding no more than
  // `max` bytes of it: a longer line is kTooLong, and what follows is not
  // read.
  Read Next(std::string& line, std::size_t max) {
    line.clear();
    for (bool any = false;; any = true) {
      if (next_ == end_ && !Fill()) {
        return any ? Read::kLine : Read::kEnd;
      }
      const char c = piece_[next_++];
      if (c == '\n') {
        return Read::kLine;
      }
      if (line.size() == max) {
        return Read::kTooLong;
      }
      line += c;
    }
  }

 private:
  bool Fill() {
    next_ = 0;
    end_ = input_.Read(piece_.data(), piece_.size());
    return end_ > 0;
  }

  ScriptInput& input_;
  std::array<char, 1 << 16> piece_{};
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

}  // namespace

int RunScript(ScriptInput& in, const std::string& name, TextOutput& out, TextOutput& err,
              const ScriptOptions& options) {
  ScriptSession session(out, err, options);
  LineReader lines(in);
  std::string line;
  line.reserve(kScriptMaxLineBytes);
  std::uint64_t lineNumber = 0;
  for (;;) {
    const LineReader::Read read = lines.Next(line, kScriptMaxLineBytes);
    if (in.error()) {
      err.Write("error: " + name + ": " + ErrorText(in.error()) + '\n');
      return kScriptFileError;
    }
    if (read == LineReader::Read::kEnd) {
      return session.Finish();
    }
    ++lineNumber;
    if (read == LineReader::Read::kTooLong) {
      err.Write("error: line " + std::to_string(lineNumber) + ": longer than " +
                std::to_string(kScriptMaxLineBytes) + " bytes\n");
      return kScriptLineError;
    }
    if (const std::optional<int> status = session.RunLine(line, lineNumber)) {
      return *status;
    }
  }
}

int RunScriptFile(const std::string& path, TextOutput& out, TextOutput& err,
                  const ScriptOptions& options) {
  const bool standardInput = path == "-";
  // A folder opens, and fails at its first read.
  const int fd = standardInput ? STDIN_FILENO : OpenToRead(path.c_str());
  if (fd < 0) {
    err.Write("error: " + path + ": " + ErrorText(errno) + '\n');
    return kScriptFileError;
  }
  DescriptorInput file(fd);
  const int status = RunScript(file, path, out, err, options);
  if (!standardInput) {
    ::close(fd);
  }
  return status;
}

}  // namespace kelvarin
