#pragma once

#include <array>
#include <cstdint>

namespace kelvarin {

inline constexpr int kShipSlots = 101;
inline constexpr int kPartSlots = 301;

inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// Everything the program knows about the battle: two tables of parallel
// arrays and a few scalars, all zero when created. A ship slot is live while
// its health is above 0 and free only at exactly 0; a particle slot is live
// while its life is above 0 and free only at exactly 0. Nothing here is ever
// allocated or released while the battle runs. Loop counters are locals of
// the routines that run the loops: no routine needs one across a call.
struct BattleState {
  // Ship table.
  std::array<float, kShipSlots> ShipX{};
  std::array<float, kShipSlots> ShipY{};
  std::array<float, kShipSlots> ShipHeading{};
  std::array<std::int16_t, kShipSlots> ShipTarget{};
  std::array<std::int16_t, kShipSlots> ShipHealth{};
  std::array<std::int16_t, kShipSlots> ShipTeam{};
  std::array<std::int16_t, kShipSlots> ShipSize{};

  // Particle table: gunfire shots and debris.
  std::array<float, kPartSlots> PartX{};
  std::array<float, kPartSlots> PartY{};
  std::array<float, kPartSlots> PartAngle{};
  std::array<float, kPartSlots> PartLife{};

  // Scalars.
  std::int16_t NextTeam = 0;        // team of the fleet most recently spawned
  std::int16_t PurgeFlag = kFalse;  // True (-1) while Enter's purge runs
  std::int16_t IdleTicks = 0;       // idle ticks since the last automatic battle
  std::int16_t EngagedCount = 0;    // per tick: ships whose target was a live enemy
  std::int16_t AliveCount = 0;      // per tick: ships live when their visit began

  // Per-ship scratch of the tick: offset to the target, its relative bearing
  // and distance, measured by the targeting and read by the steering.
  float DeltaX = 0;
  float DeltaY = 0;
  float Bearing = 0;
  float Distance = 0;

  std::int32_t DebrisLeft = 0;  // debris still to emit while a ship bursts
};

}  // namespace kelvarin
