#include <QApplication>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "runner/atomic_file.h"
#include "runner/battle_recording.h"
#include "runner/script_runner.h"
#include "shell/ambient_start.h"
#include "shell/hosted_battle.h"
#include "shell/main_window.h"
#include "shell/platform_start.h"
#include "shell/quit_signals.h"
#include "shell/tick_clock.h"
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

// Prints `text` on standard output: status 0, or 1 when it cannot be written.
int Print(std::string_view text) {
  errno = 0;
  std::cout << text << std::flush;
  if (!std::cout) {
    const int error = errno;
    std::cerr << "error: standard output: " << (error != 0 ? std::strerror(error) : "write error")
              << '\n';
    return 1;
  }
  return 0;
}

// The recording of `kelvarin --gif`: without --seed, from the time of day,
// and the seed is told so that a good battle can be recorded again.
int Record(kelvarin::BattleRecording recording) {
  if (!recording.seed) {
    recording.seed = kelvarin::BuiltinRandom::SeedForTimeOfDay(kelvarin::SecondsSinceMidnight());
    if (const int status = Print("seed " + std::to_string(*recording.seed) + '\n'); status != 0) {
      return status;
    }
  }
  kelvarin::RemoveTemporaryFilesOnSignals();
  return kelvarin::RecordBattle(recording, std::cerr);
}

// The window, plain or full screen, until Escape, the close button or a quit
// signal.
int RunWindow(CommandLine& line) {
  std::vector<std::string_view> qtOptions(line.qtArguments.begin() + 1, line.qtArguments.end());
  kelvarin::QuietQtMessages(qtOptions);
  int qtArgc = static_cast<int>(line.qtArguments.size());
  line.qtArguments.push_back(nullptr);
  QApplication app(qtArgc, line.qtArguments.data());
  kelvarin::PlatformStarted();
  if (qtArgc > 1) {
    // Qt took its own options out; whatever is left is not understood.
    return UsageError();
  }
  kelvarin::QuitOnCaughtSignals(app);

  kelvarin::MainWindow frm(line.stats);
  if (line.mode == Mode::Fullscreen) {
    frm.UseWholeWindow();
    kelvarin::StartAmbient(frm.world(), kelvarin::SecondsSinceMidnight());
    frm.showFullScreen();
  } else {
    frm.show();
  }
  const int status = app.exec();
  if (frm.stats() != nullptr) {
    frm.stats()->Print(std::cerr);
  }
  return status;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::optional<CommandLine> line = kelvarin::ParseCommandLine(argc, argv);
  if (!line) {
    return UsageError();
  }
  switch (line->mode) {
    case Mode::Version:
      return Print(std::string(kelvarin::kVersionText) + '\n');
    case Mode::Help:
      return Print(kelvarin::kUsage);
    case Mode::Script:
      // A closed output pipe is a write error that the run reports, and
      // cleans up after, not a signal that ends it on the spot.
      std::signal(SIGPIPE, SIG_IGN);
      kelvarin::RemoveTemporaryFilesOnSignals();
      return kelvarin::RunScriptFile(line->scriptPath, std::cout, std::cerr);
    case Mode::Gif:
      return Record(line->gif);
    case Mode::Root:
    case Mode::WindowId:
      kelvarin::CatchQuitSignals();
      return kelvarin::RunHostedBattle(line->windowId, line->stats, argv[0], std::cerr);
    case Mode::Window:
    case Mode::Fullscreen:
      kelvarin::CatchQuitSignals();
      return RunWindow(*line);
  }
  return UsageError();
}
