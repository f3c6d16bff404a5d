#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

#include "app/tick_clock.h"

namespace kelvarin {

// What the battle's 40 ms clock waits on. Windows' timers tick at 15.6 ms by
// default, so a plain 40 ms timer fires every 46.9 ms; this is a waitable
// timer of high resolution where the system has them (Windows 10 1803 and
// later), otherwise an ordinary one with the system's timer resolution set
// to 1 ms while it exists.
class TickTimer final {
 public:
  TickTimer();
  ~TickTimer();
  TickTimer(const TickTimer&) = delete;
  TickTimer& operator=(const TickTimer&) = delete;

  // The handle to wait for: signalled when the time set by WakeIn has passed.
  HANDLE handle() const { return timer_; }
  // Signals the handle after `delay` (at once when it is not positive).
  void WakeIn(std::chrono::nanoseconds delay);
  bool highResolution() const { return highResolution_; }

 private:
  HANDLE timer_ = nullptr;
  bool highResolution_ = false;
  bool periodSet_ = false;
};

// The thread's message loop with the battle's clock: the messages are
// handled as they come, and `tick` is called whenever `schedule` (started
// anew here) has a tick due, waiting on a TickTimer in between. Returns the
// code of WM_QUIT.
int RunTickLoop(TickSchedule& schedule, const std::function<void()>& tick);

}  // namespace kelvarin
