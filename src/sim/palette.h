#pragma once

#include <vector>

#include "sim/surface.h"

namespace kelvarin {

// Every colour the battle draws in play, each once: black first, then the
// flank grey, the three team colours, and every shade a shot or a piece of
// debris can be drawn in. A scripted state can draw others (a particle given
// a life above 50).
std::vector<Rgb> ColoursInPlay();

}  // namespace kelvarin
