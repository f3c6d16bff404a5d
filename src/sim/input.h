#pragma once

#include "sim/world.h"

namespace kelvarin {

inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;

enum class KeyResult { Continue, Quit };

// A key went down on the surface: Escape asks the program to end, Enter starts
// the purge, every other key is ignored.
KeyResult pct_KeyDown(BattleState& state, int keyCode);

inline constexpr int kButtonLeft = 1;
inline constexpr int kButtonRight = 2;
inline constexpr int kButtonMiddle = 4;

// A mouse button (1 left, 2 right, 4 middle) went down on the surface at
// logical (x, y): re-seeds the generator from the time of day and drops a
// fleet of the next team there; with the left button the fifth ship is a
// flagship.
void pct_MouseDown(World& world, int button, float x, float y, double secondsSinceMidnight);

}  // namespace kelvarin
