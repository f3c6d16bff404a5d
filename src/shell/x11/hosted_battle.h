#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "app/battle.h"
#include "app/tick_stats.h"
#include "picture/raster.h"
#include "shell/x11/x11_host.h"

namespace kelvarin {

// The rectangles of a picture `whole` that get a battle each, from the
// monitors that show it: each monitor clipped to the picture, leaving out
// those with nothing left and those overlapping one before them (a monitor
// that shows the same place as another). The whole picture when none is
// left.
std::vector<raster::PixelRect> MonitorAreas(std::span<const raster::PixelRect> monitors,
                                            raster::PixelRect whole);

// The battle drawn into a window the program did not create: the screensaver
// modes. There is one picture, the host's (see X11Host): the battle draws on
// it while a tick draws, after which the tiles it drew on are sent. The
// battle's area is the whole host, without border or margins, and follows its
// size. On the root window it can be one battle per monitor instead, each
// fitted to its monitor's rectangle of the picture and lent only that, the
// rest of the picture black; the monitors are followed as they change.
class HostedBattle final {
 public:
  // With perMonitor, a battle in each of the host's monitors (X11Host::
  // Monitors), else one over the whole host. They start from the time of
  // day, each its own battle (ScreenSeed), the first the lone battle's.
  HostedBattle(X11Host& host, bool collectStats, bool perMonitor = false);
  ~HostedBattle();
  HostedBattle(const HostedBattle&) = delete;
  HostedBattle& operator=(const HostedBattle&) = delete;

  // The ticks' statistics, every battle's drawing and sending in each; null
  // without collectStats.
  const TickStats* stats() const { return stats_.get(); }

  // Ticks every 40 ms, handling what the server sends in between, until the
  // host is destroyed or a quit signal arrives (see quit_signals.h). Returns
  // the exit status, 0.
  int Run();

  // One tick: each battle's tick drawn on the host's picture and sent, then
  // whatever the server has said handled. False once the host is gone.
  bool Tick();

 private:
  struct Part;

  // Handles what the server has sent; false once the host is gone.
  bool ReadHost();
  // Fits the battles to the host's areas, when they have changed or the
  // picture is new: a battle stays with its area while the area is there, the
  // other areas take the other battles, then new ones, and those left over
  // end. A battle given another area (every one, when `pictureNew`) is
  // resized, its area cleared and sent. When the areas do not cover the whole
  // picture, all of it is cleared and sent first.
  void Refit(bool pictureNew);
  // The host's picture (drawn on from BeginDrawing to the last send of a
  // tick) as the rectangle `area` of it.
  raster::PixelBuffer Lend(const raster::PixelRect& area) const;
  // Sends tiles of the rectangle `area` of the picture.
  void Send(const raster::PixelRect& area, std::span<const raster::PixelRect> tiles);

  X11Host& host_;
  bool perMonitor_;
  std::vector<std::unique_ptr<Part>> parts_;
  std::unique_ptr<TickStats> stats_;
  raster::PixelBuffer picture_;
  std::vector<raster::PixelRect> sent_;
};

// Runs the battle in the X window `id`; without one, in the window named by
// XSCREENSAVER_WINDOW, as screensaver daemons do, or else on the root window,
// a battle per monitor. It runs until the host is destroyed or a quit signal
// arrives. Returns the exit status: 0; 2 after one line on `err` when
// XSCREENSAVER_WINDOW is not a window id; 1 after one line when the host
// cannot be used. With collectStats the tick statistics go to `err` at the
// end.
int RunHostedBattle(std::optional<unsigned long> id, bool collectStats, std::ostream& err);

}  // namespace kelvarin
