// kelvarin.exe and kelvarin.scr, one program under two names: the name's
// extension decides. As kelvarin.exe it takes the program's command line
// (the window, --fullscreen, --script and the rest); as kelvarin.scr, the
// arguments Windows gives a screensaver (see saver_arguments.h).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "programs/run_program.h"
#include "runner/headless.h"
#include "shell/win32/battle_window.h"
#include "shell/win32/console.h"
#include "shell/win32/screensaver.h"

namespace {

using kelvarin::CommandLine;

const char kUsage[] =
    "Usage: kelvarin [--stats]               open the window\n"
    "       kelvarin --fullscreen [--stats]  fill the monitor it starts on\n"
    "       kelvarin --script FILE           run a script without a window (FILE - reads\n"
    "                                        standard input)\n"
    "       kelvarin --version               print the version\n"
    "       kelvarin --help                  print this help\n"
    "--stats prints tick timings on exit. Named kelvarin.scr, the program is a\n"
    "screensaver: /s runs it, /p HWND shows it inside the window HWND, /c shows\n"
    "its settings.\n";

bool WindowMode(CommandLine::Mode mode) {
  return mode == CommandLine::Mode::Window || mode == CommandLine::Mode::Fullscreen;
}

// The window, plain or full screen, until it is closed.
std::optional<int> Window(CommandLine& line) {
  kelvarin::BattleWindow window(line.mode == CommandLine::Mode::Fullscreen
                                    ? kelvarin::WindowKind::Fullscreen
                                    : kelvarin::WindowKind::Framed,
                                line.stats);
  std::string error;
  if (!window.Open(nullptr, error)) {
    kelvarin::PrintError("kelvarin: " + error + '\n');
    return 1;
  }
  const int status = window.Run();
  if (window.stats() != nullptr) {
    kelvarin::PrintError(window.stats()->Report());
  }
  return status;
}

// The window modes print nothing unless asked to: only the others take the
// console of the program that started them.
void TakeConsoleToPrint(const CommandLine* line) {
  if (line == nullptr || line->stats || !WindowMode(line->mode)) {
    kelvarin::UseParentConsole();
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (kelvarin::NamedAsScreensaver()) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return kelvarin::RunScreensaver(args);
  }
  kelvarin::Platform windows;
  windows.usage = kUsage;
  windows.toolkitOptions = false;
  windows.window = Window;
  windows.started = TakeConsoleToPrint;
  return kelvarin::RunProgram(argc, argv, windows);
}
