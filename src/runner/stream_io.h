#pragma once

#include <iosfwd>
#include <string>

#include "runner/script_runner.h"
#include "runner/text_output.h"

namespace kelvarin {

// The script runner over C++ streams, for tests and tools that have them.
// Kept apart from the runner, so that a program that does not call these
// carries none of the C++ streams.

// Text into a stream, flushed after every write; a stream that fails gives
// errno's value then.
class StreamOutput final : public TextOutput {
 public:
  explicit StreamOutput(std::ostream& stream) : stream_(stream) {}
  bool Write(std::string_view text) override;
  int error() const override { return error_; }

 private:
  std::ostream& stream_;
  int error_ = 0;
};

// A script's bytes from a stream; its end and a failure are both the end.
class StreamInput final : public ScriptInput {
 public:
  explicit StreamInput(std::istream& stream) : stream_(stream) {}
  std::size_t Read(char* data, std::size_t size) override;
  std::error_code error() const override { return {}; }

 private:
  std::istream& stream_;
};

// RunScript over streams: the script's name in messages is "-".
int RunScript(std::istream& in, std::ostream& out, std::ostream& err,
              const ScriptOptions& options = {});
// RunScriptFile with its output into streams.
int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err,
                  const ScriptOptions& options = {});

}  // namespace kelvarin
