#include "shell/x11/hosted_battle.h"

#include <poll.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "app/tick_clock.h"
#include "app/window_id.h"
#include "shell/posix/quit_signals.h"

namespace kelvarin {

HostedBattle::HostedBattle(X11Host& host, bool collectStats)
    : host_(host), battle_(Battle::Pixels::Lent, collectStats) {
  battle_.StartAmbient(SecondsSinceMidnight());
  Refit();
}

int HostedBattle::Run() {
  using Clock = TickSchedule::Clock;
  // The first tick comes an interval after the first picture is sent: the
  // server has that long to read it.
  TickSchedule schedule(Clock::now());
  pollfd watched[2] = {{host_.connection(), POLLIN, 0}, {QuitSignalPipe(), POLLIN, 0}};
  // What Xlib read while the host was taken on is not announced by the socket.
  if (!ReadHost()) {
    return 0;
  }
  for (;;) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(schedule.due() - Clock::now());
    if (wait.count() > 0 && poll(watched, 2, static_cast<int>(wait.count())) < 0 &&
        errno != EINTR) {
      return 0;
    }
    if (TakeQuitSignals()) {
      return 0;
    }
    if (!ReadHost()) {
      return 0;
    }
    if (schedule.TakeDue(Clock::now()) && !Tick()) {
      return 0;
    }
  }
}

bool HostedBattle::Tick() {
  battle_.Tick(*this);
  // Xlib may have read events while sending, which the socket no longer
  // announces.
  return ReadHost();
}

// Whatever the server has sent: a resize re-fits the surface to the host's
// new picture and clears it; an exposed area is sent again.
bool HostedBattle::ReadHost() {
  const X11Host::News news = host_.Read();
  if (news.gone) {
    return false;
  }
  if (news.resized) {
    Refit();
  } else if (!news.exposed.empty()) {
    host_.Send({&news.exposed, 1});
  }
  return true;
}

// The cleared picture is sent at once.
void HostedBattle::Refit() {
  battle_.Resize(host_.width(), host_.height());
  battle_.Show(*this);
}

raster::PixelBuffer HostedBattle::BeginDrawing() { return host_.BeginDrawing(); }

void HostedBattle::EndDrawing(std::span<const raster::PixelRect> tiles) { host_.Send(tiles); }

int RunHostedBattle(std::optional<unsigned long> id, bool collectStats, std::ostream& err) {
  const char* named = std::getenv("XSCREENSAVER_WINDOW");
  if (!id && named != nullptr && named[0] != '\0') {
    id = ParseWindowId(named);
    if (!id) {
      err << "kelvarin: XSCREENSAVER_WINDOW is not a window id: " << named << '\n';
      return 2;
    }
  }
  std::string error;
  const std::unique_ptr<X11Host> host = X11Host::Open(id, error);
  if (!host) {
    err << error << '\n';
    return 1;
  }
  HostedBattle battle(*host, collectStats);
  const int status = battle.Run();
  if (battle.battle().stats() != nullptr) {
    err << battle.battle().stats()->Report();
  }
  return status;
}

}  // namespace kelvarin
