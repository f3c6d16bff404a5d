#include "shell/x11/hosted_battle.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/ambient_start.h"
#include "app/tick_clock.h"
#include "app/window_id.h"
#include "shell/posix/quit_signals.h"

namespace kelvarin {

std::vector<raster::PixelRect> MonitorAreas(std::span<const raster::PixelRect> monitors,
                                            raster::PixelRect whole) {
  std::vector<raster::PixelRect> areas;
  for (const raster::PixelRect& monitor : monitors) {
    const raster::PixelRect area = monitor.Intersected(whole);
    const auto overlaps = [&area](const raster::PixelRect& taken) {
      return !area.Intersected(taken).empty();
    };
    if (!area.empty() && std::none_of(areas.begin(), areas.end(), overlaps)) {
      areas.push_back(area);
    }
  }
  if (areas.empty()) {
    areas.push_back(whole);
  }
  return areas;
}

// One battle and the rectangle of the host's picture lent to it: the screen
// the battle ticks on.
struct HostedBattle::Part final : Screen {
  explicit Part(HostedBattle& owner) : owner(owner) {}

  raster::PixelBuffer BeginDrawing() override { return owner.Lend(area); }
  void EndDrawing(std::span<const raster::PixelRect> tiles) override { owner.Send(area, tiles); }

  HostedBattle& owner;
  raster::PixelRect area;
  Battle battle{Battle::Pixels::Lent};
};

HostedBattle::HostedBattle(X11Host& host, bool collectStats, bool perMonitor)
    : host_(host), perMonitor_(perMonitor) {
  if (collectStats) {
    stats_ = std::make_unique<TickStats>();
  }
  Refit(true);
}

HostedBattle::~HostedBattle() = default;

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

// The picture is taken once for all the battles: each draws on its own
// rectangle of it, which the server is not reading while the others' are
// sent.
bool HostedBattle::Tick() {
  if (stats_) {
    stats_->TickStarted();
  }
  picture_ = host_.BeginDrawing();
  for (const std::unique_ptr<Part>& part : parts_) {
    part->battle.Tick(*part);
  }
  picture_ = {};
  if (stats_) {
    stats_->TickEnded();
  }
  // Xlib may have read events while sending, which the socket no longer
  // announces.
  return ReadHost();
}

// Whatever the server has sent: a resize re-fits the battles to the host's
// new picture and clears it, as does a change of monitors; an exposed area is
// sent again.
bool HostedBattle::ReadHost() {
  const X11Host::News news = host_.Read();
  if (news.gone) {
    return false;
  }
  if (news.resized || news.monitors) {
    Refit(news.resized);
  }
  if (!news.resized && !news.exposed.empty()) {
    host_.Send({&news.exposed, 1});
  }
  return true;
}

void HostedBattle::Refit(bool pictureNew) {
  const raster::PixelRect whole{0, 0, host_.width(), host_.height()};
  std::vector<raster::PixelRect> areas{whole};
  if (perMonitor_) {
    areas = MonitorAreas(host_.Monitors(), whole);
  }
  bool changed = pictureNew || areas.size() != parts_.size();
  for (std::size_t i = 0; !changed && i < areas.size(); ++i) {
    changed = parts_[i]->area != areas[i];
  }
  if (!changed) {
    return;
  }
  // A battle stays with its area when the area is still there; the other
  // areas take the other battles in order, then new ones.
  std::vector<std::unique_ptr<Part>> old = std::move(parts_);
  parts_.clear();
  parts_.resize(areas.size());
  for (std::size_t i = 0; i < areas.size(); ++i) {
    for (std::unique_ptr<Part>& part : old) {
      if (part && part->area == areas[i]) {
        parts_[i] = std::move(part);
        break;
      }
    }
  }
  auto spare = old.begin();
  const std::uint64_t first = BuiltinRandom::SeedForTimeOfDay(SecondsSinceMidnight());
  for (std::size_t i = 0; i < areas.size(); ++i) {
    if (parts_[i]) {
      continue;
    }
    spare = std::find_if(spare, old.end(), [](const auto& part) { return part != nullptr; });
    if (spare != old.end()) {
      parts_[i] = std::move(*spare);
    } else {
      parts_[i] = std::make_unique<Part>(*this);
      parts_[i]->battle.StartAmbientFromSeed(ScreenSeed(first, static_cast<int>(i)));
    }
  }
  picture_ = host_.BeginDrawing();
  if (areas.size() != 1 || areas[0] != whole) {
    // Black where no battle is.
    for (int y = 0; y < picture_.height; ++y) {
      std::fill_n(picture_.bits + static_cast<std::ptrdiff_t>(y) * picture_.stride, picture_.width,
                  PixelSurface::ToPixel({0, 0, 0}));
    }
    host_.Send({&whole, 1});
  }
  for (std::size_t i = 0; i < areas.size(); ++i) {
    Part& part = *parts_[i];
    if (pictureNew || part.area != areas[i]) {
      part.area = areas[i];
      part.battle.Resize(part.area.width, part.area.height);
      part.battle.Show(part);
    }
  }
  picture_ = {};
}

raster::PixelBuffer HostedBattle::Lend(const raster::PixelRect& area) const {
  const raster::PixelRect inside = area.Intersected({0, 0, picture_.width, picture_.height});
  if (picture_.bits == nullptr || inside != area) {
    return {};
  }
  return {picture_.bits + static_cast<std::ptrdiff_t>(area.y) * picture_.stride + area.x,
          area.width, area.height, picture_.stride};
}

void HostedBattle::Send(const raster::PixelRect& area, std::span<const raster::PixelRect> tiles) {
  sent_.clear();
  for (const raster::PixelRect& tile : tiles) {
    sent_.push_back({tile.x + area.x, tile.y + area.y, tile.width, tile.height});
  }
  host_.Send(sent_);
}

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
  HostedBattle battle(*host, collectStats, !id);
  const int status = battle.Run();
  if (battle.stats() != nullptr) {
    err << battle.stats()->Report();
  }
  return status;
}

}  // namespace kelvarin
