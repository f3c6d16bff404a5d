#pragma once

#include <chrono>
#include <ctime>

namespace kelvarin {

// The battle's clock: one tick every 40 ms, 25 a second, in the window, the
// full-screen and screensaver modes and the recordings alike.
inline constexpr int kTickIntervalMs = 40;
inline constexpr int kTicksPerSecond = 1000 / kTickIntervalMs;

// When the ticks of a loop fall due: every 40 ms on the monotonic clock, and
// a tick that comes late is not followed by a burst of others to catch up
// (the next is due an interval after it).
class TickSchedule {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kInterval = std::chrono::milliseconds(kTickIntervalMs);

  // The first tick an interval from `start`.
  explicit TickSchedule(Clock::time_point start) : due_(start + kInterval) {}

  Clock::time_point due() const { return due_; }

  // Whether a tick is due at `now`; when it is, the next one is scheduled.
  bool TakeDue(Clock::time_point now) {
    if (now < due_) {
      return false;
    }
    due_ += kInterval;
    if (due_ < now) {
      due_ = now + kInterval;
    }
    return true;
  }

 private:
  Clock::time_point due_;
};

// The local time of day in seconds since midnight, to the microsecond: what
// seeds the battles that start on their own and the fleets dropped by a click.
inline double SecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t whole = system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &whole) != 0) {
    return 0.0;
  }
#else
  if (localtime_r(&whole, &local) == nullptr) {
    return 0.0;
  }
#endif
  const auto micros = duration_cast<microseconds>(now - system_clock::from_time_t(whole)).count();
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
         static_cast<double>(micros) / 1e6;
}

}  // namespace kelvarin
