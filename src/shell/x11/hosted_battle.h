#pragma once

#include <optional>
#include <ostream>
#include <span>

#include "app/battle.h"
#include "shell/x11/x11_host.h"

namespace kelvarin {

// The battle drawn into a window the program did not create: the screensaver
// modes. The picture is the whole host, without border or margins, and
// follows its size. As in the window, there is one picture: the host's (see
// X11Host), lent to the battle while a tick draws, after which the tiles it
// drew on are sent.
class HostedBattle final : public Screen {
 public:
  HostedBattle(X11Host& host, bool collectStats);

  const Battle& battle() const { return battle_; }

  // Ticks every 40 ms, handling what the server sends in between, until the
  // host is destroyed or a quit signal arrives (see quit_signals.h). Returns
  // the exit status, 0.
  int Run();

  // One tick: the battle's tick drawn on the host's picture and sent, then
  // whatever the server has said handled. False once the host is gone.
  bool Tick();

  raster::PixelBuffer BeginDrawing() override;
  void EndDrawing(std::span<const raster::PixelRect> tiles) override;

 private:
  // Handles what the server has sent; false once the host is gone.
  bool ReadHost();
  // Fits the picture to the host and clears it: the window's resize rule.
  void Refit();

  X11Host& host_;
  Battle battle_;
};

// Runs the battle in the X window `id`; without one, in the window named by
// XSCREENSAVER_WINDOW, as screensaver daemons do, or else the root window. It
// runs until the host is destroyed or a quit signal arrives. Returns the exit
// status: 0; 2 after one line on `err` when XSCREENSAVER_WINDOW is not a
// window id; 1 after one line when the host cannot be used. With
// collectStats the tick statistics go to `err` at the end.
int RunHostedBattle(std::optional<unsigned long> id, bool collectStats, std::ostream& err);

}  // namespace kelvarin
