#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runner/battle_recording.h"

namespace kelvarin {

// What the command line asks for. Without an option of its own the program
// opens its window; --stats goes with the window modes; the other modes take
// no Qt options.
struct CommandLine {
  enum class Mode { Window, Fullscreen, Root, WindowId, Script, Gif, Version, Help };

  Mode mode = Mode::Window;
  bool stats = false;
  std::string scriptPath;                 // --script
  std::optional<unsigned long> windowId;  // --window-id
  BattleRecording gif;                    // --gif and its options
  // The arguments that are not the program's own, for Qt (argv[0] first).
  std::vector<char*> qtArguments;
};

// Reads argv. Empty for a usage error: an unknown option, a missing or bad
// value, two modes at once, an option that does not go with the mode.
std::optional<CommandLine> ParseCommandLine(int argc, char* argv[]);

// The usage text of --help and of a usage error.
extern const char kUsage[];

}  // namespace kelvarin
