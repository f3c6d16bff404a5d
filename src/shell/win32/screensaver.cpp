// kelvarin.scr: the screensaver's run, preview and settings.
#include "shell/win32/screensaver.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/win32/battle_window.h"
#include "shell/win32/saver_arguments.h"
#include "shell/win32/saver_screens.h"
#include "shell/win32/settings_dialog.h"
#include "shell/win32/wide_text.h"
#include "version.h"

namespace kelvarin {

namespace {

constexpr int kUsageError = 2;

const char kSaverUsage[] =
    "The screensaver takes /s (run), /p HWND (preview inside the window HWND) or /c "
    "(settings).";

}  // namespace

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

namespace {

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

// The preview until its window goes. Returns the exit status.
int RunPreview(HWND parent) {
  BattleWindow window(WindowKind::Preview, false);
  std::string error;
  if (!window.Open(parent, error)) {
    return ShowError("kelvarin: " + error, 1);
  }
  return window.Run();
}

// The screensaver's windows, as the stored setting asks, until the user
// comes back. Returns the exit status.
int RunSaver() {
  SaverScreens screens(ReadScreens());
  std::string error;
  if (!screens.Open(error)) {
    return ShowError("kelvarin: " + error, 1);
  }
  return screens.Run();
}

}  // namespace

int RunScreensaver(std::span<const std::string_view> args) {
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
      return RunSettingsDialog(owner);
    }
    case SaverArguments::Mode::Run: {
      // One screensaver at a time: a second one leaves at once. The mutex
      // lives as long as the process.
      CreateMutexW(nullptr, FALSE, L"Local\\Kelvarin screensaver");
      if (GetLastError() == ERROR_ALREADY_EXISTS) {
        return 0;
      }
      return RunSaver();
    }
    case SaverArguments::Mode::Preview: {
      HWND parent = HandleOf(*saver.window);
      if (!IsWindow(parent)) {
        return ShowError("Kelvarin: no window " + HandleText(*saver.window) + ".", kUsageError);
      }
      return RunPreview(parent);
    }
  }
  return kUsageError;
}

}  // namespace kelvarin
