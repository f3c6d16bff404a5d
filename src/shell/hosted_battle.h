#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <optional>
#include <ostream>

#include "shell/image_surface.h"
#include "shell/tick_stats.h"
#include "shell/x11_host.h"
#include "sim/random.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin {

// The battle drawn into a window the program did not create: the screensaver
// modes. The surface is the whole host, without border or margins, and
// follows its size; the simulation, the picture and the timer are the ones
// of the window. The run ends with status 0 when the host is destroyed.
class HostedBattle final : public QObject {
  Q_OBJECT

 public:
  HostedBattle(X11Host& host, bool collectStats);

  const TickStats* stats() const { return stats_.get(); }

 private:
  void Tick();
  void ReadHost();
  void Show(const QRect& dirty);

  X11Host& host_;
  BattleState state_{};
  BuiltinRandom random_;
  ImageSurface surface_;
  World world_{state_, surface_, random_};
  QTimer tmr_;
  QSocketNotifier events_;
  std::unique_ptr<TickStats> stats_;
};

// Runs the battle in the X window `id`; without one, in the window named by
// XSCREENSAVER_WINDOW, as screensaver daemons do, or else the root window. It
// runs until the host is destroyed or a quit signal arrives (see
// quit_signals.h). Returns the exit status: 0; 2 after one line on `err` when
// XSCREENSAVER_WINDOW is not a window id; 1 after one line when the host
// cannot be used. With collectStats the tick statistics go to `err` at the end.
int RunHostedBattle(std::optional<unsigned long> id, bool collectStats, char* program,
                    std::ostream& err);

}  // namespace kelvarin
