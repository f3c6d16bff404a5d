// kelvarin on Linux: the Qt window (plain or full screen), the screensaver
// modes' X11 host, and the script runner and recordings with picture files.
#include <iostream>
#include <optional>
#include <string>
#include <utility>

#include "app/tick_clock.h"
#include "picture_files/atomic_file.h"
#include "picture_files/picture_files.h"
#include "picture_files/record_battle.h"
#include "programs/run_program.h"
#include "runner/headless.h"
#include "shell/posix/quit_signals.h"
#include "shell/qt/run_window.h"
#include "shell/x11/hosted_battle.h"
#include "sim/random.h"

namespace {

using kelvarin::CommandLine;

// The recording of `kelvarin --gif`: without --seed, from the time of day,
// and the seed is told so that a good battle can be recorded again.
std::optional<int> Record(CommandLine& line) {
  kelvarin::BattleRecording& recording = line.gif;
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

std::optional<int> Script(CommandLine& line) {
  kelvarin::RemoveTemporaryFilesOnSignals();
  return kelvarin::RunScriptMode(line.scriptPath, &kelvarin::PictureFiles());
}

std::optional<int> Window(CommandLine& line) {
  kelvarin::CatchQuitSignals();
  return kelvarin::RunWindow(std::move(line.qtArguments),
                             line.mode == CommandLine::Mode::Fullscreen, line.stats);
}

std::optional<int> Hosted(CommandLine& line) {
  kelvarin::CatchQuitSignals();
  return kelvarin::RunHostedBattle(line.windowId, line.stats, std::cerr);
}

}  // namespace

int main(int argc, char* argv[]) {
  kelvarin::Platform desktop;
  desktop.script = Script;
  desktop.record = Record;
  desktop.window = Window;
  desktop.hosted = Hosted;
  return kelvarin::RunProgram(argc, argv, desktop);
}
