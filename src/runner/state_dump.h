#pragma once

#include <cstdint>
#include <string>

namespace kelvarin {

struct BattleState;

// Appends what `dump` prints: a line for every ship and particle slot that is
// not all zeros, then the scalars and the count of random numbers drawn, then
// "end":
//   ship I x=X y=Y heading=H target=T health=H team=T size=S
//   part I x=X y=Y angle=A life=L
//   state NextTeam=N PurgeFlag=P IdleTicks=I EngagedCount=E AliveCount=A draws=D
//   end
// Reals in the shortest form that reads back as the same float.
void AppendDump(std::string& out, const BattleState& state, std::uint64_t draws);

}  // namespace kelvarin
