#include "picture_files/record_battle.h"

#include <ostream>

#include "app/tick_clock.h"
#include "picture/pixel_surface.h"
#include "picture_files/gif_recorder.h"
#include "runner/script_runner.h"
#include "sim/lull.h"
#include "sim/random.h"
#include "sim/tick.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin {

int RecordBattle(const BattleRecording& r, std::ostream& err) {
  BattleState state;
  PixelSurface image(r.width.value_or(kDefaultPictureWidth),
                     r.height.value_or(kDefaultPictureHeight));
  BuiltinRandom random(r.seed.value_or(BuiltinRandom::kDefaultSeed));
  World world{state, image, random};
  // A fresh battle is all lull: the first automatic battle arrives at the end
  // of tick kLullTicks, and the first frame recorded draws it.
  for (int tick = 0; tick < kLullTicks; ++tick) {
    tmr_Timer(world);
  }

  GifRecorder gif;
  PictureRecorder::Status status = gif.Start(r.path, image);
  const int frames = r.seconds.value_or(BattleRecording::kDefaultSeconds) * kTicksPerSecond;
  for (int frame = 0; frame < frames && status == PictureRecorder::Status::kOk; ++frame) {
    tmr_Timer(world);
    status = gif.AddFrame(image);
  }
  if (status == PictureRecorder::Status::kOk) {
    status = gif.Finish(image);
  }
  if (status != PictureRecorder::Status::kOk) {
    err << "error: " << r.path << ": " << gif.failure() << '\n';
    return kScriptFileError;  // the battle alone never needs more than 256 colours
  }
  return kScriptOk;
}

}  // namespace kelvarin
