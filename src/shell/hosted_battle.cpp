#include "shell/hosted_battle.h"

#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "shell/ambient_start.h"
#include "shell/quit_signals.h"
#include "shell/tick_clock.h"
#include "sim/tick.h"

namespace kelvarin {

HostedBattle::HostedBattle(X11Host& host, bool collectStats)
    : host_(host),
      surface_(ImageSurface::Lent(host.width(), host.height())),
      events_(host.connection(), QSocketNotifier::Read) {
  if (collectStats) {
    stats_ = std::make_unique<TickStats>();
  }
  StartAmbient(world_, SecondsSinceMidnight());
  connect(&events_, &QSocketNotifier::activated, this, &HostedBattle::ReadHost);
  tmr_.setInterval(kTickIntervalMs);
  tmr_.setTimerType(Qt::PreciseTimer);
  connect(&tmr_, &QTimer::timeout, this, &HostedBattle::Tick);
  Refit();
  // Started once the first picture is sent: the server has a whole interval
  // to read it before the first tick draws.
  tmr_.start();
}

void HostedBattle::Tick() {
  if (stats_) {
    stats_->TickStarted();
  }
  BeginDrawing();
  tmr_Timer(world_);
  EndDrawing();
  if (stats_) {
    stats_->TickEnded();
  }
  // Xlib may have read events while sending, which the socket no longer
  // announces.
  ReadHost();
}

// Whatever the server has sent: a resize re-fits the surface to the host's
// new picture and clears it; an exposed area is sent again.
void HostedBattle::ReadHost() {
  const X11Host::News news = host_.Read();
  if (news.gone) {
    tmr_.stop();
    events_.setEnabled(false);
    QCoreApplication::exit(0);
    return;
  }
  if (news.resized) {
    Refit();
  } else if (!news.exposed.isEmpty()) {
    const QRect& e = news.exposed;
    const raster::PixelRect area{e.x(), e.y(), e.width(), e.height()};
    host_.Send({&area, 1});
  }
}

void HostedBattle::Refit() {
  surface_.Resize(host_.width(), host_.height());
  BeginDrawing();
  surface_.Cls();
  EndDrawing();
}

void HostedBattle::BeginDrawing() {
  const raster::PixelBuffer pixels = host_.BeginDrawing();
  if (pixels.bits != nullptr) {
    surface_.Lend(pixels);
  }
}

void HostedBattle::EndDrawing() {
  surface_.Withdraw();
  surface_.TakeDirtyRects(drawn_);
  host_.Send(drawn_);
}

int RunHostedBattle(std::optional<unsigned long> id, bool collectStats, char* program,
                    std::ostream& err) {
  const char* named = std::getenv("XSCREENSAVER_WINDOW");
  if (!id && named != nullptr && named[0] != '\0') {
    id = ParseWindowId(named);
    if (!id) {
      err << "kelvarin: XSCREENSAVER_WINDOW is not a window id: " << named << '\n';
      return 2;
    }
  }
  int argc = 1;
  char* argv[] = {program, nullptr};
  QCoreApplication app(argc, argv);
  std::string error;
  const std::unique_ptr<X11Host> host = X11Host::Open(id, error);
  if (!host) {
    err << error << '\n';
    return 1;
  }
  QuitOnCaughtSignals(app);
  HostedBattle battle(*host, collectStats);
  const int status = app.exec();
  if (battle.stats() != nullptr) {
    battle.stats()->Print(err);
  }
  return status;
}

}  // namespace kelvarin
