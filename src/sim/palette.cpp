#include "sim/palette.h"

#include <algorithm>

#include "sim/damage.h"
#include "sim/gunfire.h"
#include "sim/particles.h"
#include "sim/ship_drawing.h"

namespace kelvarin {
namespace {

void Add(std::vector<Rgb>& colours, Rgb colour) {
  if (std::find(colours.begin(), colours.end(), colour) == colours.end()) {
    colours.push_back(colour);
  }
}

}  // namespace

std::vector<Rgb> ColoursInPlay() {
  std::vector<Rgb> colours{kBlack, kFlankColour};
  for (int team = 0; team < 3; ++team) {
    Add(colours, TeamColour(team));
  }
  // A particle's life is lowered by 1 before it is drawn, and it is drawn
  // only while its life is above 0. A shot starts at exactly 50, so it is
  // drawn at the whole lives 49 down to 1.
  for (int life = static_cast<int>(kShotLife) - 1; life > 0; --life) {
    Add(colours, ParticleColour(static_cast<float>(life)));
  }
  // Debris starts at any life from 0 up to 17 (a draw below 1, times 17,
  // rounded to float32), so it is drawn at any life in (0, 16]. Its red
  // changes only at halves and its green only at odd quarters: the multiples
  // of 1/8 meet every step and every stretch between two steps.
  const int eighths = static_cast<int>(kDebrisLife - 1) * 8;
  for (int k = 1; k <= eighths; ++k) {
    Add(colours, ParticleColour(static_cast<float>(k / 8.0)));
  }
  return colours;
}

}  // namespace kelvarin
