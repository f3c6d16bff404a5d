#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "app/tick_stats.h"
#include "picture/pixel_surface.h"
#include "picture/raster.h"
#include "sim/random.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin {

// What a back-end does around each tick of a battle whose pixels it shows.
class Screen {
 public:
  virtual ~Screen() = default;

  // Only for a battle whose pixels are lent: the pixels to draw this tick's
  // picture into, the picture's size, lent until EndDrawing. Null bits when
  // there are none now; the battle then draws nothing, which is safe (every
  // tick draws again each ship and particle it keeps).
  virtual raster::PixelBuffer BeginDrawing() { return {}; }
  // The drawing is done and the pixels are taken back: `tiles` are the
  // rectangles of the picture drawn on, to be put on the screen.
  virtual void EndDrawing(std::span<const raster::PixelRect> tiles) = 0;
};

// One battle and its picture: what a window, a screen or a page shows. It
// owns the battle state, the generator, the surface the battle draws on, the
// tiles drawn on and, if asked, the tick statistics, and it is the one place
// from which a back-end runs the tick and the handlers of a resize, a key
// and a press. A back-end holds one per picture it shows; battles share
// nothing, so a process may hold several.
class Battle final {
 public:
  // Where the picture's pixels live: in the battle (Own), or in memory the
  // back-end lends for each tick (Lent), ideally memory the window system
  // shows, so that nothing is copied.
  enum class Pixels { Own, Lent };

  // An empty battle, as the window starts: the first battle arrives after
  // the lull. With collectStats every tick is timed (see TickStats). The
  // picture is 1 x 1 until the first Resize.
  explicit Battle(Pixels pixels, bool collectStats = false);
  Battle(const Battle&) = delete;
  Battle& operator=(const Battle&) = delete;

  // The ambient start of the full-screen and screensaver modes: the
  // generator seeded from the time of day, or from a seed of the caller's,
  // and the first battle at the end of the fourth tick (ambient_start.h).
  void StartAmbient(double secondsSinceMidnight);
  void StartAmbientFromSeed(std::uint64_t seed);

  // The resize rule: the picture fitted to width x height pixels and
  // cleared, at once when the battle has pixels of its own, else when
  // pixels are next lent. Ships and particles reappear as the next tick
  // draws them.
  void Resize(int width, int height);
  // The lent pixels no longer hold the picture (the window system made them
  // anew): they are cleared when next lent.
  void PictureLost() { clearPending_ = true; }
  bool clearPending() const { return clearPending_; }

  // One tick: tmr_Timer drawn on the picture, then the tiles drawn on handed
  // to `screen` and back to the caller (valid until the next call). With
  // statistics, the tick is timed from the lending of the pixels to the end
  // of `screen.EndDrawing`.
  std::span<const raster::PixelRect> Tick(Screen& screen);
  // Hands `screen` what was drawn since the last tick without ticking: the
  // cleared picture after a Resize, say.
  void Show(Screen& screen);

  // A button (1 left, 2 right, 4 middle) went down at (x, y) inside the
  // picture's area of width x height, in the back-end's own units: the
  // point is mapped to logical units (LogicalFromInner) and a fleet dropped
  // there, the generator re-seeded from the time of day.
  void Press(int button, double x, double y, double width, double height);
  void Press(int button, double x, double y, double width, double height,
             double secondsSinceMidnight);
  // A key went down (13 Enter, 27 Escape): true when the program should end.
  bool Key(int code);

  const BattleState& state() const { return state_; }
  BattleState& state() { return state_; }
  const PixelSurface& surface() const { return surface_; }
  PixelSurface& surface() { return surface_; }
  const TickStats* stats() const { return stats_.get(); }
  std::uint64_t ticks() const { return ticks_; }

 private:
  // Lends the screen's pixels when the picture is lent; clears them when due.
  void BeginDrawing(Screen& screen);
  void EndDrawing(Screen& screen);

  BattleState state_{};
  BuiltinRandom random_;
  PixelSurface surface_;
  World world_{state_, surface_, random_};
  std::unique_ptr<TickStats> stats_;
  std::vector<raster::PixelRect> tiles_;
  std::uint64_t ticks_ = 0;
  bool lent_;
  bool clearPending_ = false;
};

}  // namespace kelvarin
