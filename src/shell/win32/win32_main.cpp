// kelvarin.exe and kelvarin.scr, one program under two names: the name's
// extension decides. As kelvarin.exe it takes the program's command line
// (the window, --fullscreen, --script and the rest); as kelvarin.scr, the
// arguments Windows gives a screensaver (see saver_arguments.h).
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "runner/headless.h"
#include "shell/win32/battle_window.h"
#include "shell/win32/console.h"
#include "shell/win32/saver_arguments.h"
#include "shell/win32/wide_text.h"
#include "version.h"

namespace kelvarin {
namespace {

constexpr int kUsageError = 2;

const char kUsageText[] =
    "Usage: kelvarin [--stats]               open the window\n"
    "       kelvarin --fullscreen [--stats]  fill the monitor it starts on\n"
    "       kelvarin --script FILE           run a script without a window (FILE - reads\n"
    "                                        standard input)\n"
    "       kelvarin --version               print the version\n"
    "       kelvarin --help                  print this help\n"
    "--stats prints tick timings on exit. Named kelvarin.scr, the program is a\n"
    "screensaver: /s runs it, /p HWND shows it inside the window HWND, /c shows\n"
    "its settings.\n";

const char kSaverUsage[] =
    "The screensaver takes /s (run), /p HWND (preview inside the window HWND) or /c "
    "(settings).";

// Whether the program runs under a name ending in .scr, in any case (Windows
// may start it by its short name, in capitals).
bool NamedAsScreensaver() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return false;
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::wstring_view name(path.data(), path.size());
  const std::size_t dot = name.find_last_of(L'.');
  if (dot == std::wstring_view::npos ||
      name.find_first_of(L"\\/", dot) != std::wstring_view::npos) {
    return false;
  }
  const std::wstring_view extension = name.substr(dot);
  return extension.size() == 4 &&
         CompareStringOrdinal(extension.data(), 4, L".scr", 4, TRUE) == CSTR_EQUAL;
}

// A window handle as Windows passes it: the low 32 bits, sign-extended.
HWND HandleOf(unsigned long id) {
  return reinterpret_cast<HWND>(
      static_cast<std::intptr_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(id))));
}

std::string HandleText(unsigned long id) { return std::to_string(id); }

int ShowError(std::string_view text, int status) {
  const std::wstring wide = Widen(text);
  const std::wstring caption = Widen(kVersionText);
  MessageBoxW(nullptr, wide.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
  return status;
}

// The window or the screensaver until it ends. Returns the exit status.
int RunBattle(WindowKind kind, bool collectStats, HWND parent, bool boxErrors) {
  BattleWindow window(kind, collectStats);
  std::string error;
  if (!window.Open(parent, error)) {
    error = "kelvarin: " + error;
    if (boxErrors) {
      return ShowError(error, 1);
    }
    PrintError(error + '\n');
    return 1;
  }
  const int status = window.Run();
  if (window.stats() != nullptr) {
    PrintError(window.stats()->Report());
  }
  return status;
}

int ScreensaverMain(std::span<const std::string_view> args) {
  const SaverArguments saver = ParseSaverArguments(args);
  switch (saver.mode) {
    case SaverArguments::Mode::Error:
      return ShowError("Kelvarin: " + saver.error + ".\n\n" + kSaverUsage, kUsageError);
    case SaverArguments::Mode::Settings: {
      HWND owner = nullptr;
      if (saver.window) {
        owner = HandleOf(*saver.window);
        if (!IsWindow(owner)) {
          return ShowError("Kelvarin: no window " + HandleText(*saver.window) + ".", kUsageError);
        }
      }
      const std::wstring text = Widen(std::string(kVersionText) +
                                      "\n\nLine-drawn fleets of three teams fight a battle on "
                                      "their own.\n\nThis screensaver has nothing to set.");
      const std::wstring caption = Widen(kVersionText);
      MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
      return 0;
    }
    case SaverArguments::Mode::Run: {
      // One screensaver at a time: a second one leaves at once. The mutex
      // lives as long as the process.
      CreateMutexW(nullptr, FALSE, L"Local\\Kelvarin screensaver");
      if (GetLastError() == ERROR_ALREADY_EXISTS) {
        return 0;
      }
      return RunBattle(WindowKind::Screensaver, false, nullptr, true);
    }
    case SaverArguments::Mode::Preview: {
      HWND parent = HandleOf(*saver.window);
      if (!IsWindow(parent)) {
        return ShowError("Kelvarin: no window " + HandleText(*saver.window) + ".", kUsageError);
      }
      return RunBattle(WindowKind::Preview, false, parent, true);
    }
  }
  return kUsageError;
}

int ProgramMain(int argc, char* argv[]) {
  using Mode = CommandLine::Mode;
  std::optional<CommandLine> line = ParseCommandLine(argc, argv);
  // No Qt here to take other arguments, and no X windows to draw into.
  const bool valid = line && line->qtArguments.size() == 1 && line->mode != Mode::Root &&
                     line->mode != Mode::WindowId;
  const bool prints =
      !valid || line->stats || (line->mode != Mode::Window && line->mode != Mode::Fullscreen);
  if (prints) {
    UseParentConsole();
  }
  UseBinaryStandardStreams();
  if (!valid) {
    PrintError(kUsageText);
    return kUsageError;
  }
  switch (line->mode) {
    case Mode::Version:
      return PrintOutput(std::string(kVersionText) + '\n');
    case Mode::Help:
      return PrintOutput(kUsageText);
    case Mode::Script:
      return RunScriptMode(line->scriptPath, nullptr);
    case Mode::Gif:
      return NoPicturesToRecord();
    case Mode::Window:
      return RunBattle(WindowKind::Framed, line->stats, nullptr, false);
    case Mode::Fullscreen:
      return RunBattle(WindowKind::Fullscreen, line->stats, nullptr, false);
    case Mode::Root:
    case Mode::WindowId:
      break;
  }
  PrintError(kUsageText);
  return kUsageError;
}

}  // namespace
}  // namespace kelvarin

int main(int argc, char* argv[]) {
  if (kelvarin::NamedAsScreensaver()) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return kelvarin::ScreensaverMain(args);
  }
  return kelvarin::ProgramMain(argc, argv);
}
