#include "programs/command_line.h"

#include "app/window_id.h"

namespace kelvarin {

const char kUsage[] =
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

std::optional<CommandLine> ParseCommandLine(int argc, char* argv[]) {
  using Mode = CommandLine::Mode;
  CommandLine line;
  line.qtArguments.push_back(argv[0]);
  int modes = 0;
  bool gifOptions = false;
  const auto setMode = [&](Mode chosen) {
    line.mode = chosen;
    ++modes;
  };
  // The value after option i, if there is one.
  const auto value = [&](int& i) -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };

  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      setMode(Mode::Version);
    } else if (arg == "--help") {
      setMode(Mode::Help);
    } else if (arg == "--stats") {
      if (line.stats) {
        return std::nullopt;
      }
      line.stats = true;
    } else if (arg == "--fullscreen") {
      setMode(Mode::Fullscreen);
    } else if (arg == "--root" || arg == "-root") {
      setMode(Mode::Root);
    } else if (arg == "--window-id" || arg == "-window-id") {
      const char* id = value(i);
      line.windowId = id != nullptr ? ParseWindowId(id) : std::nullopt;
      if (!line.windowId) {
        return std::nullopt;
      }
      setMode(Mode::WindowId);
    } else if (arg == "--script") {
      const char* path = value(i);
      if (path == nullptr) {
        return std::nullopt;
      }
      line.scriptPath = path;
      setMode(Mode::Script);
    } else if (arg == "--gif") {
      const char* path = value(i);
      if (path == nullptr) {
        return std::nullopt;
      }
      line.gif.path = path;
      setMode(Mode::Gif);
    } else if (arg == "--seconds" || arg == "--seed" || arg == "--size") {
      const char* setting = value(i);
      if (setting == nullptr || !SetRecordingOption(line.gif, arg, setting)) {
        return std::nullopt;
      }
      gifOptions = true;
    } else if (arg.starts_with("--")) {
      // Qt's options are written with one dash; anything else with two is unknown.
      return std::nullopt;
    } else {
      line.qtArguments.push_back(argv[i]);
    }
  }
  if (modes > 1 || (gifOptions && line.mode != Mode::Gif)) {
    return std::nullopt;
  }

  const bool qtOptions = line.qtArguments.size() > 1;
  switch (line.mode) {
    case Mode::Version:
    case Mode::Help:
    case Mode::Script:
    case Mode::Gif:
      return line.stats || qtOptions ? std::nullopt : std::optional(line);
    case Mode::Root:
    case Mode::WindowId:
      // No Qt window, so no Qt options.
      return qtOptions ? std::nullopt : std::optional(line);
    case Mode::Window:
    case Mode::Fullscreen:
      break;
  }
  return line;
}

}  // namespace kelvarin
