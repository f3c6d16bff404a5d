#pragma once

#include "runner/script_arguments.h"

namespace kelvarin {

class ScriptRun;

namespace script {

// Runs the line `t` (t[0] its command) on `run`, or throws LineError,
// FileError or RandomExhausted. Every command checks all of its arguments
// before it changes anything.
void Execute(ScriptRun& run, const Tokens& t);

// The handlers of the commands, each given a line with as many arguments as
// the table of script_commands.cpp allows; a command is a row there and a
// handler here. They are kept by what they act on:

// The battle (battle_commands.cpp).
void Tick(ScriptRun& run, const Tokens& t);
void Click(ScriptRun& run, const Tokens& t);
void Key(ScriptRun& run, const Tokens& t);
void Clock(ScriptRun& run, const Tokens& t);
// The generator (random_commands.cpp).
void RandomValues(ScriptRun& run, const Tokens& t);
void RandomFile(ScriptRun& run, const Tokens& t);
void Seed(ScriptRun& run, const Tokens& t);
// The state set by hand (state_commands.cpp).
void Ship(ScriptRun& run, const Tokens& t);
void Part(ScriptRun& run, const Tokens& t);
void Set(ScriptRun& run, const Tokens& t);
// What the run prints and writes (output_commands.cpp).
void Draw(ScriptRun& run, const Tokens& t);
void Dump(ScriptRun& run, const Tokens& t);
void SurfaceSize(ScriptRun& run, const Tokens& t);
void Png(ScriptRun& run, const Tokens& t);
void Gif(ScriptRun& run, const Tokens& t);

}  // namespace script
}  // namespace kelvarin
