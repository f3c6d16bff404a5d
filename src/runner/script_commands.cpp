#include "runner/script_commands.h"

#include <array>
#include <cstddef>
#include <limits>
#include <string_view>

#include "runner/script_run.h"

namespace kelvarin::script {
namespace {

// No upper bound on the number of arguments.
constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

// A command word, and what a line of it must be before its handler runs.
struct Command {
  std::string_view name;
  // How many arguments it takes, and the form of the line as messages give it.
  std::size_t minArgs;
  std::size_t maxArgs;
  std::string_view usage;
  // It writes pictures: a build without picture files refuses the line,
  // whatever its arguments.
  bool writesPictures;
  void (*handler)(ScriptRun& run, const Tokens& t);
};

// The language: a command is a row here and a handler in script_commands.h.
constexpr std::array kCommands = {
    Command{"tick", 0, 1, "tick [N]", false, Tick},
    Command{"click", 2, 3, "click X Y [BUTTON]", false, Click},
    Command{"key", 1, 1, "key CODE", false, Key},
    Command{"random", 1, kAny, "random V ...", false, RandomValues},
    Command{"random-file", 1, 1, "random-file PATH", false, RandomFile},
    Command{"seed", 1, 1, "seed N", false, Seed},
    Command{"clock", 1, 1, "clock S", false, Clock},
    Command{"ship", 2, kAny, "ship I F=V ...", false, Ship},
    Command{"part", 2, kAny, "part I F=V ...", false, Part},
    Command{"set", 2, 2, "set NAME V", false, Set},
    Command{"draw", 1, 1, "draw on|off", false, Draw},
    Command{"dump", 0, 0, "dump", false, Dump},
    Command{"surface", 2, 2, "surface W H", false, SurfaceSize},
    Command{"png", 1, 1, "png PATH", true, Png},
    Command{"gif", 1, 1, "gif FILE|stop", true, Gif},
};

// The row of the command `word` (not empty), or null. The first letters are
// compared first: that spares most rows a call to memcmp, which a script of
// many short lines would feel.
const Command* Find(std::string_view word) {
  for (const Command& command : kCommands) {
    if (command.name[0] == word[0] && command.name == word) {
      return &command;
    }
  }
  return nullptr;
}

}  // namespace

void Execute(ScriptRun& run, const Tokens& t) {
  const Command* command = Find(t[0]);
  if (command == nullptr) {
    throw LineError{"unknown command " + Quoted(t[0])};
  }
  if (command->writesPictures) {
    run.Pictures(command->name);  // throws in a build without them
  }
  ArgCount(t, command->minArgs, command->maxArgs, command->usage);
  command->handler(run, t);
}

}  // namespace kelvarin::script
