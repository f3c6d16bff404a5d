#pragma once

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "state/battle_state.h"

namespace kelvarin::gates {

// What must hold between any two ticks, however the battle got there. Returns
// an empty string when everything holds, else the first broken rule with the
// slot and the value, for the failure message.
inline std::string BrokenInvariant(const BattleState& s) {
  std::ostringstream why;
  auto bad = [&why](const char* field, int slot, double value) {
    why << field << '[' << slot << "] = " << value;
    return why.str();
  };
  for (int i = 0; i < kShipSlots; ++i) {
    if (s.ShipHealth[i] < 0 || s.ShipHealth[i] > 36) return bad("ShipHealth", i, s.ShipHealth[i]);
    if (s.ShipTeam[i] < 0 || s.ShipTeam[i] > 2) return bad("ShipTeam", i, s.ShipTeam[i]);
    const int size = s.ShipSize[i];
    if (size != 0 && size != 1 && size != 2 && size != 3 && size != 5) {
      return bad("ShipSize", i, size);
    }
    if (s.ShipTarget[i] < 0 || s.ShipTarget[i] > 100) return bad("ShipTarget", i, s.ShipTarget[i]);
    if (s.ShipHealth[i] > 0) {
      // Written as negations so that NaN fails them too.
      if (!(s.ShipX[i] >= 0.0F && s.ShipX[i] <= 800.0F)) return bad("ShipX", i, s.ShipX[i]);
      if (!(s.ShipY[i] >= 0.0F && s.ShipY[i] <= 600.0F)) return bad("ShipY", i, s.ShipY[i]);
      if (!(s.ShipHeading[i] >= 0.0F && s.ShipHeading[i] <= 6.2831855F)) {
        return bad("ShipHeading", i, s.ShipHeading[i]);
      }
    }
  }
  for (int j = 0; j < kPartSlots; ++j) {
    if (!std::isfinite(s.PartX[j])) return bad("PartX", j, s.PartX[j]);
    if (!std::isfinite(s.PartY[j])) return bad("PartY", j, s.PartY[j]);
    if (!std::isfinite(s.PartAngle[j])) return bad("PartAngle", j, s.PartAngle[j]);
    if (!std::isfinite(s.PartLife[j]) || s.PartLife[j] > 50.0F) {
      return bad("PartLife", j, s.PartLife[j]);
    }
  }
  if (s.IdleTicks < 0 || s.IdleTicks >= 150) return bad("IdleTicks", 0, s.IdleTicks);
  if (s.NextTeam < 0 || s.NextTeam > 2) return bad("NextTeam", 0, s.NextTeam);
  if (s.PurgeFlag != kFalse && s.PurgeFlag != kTrue) return bad("PurgeFlag", 0, s.PurgeFlag);
  return {};
}

}  // namespace kelvarin::gates
