#include <QApplication>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

constexpr char kUsage[] =
    "Usage: kelvarin [Qt options]        open the window\n"
    "       kelvarin --fullscreen        open the window full screen\n"
    "       kelvarin --root              draw on the X root window, or into the window named by\n"
    "                                    XSCREENSAVER_WINDOW (for screensaver daemons)\n"
    "       kelvarin --window-id ID      draw into the X window ID (0x hexadecimal or decimal)\n"
    "       kelvarin --script FILE       run a script without a window (FILE - reads stdin)\n"
    "       kelvarin --gif FILE [--seconds N] [--seed S] [--size WxH]\n"
    "                                    record the battle as an animated GIF, no window\n"
    "       kelvarin --version           print the version\n"
    "       kelvarin --help              print this help\n"
    "Add --stats to any of the first four to print tick timings on exit. -root and\n"
    "-window-id are accepted too. SIGTERM, SIGINT and SIGHUP end them with status 0.\n";

constexpr int kUsageError = 2;

int UsageError() {
  std::cerr << kUsage;
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

}  // namespace

int main(int argc, char* argv[]) {
  enum class Mode { Window, Fullscreen, Root, WindowId, Script, Gif, Version, Help };
  int modes = 0;
  Mode mode = Mode::Window;
  bool stats = false;
  std::string scriptPath;
  std::optional<unsigned long> windowId;
  kelvarin::BattleRecording gif;
  bool gifOptions = false;
  // Arguments that are not ours: Qt's standard options, or mistakes.
  std::vector<char*> rest{argv[0]};
  std::vector<std::string_view> restViews;

  const auto setMode = [&](Mode chosen) {
    mode = chosen;
    ++modes;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      setMode(Mode::Version);
    } else if (arg == "--help") {
      setMode(Mode::Help);
    } else if (arg == "--stats") {
      if (stats) {
        return UsageError();
      }
      stats = true;
    } else if (arg == "--fullscreen") {
      setMode(Mode::Fullscreen);
    } else if (arg == "--root" || arg == "-root") {
      setMode(Mode::Root);
    } else if (arg == "--window-id" || arg == "-window-id") {
      if (i + 1 >= argc) {
        return UsageError();
      }
      windowId = kelvarin::ParseWindowId(argv[++i]);
      if (!windowId) {
        return UsageError();
      }
      setMode(Mode::WindowId);
    } else if (arg == "--script") {
      if (i + 1 >= argc) {
        return UsageError();
      }
      setMode(Mode::Script);
      scriptPath = argv[++i];
    } else if (arg == "--gif") {
      if (i + 1 >= argc) {
        return UsageError();
      }
      setMode(Mode::Gif);
      gif.path = argv[++i];
    } else if (arg == "--seconds" || arg == "--seed" || arg == "--size") {
      if (i + 1 >= argc || !kelvarin::SetRecordingOption(gif, arg, argv[++i])) {
        return UsageError();
      }
      gifOptions = true;
    } else if (arg.starts_with("--")) {
      // Qt's options are written with one dash; anything else with two is unknown.
      return UsageError();
    } else {
      rest.push_back(argv[i]);
      restViews.push_back(arg);
    }
  }
  if (modes > 1 || (gifOptions && mode != Mode::Gif)) {
    return UsageError();
  }

  switch (mode) {
    case Mode::Version:
    case Mode::Help:
    case Mode::Script:
    case Mode::Gif:
      if (stats || !restViews.empty()) {
        return UsageError();
      }
      break;
    case Mode::Root:
    case Mode::WindowId:
      // No Qt window, so no Qt options.
      if (!restViews.empty()) {
        return UsageError();
      }
      break;
    case Mode::Window:
    case Mode::Fullscreen:
      break;
  }

  if (mode == Mode::Version) {
    return Print(std::string(kelvarin::kVersionText) + '\n');
  }
  if (mode == Mode::Help) {
    return Print(kUsage);
  }
  if (mode == Mode::Script) {
    kelvarin::RemoveTemporaryFilesOnSignals();
    return kelvarin::RunScriptFile(scriptPath, std::cout, std::cerr);
  }
  if (mode == Mode::Gif) {
    if (!gif.seed) {
      gif.seed = kelvarin::BuiltinRandom::SeedForTimeOfDay(kelvarin::SecondsSinceMidnight());
      // Told, so that a good battle can be recorded again.
      if (const int status = Print("seed " + std::to_string(*gif.seed) + '\n'); status != 0) {
        return status;
      }
    }
    kelvarin::RemoveTemporaryFilesOnSignals();
    return kelvarin::RecordBattle(gif, std::cerr);
  }

  kelvarin::CatchQuitSignals();
  if (mode == Mode::Root || mode == Mode::WindowId) {
    return kelvarin::RunHostedBattle(windowId, stats, argv[0], std::cerr);
  }

  kelvarin::QuietQtMessages(restViews);
  int qtArgc = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  QApplication app(qtArgc, rest.data());
  kelvarin::PlatformStarted();
  if (qtArgc > 1) {
    // Qt took its own options out; whatever is left is not understood.
    return UsageError();
  }
  kelvarin::QuitOnCaughtSignals(app);

  kelvarin::MainWindow frm(stats);
  if (mode == Mode::Fullscreen) {
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
