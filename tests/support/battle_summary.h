#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "state/battle_state.h"

// Figures read off a battle state, shared by the tests, the gates and the
// benchmarks.
namespace kelvarin::testing {

inline int LiveShips(const BattleState& s) {
  int n = 0;
  for (const std::int16_t health : s.ShipHealth) n += health > 0 ? 1 : 0;
  return n;
}

inline int LiveParticles(const BattleState& s) {
  int n = 0;
  for (const float life : s.PartLife) n += life > 0.0F ? 1 : 0;
  return n;
}

// FNV-1a over the bytes of every field of the state, the tick's scratch
// included: two states with equal fields have equal fingerprints.
inline std::uint64_t Fingerprint(const BattleState& s) {
  std::uint64_t value = 14695981039346656037ULL;
  const auto add = [&value](const auto& array) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(array.data());
    for (std::size_t n = 0; n < sizeof(array[0]) * array.size(); ++n) {
      value = (value ^ bytes[n]) * 1099511628211ULL;
    }
  };
  for (const auto& a : {s.ShipX, s.ShipY, s.ShipHeading}) add(a);
  for (const auto& a : {s.ShipTarget, s.ShipHealth, s.ShipTeam, s.ShipSize}) add(a);
  for (const auto& a : {s.PartX, s.PartY, s.PartAngle, s.PartLife}) add(a);
  add(std::array{s.NextTeam, s.PurgeFlag, s.IdleTicks, s.EngagedCount, s.AliveCount});
  add(std::array{s.DeltaX, s.DeltaY, s.Bearing, s.Distance});
  return value;
}

}  // namespace kelvarin::testing
