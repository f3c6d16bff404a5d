#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/window_id.h"

namespace kelvarin {

// What Windows asks of a screensaver on its command line. The option is one
// letter after `/` or `-`, in either case; a window handle follows after a
// colon or as the next argument, in decimal (as Windows writes it) or 0x
// hexadecimal:
//   /s            run: a battle on each monitor until the user stirs
//   /p HWND       preview: draw into a child of the window HWND
//   /c, /c:HWND   settings, with HWND as their owner; also with no argument
// Plain C++, so that the rules are checked on every platform.
struct SaverArguments {
  enum class Mode { Run, Preview, Settings, Error };

  Mode mode = Mode::Settings;
  std::optional<unsigned long> window;  // Preview: the parent; Settings: the owner, if any
  std::string error;                    // Error: what is wrong, one sentence
};

// Reads the arguments after the program's name.
inline SaverArguments ParseSaverArguments(std::span<const std::string_view> args) {
  SaverArguments result;
  const auto fail = [&result](std::string_view error) {
    result.mode = SaverArguments::Mode::Error;
    result.window.reset();
    result.error.assign(error);
    return result;
  };
  // BEFORE "QUOTED" AFTER, as the error.
  const auto failQuoted = [&fail](std::string_view before, std::string_view quoted,
                                  std::string_view after = {}) {
    SaverArguments failed = fail(before);
    failed.error.append(1, '"').append(quoted).append(1, '"').append(after);
    return failed;
  };
  if (args.empty()) {
    return result;
  }
  const std::string_view option = args[0];
  if (option.size() < 2 || (option[0] != '/' && option[0] != '-')) {
    return failQuoted("unknown argument ", option);
  }
  const char letter = option[1];
  std::string_view rest = option.substr(2);
  std::size_t used = 1;
  // The handle: after a colon, or the next argument; empty when there is none.
  std::optional<std::string_view> handle;
  if (!rest.empty()) {
    if (rest[0] != ':') {
      return failQuoted("unknown argument ", option);
    }
    handle = rest.substr(1);
  } else if (args.size() > 1) {
    handle = args[1];
    used = 2;
  }
  switch (letter) {
    case 's':
    case 'S':
      if (!rest.empty() || args.size() > 1) {
        return fail("/s takes nothing after it");
      }
      result.mode = SaverArguments::Mode::Run;
      return result;
    case 'p':
    case 'P':
      if (!handle) {
        return fail("/p needs the handle of the preview window");
      }
      result.mode = SaverArguments::Mode::Preview;
      break;
    case 'c':
    case 'C':
      result.mode = SaverArguments::Mode::Settings;
      if (!handle) {
        return result;
      }
      break;
    default:
      return failQuoted("unknown argument ", option);
  }
  result.window = ParseWindowId(*handle);
  if (!result.window) {
    return failQuoted("", *handle, " is not a window handle");
  }
  if (args.size() > used) {
    return failQuoted("unexpected argument ", args[used]);
  }
  return result;
}

}  // namespace kelvarin
