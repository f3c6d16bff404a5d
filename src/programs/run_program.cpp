#include "programs/run_program.h"

#include <string>

#include "runner/headless.h"
#include "version.h"

namespace kelvarin {
namespace {

constexpr int kUsageError = 2;

int UsageError(const Platform& platform) {
  PrintError(platform.usage);
  return kUsageError;
}

// Runs `mode`, or `otherwise` when the build lacks it.
int Run(const RunMode& mode, const RunMode& otherwise, CommandLine& line,
        const Platform& platform) {
  const RunMode& chosen = mode ? mode : otherwise;
  const std::optional<int> status = chosen ? chosen(line) : std::nullopt;
  return status ? *status : UsageError(platform);
}

// What every build does without picture files.
std::optional<int> ScriptWithoutPictures(CommandLine& line) {
  return RunScriptMode(line.scriptPath, nullptr);
}
std::optional<int> NoRecording(CommandLine&) { return NoPicturesToRecord(); }

}  // namespace

int RunProgram(int argc, char* argv[], const Platform& platform) {
  using Mode = CommandLine::Mode;
  std::optional<CommandLine> line = ParseCommandLine(argc, argv);
  if (line && !platform.toolkitOptions && line->qtArguments.size() > 1) {
    line.reset();
  }
  if (platform.started) {
    platform.started(line ? &*line : nullptr);
  }
  UseBinaryStandardStreams();
  if (!line) {
    return UsageError(platform);
  }
  switch (line->mode) {
    case Mode::Version:
      return PrintOutput(std::string(kVersionText) + '\n');
    case Mode::Help:
      return PrintOutput(platform.usage);
    case Mode::Script:
      return Run(platform.script, ScriptWithoutPictures, *line, platform);
    case Mode::Gif:
      return Run(platform.record, NoRecording, *line, platform);
    case Mode::Window:
    case Mode::Fullscreen:
      return Run(platform.window, platform.missing, *line, platform);
    case Mode::Root:
    case Mode::WindowId:
      return Run(platform.hosted, platform.missing, *line, platform);
  }
  return UsageError(platform);
}

}  // namespace kelvarin
