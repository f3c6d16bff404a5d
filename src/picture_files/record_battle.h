#pragma once

#include <iosfwd>

#include "runner/battle_recording.h"

namespace kelvarin {

// Records the battle `recording` describes (the generator on the given seed,
// else on its standard one). Returns the exit status: 0, or 1 with
// "error: FILE: REASON" on `err` when the file cannot be written; then no
// file is left.
int RecordBattle(const BattleRecording& recording, std::ostream& err);

}  // namespace kelvarin
