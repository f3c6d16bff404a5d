// ScriptSession: a script run one line at a time, each line's failure turned
// into its exit status and its one error line.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "runner/script_arguments.h"
#include "runner/script_commands.h"
#include "runner/script_run.h"
#include "runner/script_runner.h"
#include "sim/random.h"

namespace kelvarin {
namespace {

// Splits a line into tokens separated by spaces, tabs and carriage returns;
// `#` starts a comment.
script::Tokens Tokenize(std::string_view line) {
  constexpr std::string_view kBlanks = " \t\r";
  line = line.substr(0, line.find('#'));
  script::Tokens tokens;
  for (std::size_t start = line.find_first_not_of(kBlanks); start != std::string_view::npos;) {
    const std::size_t end = std::min(line.find_first_of(kBlanks, start), line.size());
    tokens.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(kBlanks, end);
  }
  return tokens;
}

}  // namespace

class ScriptSession::Impl {
 public:
  Impl(TextOutput& out, TextOutput& err, const ScriptOptions& options)
      : err(err), run(out, options) {}

  TextOutput& err;
  ScriptRun run;
};

ScriptSession::ScriptSession(TextOutput& out, TextOutput& err, const ScriptOptions& options)
    : impl_(std::make_unique<Impl>(out, err, options)) {}

ScriptSession::~ScriptSession() = default;

std::optional<int> ScriptSession::RunLine(std::string_view line, std::uint64_t lineNumber) {
  const script::Tokens tokens = Tokenize(line);
  if (tokens.empty()) {
    return std::nullopt;
  }
  ScriptRun& run = impl_->run;
  std::optional<int> status;
  std::string error;
  const std::string here = "line " + std::to_string(lineNumber) + ": ";
  try {
    script::Execute(run, tokens);
    if (std::exchange(run.quit, false)) {
      status = kScriptOk;
    }
  } catch (const script::LineError& e) {
    status = kScriptLineError;
    error = here + e.message;
  } catch (const script::FileError& e) {
    status = kScriptFileError;
    error = e.path + ": " + e.reason;
  } catch (const RandomExhausted&) {
    status = kScriptRandomExhausted;
    error = here + "scripted random values exhausted after " + std::to_string(run.random.draws()) +
            " draws";
  }
  // What the line printed before it failed stays printed; output that cannot
  // be written ends the run as a file error (unless the line already did).
  try {
    run.Flush();
  } catch (const script::FileError& e) {
    if (status != kScriptFileError) {
      status = kScriptFileError;
      error = e.path + ": " + e.reason;
    }
  }
  if (!error.empty()) {
    impl_->err.Write("error: " + error + '\n');
    // A run that ends with an error leaves no recording behind.
    run.DiscardRecording();
  }
  return status;
}

int ScriptSession::Finish() {
  try {
    impl_->run.FinishRecording();
  } catch (const script::FileError& e) {
    impl_->err.Write("error: " + e.path + ": " + e.reason + '\n');
    return kScriptFileError;
  }
  return kScriptOk;
}

const BattleState& ScriptSession::state() const { return impl_->run.state; }

std::uint64_t ScriptSession::draws() const { return impl_->run.random.draws(); }

}  // namespace kelvarin
