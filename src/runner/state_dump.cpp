#include "runner/state_dump.h"

#include <cstddef>
#include <string_view>

#include "runner/tracing_surface.h"
#include "state/battle_state.h"

namespace kelvarin {

void AppendDump(std::string& out, const BattleState& s, std::uint64_t draws) {
  const auto real = [&out](std::string_view label, float v) {
    out += label;
    AppendFloat(out, v);
  };
  const auto whole = [&out](std::string_view label, long long v) {
    out += label;
    out += std::to_string(v);
  };
  for (std::size_t i = 0; i < kShipSlots; ++i) {
    if (s.ShipX[i] == 0 && s.ShipY[i] == 0 && s.ShipHeading[i] == 0 && s.ShipTarget[i] == 0 &&
        s.ShipHealth[i] == 0 && s.ShipTeam[i] == 0 && s.ShipSize[i] == 0) {
      continue;
    }
    whole("ship ", static_cast<long long>(i));
    real(" x=", s.ShipX[i]);
    real(" y=", s.ShipY[i]);
    real(" heading=", s.ShipHeading[i]);
    whole(" target=", s.ShipTarget[i]);
    whole(" health=", s.ShipHealth[i]);
    whole(" team=", s.ShipTeam[i]);
    whole(" size=", s.ShipSize[i]);
    out += '\n';
  }
  for (std::size_t i = 0; i < kPartSlots; ++i) {
    if (s.PartX[i] == 0 && s.PartY[i] == 0 && s.PartAngle[i] == 0 && s.PartLife[i] == 0) {
      continue;
    }
    whole("part ", static_cast<long long>(i));
    real(" x=", s.PartX[i]);
    real(" y=", s.PartY[i]);
    real(" angle=", s.PartAngle[i]);
    real(" life=", s.PartLife[i]);
    out += '\n';
  }
  whole("state NextTeam=", s.NextTeam);
  whole(" PurgeFlag=", s.PurgeFlag);
  whole(" IdleTicks=", s.IdleTicks);
  whole(" EngagedCount=", s.EngagedCount);
  whole(" AliveCount=", s.AliveCount);
  out += " draws=";
  out += std::to_string(draws);
  out += "\nend\n";
}

}  // namespace kelvarin
