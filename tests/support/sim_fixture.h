#pragma once

#include <gtest/gtest.h>

#include "battle_summary.h"
#include "recording_surface.h"
#include "sim/random.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin::testing {

// A battle with a recording surface and scripted random numbers.
class SimTest : public ::testing::Test {
 protected:
  void Script(std::initializer_list<double> values) {
    for (double v : values) random.Append(v);
  }

  void PlaceShip(int i, float x, float y, float heading, int size, int team, int target,
                 int health = -1) {
    s.ShipX[i] = x;
    s.ShipY[i] = y;
    s.ShipHeading[i] = heading;
    s.ShipSize[i] = static_cast<std::int16_t>(size);
    s.ShipTeam[i] = static_cast<std::int16_t>(team);
    s.ShipTarget[i] = static_cast<std::int16_t>(target);
    s.ShipHealth[i] = static_cast<std::int16_t>(health < 0 ? (size + 1) * (size + 1) : health);
  }

  void PlaceParticle(int i, float x, float y, float angle, float life) {
    s.PartX[i] = x;
    s.PartY[i] = y;
    s.PartAngle[i] = angle;
    s.PartLife[i] = life;
  }

  int LiveParticles() const { return kelvarin::testing::LiveParticles(s); }

  BattleState s;
  RecordingSurface surface;
  ScriptedRandom random;
  World world{s, surface, random};
};

}  // namespace kelvarin::testing
