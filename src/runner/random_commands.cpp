// The commands of the generator: `random`, `random-file` and `seed`.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runner/error_text.h"
#include "runner/script_commands.h"
#include "runner/script_numbers.h"
#include "runner/script_run.h"
#include "runner/token_file.h"

namespace kelvarin::script {
namespace {

double RandomValue(std::string_view token) { return RealIn(token, "random value", 0.0, 1.0, true); }

std::string TooManyValues(std::size_t limit, std::size_t waiting) {
  return "more than " + std::to_string(limit) + " scripted random values would be waiting (" +
         std::to_string(waiting) + " are)";
}

// Queues the values of the file at `path` as they are read.
void QueueValuesOf(ScriptRun& run, const std::string& path) {
  TokenFile file(kScriptMaxRandomFileBytes, kScriptMaxValueBytes);
  const auto where = [&path, &file] {
    return path + " line " + std::to_string(file.line()) + ": ";
  };
  if (!file.Open(path)) {
    throw FileError{path, ErrorText(file.error())};
  }
  const std::size_t limit = run.options.maxQueuedValues;
  for (TokenFile::Next next = file.Read(); next != TokenFile::Next::kEnd; next = file.Read()) {
    switch (next) {
      case TokenFile::Next::kToken:
        try {
          const double value = RandomValue(file.token());
          if (run.random.Waiting() == limit) {
            throw LineError{TooManyValues(limit, run.random.Waiting())};
          }
          run.random.Append(value);
        } catch (const LineError& e) {
          throw LineError{where() + e.message};
        }
        break;
      case TokenFile::Next::kTooLong:
        throw LineError{where() + "random value is longer than " +
                        std::to_string(kScriptMaxValueBytes) + " bytes"};
      case TokenFile::Next::kTooLarge:
        throw FileError{
            path, "larger than " + std::to_string(kScriptMaxRandomFileBytes) + " bytes (64 MiB)"};
      case TokenFile::Next::kError:
        throw FileError{path, ErrorText(file.error())};
      case TokenFile::Next::kEnd:
        break;
    }
  }
}

}  // namespace

void RandomValues(ScriptRun& run, const Tokens& t) {
  std::vector<double> values;
  values.reserve(t.size() - 1);
  for (std::size_t i = 1; i < t.size(); ++i) {
    values.push_back(RandomValue(t[i]));
  }
  const std::size_t limit = run.options.maxQueuedValues;
  if (values.size() > limit - run.random.Waiting()) {
    throw LineError{TooManyValues(limit, run.random.Waiting())};
  }
  run.random.UseQueue();
  for (const double v : values) {
    run.random.Append(v);
  }
}

void RandomFile(ScriptRun& run, const Tokens& t) {
  const std::string path = run.FilePath(t[1]);
  // The values go straight to the queue as they are read; a line that fails
  // takes them back, so that it changes nothing.
  const std::size_t waiting = run.random.Waiting();
  try {
    QueueValuesOf(run, path);
  } catch (...) {
    run.random.DropNewest(run.random.Waiting() - waiting);
    throw;
  }
  run.random.UseQueue();
}

void Seed(ScriptRun& run, const Tokens& t) {
  const std::optional<Integer> value = ParseInteger(t[1]);
  if (!value) {
    throw LineError{"seed " + Quoted(t[1]) + " is not an integer"};
  }
  const std::optional<std::uint64_t> seed = value->AsUint64();
  if (!seed) {
    throw LineError{"seed " + Quoted(t[1]) + " is out of range (0..18446744073709551615)"};
  }
  run.random.Seed(*seed);
}

}  // namespace kelvarin::script
