#include "app/battle.h"

#include "app/ambient_start.h"
#include "app/tick_clock.h"
#include "app/window_metrics.h"
#include "sim/input.h"
#include "sim/tick.h"

namespace kelvarin {

Battle::Battle(Pixels pixels, bool collectStats)
    : surface_(pixels == Pixels::Lent ? PixelSurface::Lent(1, 1) : PixelSurface(1, 1)),
      lent_(pixels == Pixels::Lent) {
  if (collectStats) {
    stats_ = std::make_unique<TickStats>();
  }
}

void Battle::StartAmbient(double secondsSinceMidnight) {
  kelvarin::StartAmbient(world_, secondsSinceMidnight);
}

void Battle::StartAmbientFromSeed(std::uint64_t seed) {
  kelvarin::StartAmbient(state_, random_, seed);
}

void Battle::Resize(int width, int height) {
  surface_.Resize(width, height);
  if (lent_) {
    clearPending_ = true;
  } else {
    surface_.Cls();
  }
}

std::span<const raster::PixelRect> Battle::Tick(Screen& screen) {
  if (stats_) {
    stats_->TickStarted();
  }
  BeginDrawing(screen);
  tmr_Timer(world_);
  ++ticks_;
  EndDrawing(screen);
  if (stats_) {
    stats_->TickEnded();
  }
  return tiles_;
}

void Battle::Show(Screen& screen) {
  BeginDrawing(screen);
  EndDrawing(screen);
}

void Battle::BeginDrawing(Screen& screen) {
  if (!lent_) {
    return;
  }
  // The screen may re-fit the battle first (a new density, say).
  const raster::PixelBuffer pixels = screen.BeginDrawing();
  if (pixels.bits == nullptr) {
    return;
  }
  surface_.Lend(pixels);
  if (clearPending_) {
    surface_.Cls();
    clearPending_ = false;
  }
}

void Battle::EndDrawing(Screen& screen) {
  surface_.Withdraw();
  surface_.TakeDirtyRects(tiles_);
  screen.EndDrawing(tiles_);
}

void Battle::Press(int button, double x, double y, double width, double height) {
  Press(button, x, y, width, height, SecondsSinceMidnight());
}

void Battle::Press(int button, double x, double y, double width, double height,
                   double secondsSinceMidnight) {
  const LogicalPoint logical = LogicalFromInner(x, y, width, height);
  pct_MouseDown(world_, button, static_cast<float>(logical.x), static_cast<float>(logical.y),
                secondsSinceMidnight);
}

bool Battle::Key(int code) { return pct_KeyDown(state_, code) == KeyResult::Quit; }

}  // namespace kelvarin
