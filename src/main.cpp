#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "app/tick_clock.h"
#include "command_line.h"
#include "runner/headless.h"
#include "runner/pictures/atomic_file.h"
#include "runner/pictures/picture_files.h"
#include "runner/pictures/record_battle.h"
#include "shell/qt/run_window.h"
#include "shell/quit_signals.h"
#include "shell/x11/hosted_battle.h"
#include "sim/random.h"
#include "version.h"

namespace {

using kelvarin::CommandLine;
using Mode = CommandLine::Mode;

constexpr int kUsageError = 2;

int UsageError() {
  std::cerr << kelvarin::kUsage;
  return kUsageError;
}

// The recording of `kelvarin --gif`: without --seed, from the time of day,
// and the seed is told so that a good battle can be recorded again.
int Record(kelvarin::BattleRecording recording) {
  if (!recording.seed) {
    recording.seed = kelvarin::BuiltinRandom::SeedForTimeOfDay(kelvarin::SecondsSinceMidnight());
    if (const int status = kelvarin::PrintOutput("seed " + std::to_string(*recording.seed) + '\n');
        status != 0) {
      return status;
    }
  }
  kelvarin::RemoveTemporaryFilesOnSignals();
  return kelvarin::RecordBattle(recording, std::cerr);
}

}  // namespace

int main(int argc, char* argv[]) {
  std::optional<CommandLine> line = kelvarin::ParseCommandLine(argc, argv);
  if (!line) {
    return UsageError();
  }
  switch (line->mode) {
    case Mode::Version:
      return kelvarin::PrintOutput(std::string(kelvarin::kVersionText) + '\n');
    case Mode::Help:
      return kelvarin::PrintOutput(kelvarin::kUsage);
    case Mode::Script:
      kelvarin::RemoveTemporaryFilesOnSignals();
      return kelvarin::RunScriptMode(line->scriptPath, &kelvarin::PictureFiles());
    case Mode::Gif:
      return Record(line->gif);
    case Mode::Root:
    case Mode::WindowId:
      kelvarin::CatchQuitSignals();
      return kelvarin::RunHostedBattle(line->windowId, line->stats, std::cerr);
    case Mode::Window:
    case Mode::Fullscreen: {
      kelvarin::CatchQuitSignals();
      const std::optional<int> status = kelvarin::RunWindow(
          std::move(line->qtArguments), line->mode == Mode::Fullscreen, line->stats);
      return status ? *status : UsageError();
    }
  }
  return UsageError();
}
