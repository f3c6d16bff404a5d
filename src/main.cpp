#include <QApplication>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "runner/atomic_file.h"
#include "runner/script_runner.h"
#include "shell/main_window.h"
#include "shell/platform_start.h"
#include "version.h"

namespace {

constexpr char kUsage[] =
    "Usage: kelvarin [Qt options]        open the window\n"
    "       kelvarin --stats             open the window; print tick timings on exit\n"
    "       kelvarin --script FILE       run a script without a window (FILE - reads stdin)\n"
    "       kelvarin --version           print the version\n"
    "       kelvarin --help              print this help\n";

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
  enum class Mode { Window, Stats, Script, Version, Help };
  int modes = 0;
  Mode mode = Mode::Window;
  std::string scriptPath;
  // Arguments that are not ours: Qt's standard options, or mistakes.
  std::vector<char*> rest{argv[0]};
  std::vector<std::string_view> restViews;

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      mode = Mode::Version;
      ++modes;
    } else if (arg == "--help") {
      mode = Mode::Help;
      ++modes;
    } else if (arg == "--stats") {
      mode = Mode::Stats;
      ++modes;
    } else if (arg == "--script") {
      if (i + 1 >= argc) {
        return UsageError();
      }
      mode = Mode::Script;
      scriptPath = argv[++i];
      ++modes;
    } else if (arg.starts_with("--")) {
      // Qt's options are written with one dash; anything else with two is unknown.
      return UsageError();
    } else {
      rest.push_back(argv[i]);
      restViews.push_back(arg);
    }
  }
  if (modes > 1) {
    return UsageError();
  }

  switch (mode) {
    case Mode::Version:
    case Mode::Help:
    case Mode::Script:
      if (!restViews.empty()) {
        return UsageError();
      }
      break;
    case Mode::Window:
    case Mode::Stats:
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

  kelvarin::QuietQtMessages(restViews);
  int qtArgc = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  QApplication app(qtArgc, rest.data());
  kelvarin::PlatformStarted();
  if (qtArgc > 1) {
    // Qt took its own options out; whatever is left is not understood.
    return UsageError();
  }

  kelvarin::MainWindow frm(mode == Mode::Stats);
  frm.show();
  const int status = app.exec();
  if (frm.stats() != nullptr) {
    frm.stats()->Print(std::cerr);
  }
  return status;
}
