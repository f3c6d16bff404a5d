#pragma once

#include "sim/world.h"

namespace kelvarin {

// One timer tick: the ship phase over slots 0..100, the purge flag's clean-up,
// the particle phase over slots 0..300 and the lull check, in that order.
void tmr_Timer(World& world);

}  // namespace kelvarin
