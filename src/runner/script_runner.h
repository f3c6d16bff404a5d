#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "runner/text_output.h"

namespace kelvarin {

// The picture a script run starts with, and that `kelvarin --gif` records
// without --size: 800 x 600 pixels, as the battle's logical size is 800 x 600
// units.
inline constexpr int kDefaultPictureWidth = 800;
inline constexpr int kDefaultPictureHeight = 600;

struct BattleState;
class PictureOutput;

// Limits of a script run. The defaults are those of `kelvarin --script`; a
// fuzzer narrows them so that no input can ask for unbounded work or touch
// files outside its scratch folder.
struct ScriptOptions {
  // What writes the pictures of `png` and `gif` lines; without it (a build
  // that writes no pictures) those lines fail with status 2.
  const PictureOutput* pictures = nullptr;
  // When false, `png`, `gif` and `random-file` fail as unwritable/unreadable files
  // (status 1) without touching the file system.
  bool allowFiles = true;
  // When non-empty, `png`, `gif` and `random-file` use only the last component of
  // their path, inside this folder.
  std::string scratchDir;
  // Upper bound of `tick N`.
  std::uint64_t maxTicksPerLine = 1000000000;
  // Upper bound of each side of the surface: of `surface W H`, and of the
  // 800 x 600 that a run starts with.
  int maxSurfaceSide = 8192;
  // Upper bound of the scripted random values queued and not drawn yet; a
  // `random` or `random-file` line that would queue more is rejected.
  std::size_t maxQueuedValues = 10000000;
};

// Limits of what a script run reads: a script line (its line feed aside), a
// `random-file` and one value in it.
inline constexpr std::size_t kScriptMaxLineBytes = 64 * 1024;
inline constexpr std::uint64_t kScriptMaxRandomFileBytes = 64 * 1024 * 1024;
inline constexpr std::size_t kScriptMaxValueBytes = 64 * 1024;

// Exit statuses of a script run.
inline constexpr int kScriptOk = 0;
inline constexpr int kScriptFileError = 1;
inline constexpr int kScriptLineError = 2;
inline constexpr int kScriptRandomExhausted = 3;

// A script run fed one line at a time: a fresh battle on an 800 x 600 black
// surface, the time of day 0 and the built-in generator on its fixed seed.
// Output goes to `out` as each line completes; error messages to `err`. When
// `out` cannot take it, the run ends there with status 1 and the message
// "error: standard output: <reason>".
class ScriptSession {
 public:
  ScriptSession(TextOutput& out, TextOutput& err, const ScriptOptions& options = {});
  ~ScriptSession();
  ScriptSession(const ScriptSession&) = delete;
  ScriptSession& operator=(const ScriptSession&) = delete;

  // Runs one line, numbered `lineNumber` in messages. Returns the exit status
  // when the run ends on this line (an error or `key 27`), nothing otherwise.
  // A line rejected with status 2 has changed nothing.
  std::optional<int> RunLine(std::string_view line, std::uint64_t lineNumber);

  // Ends a run that reached the end of its script: finishes a gif being
  // recorded. Returns the exit status, 0 or 1 (the file cannot be written).
  int Finish();

  const BattleState& state() const;
  // Random numbers drawn since the run began.
  std::uint64_t draws() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Where a script's bytes come from, a piece at a time.
class ScriptInput {
 public:
  virtual ~ScriptInput() = default;
  // Up to `size` bytes into `data`: how many, 0 at the end and on a failure,
  // which error() then tells.
  virtual std::size_t Read(char* data, std::size_t size) = 0;
  virtual std::error_code error() const = 0;
};

// Runs a script read from `in` in a fresh battle: drawing traces and dumps go
// to `out`, the one error message (if any) to `err`. A failed read gives
// "error: <name>: <reason>" and status 1 (a line cut short by it is not run).
// Returns the exit status; never ends the process.
int RunScript(ScriptInput& in, const std::string& name, TextOutput& out, TextOutput& err,
              const ScriptOptions& options = {});

// Runs the script file at `path` ("-" reads standard input). A file that
// cannot be opened or read, at its start or part of the way through, gives
// "error: <path>: <reason>" and status 1.
int RunScriptFile(const std::string& path, TextOutput& out, TextOutput& err,
                  const ScriptOptions& options = {});

}  // namespace kelvarin
