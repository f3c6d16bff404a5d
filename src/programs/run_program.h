#pragma once

#include <functional>
#include <optional>

#include "programs/command_line.h"

namespace kelvarin {

// One mode of the program as a build runs it: the exit status, or nothing
// for a usage error (the usage text on standard error, status 2).
using RunMode = std::function<std::optional<int>(CommandLine&)>;

// What a build adds to the modes every build has (--version, --help and
// --script without picture files). A mode left unset is not in the build.
struct Platform {
  // The text of --help and of a usage error.
  const char* usage = kUsage;
  // Whether the window modes take the toolkit's options; without, any
  // argument that is not the program's own is a usage error.
  bool toolkitOptions = true;
  // --script, when the build writes picture files.
  RunMode script;
  // --gif; without it, one line and status 2.
  RunMode record;
  // The window and --fullscreen.
  RunMode window;
  // --root and --window-id.
  RunMode hosted;
  // A mode the build does not have; without it, a usage error.
  RunMode missing;
  // Called once the command line is read (null when it is not valid),
  // before anything is printed.
  std::function<void(const CommandLine*)> started;
};

// Reads the command line and runs the mode it asks for on `platform`.
// Returns the exit status.
int RunProgram(int argc, char* argv[], const Platform& platform);

}  // namespace kelvarin
