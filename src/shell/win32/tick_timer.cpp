#include "shell/win32/tick_timer.h"

#include <mmsystem.h>

namespace kelvarin {
namespace {

// Not in every SDK's headers yet.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

}  // namespace

TickTimer::TickTimer() {
  timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
  highResolution_ = timer_ != nullptr;
  if (timer_ == nullptr) {
    // An older system refuses the flag.
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    periodSet_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  }
}

TickTimer::~TickTimer() {
  if (periodSet_) {
    timeEndPeriod(1);
  }
  if (timer_ != nullptr) {
    CloseHandle(timer_);
  }
}

void TickTimer::WakeIn(std::chrono::nanoseconds delay) {
  if (timer_ == nullptr) {
    return;
  }
  // A negative due time is relative, in units of 100 ns; zero is now.
  LARGE_INTEGER due{};
  due.QuadPart = delay.count() > 0 ? -((delay.count() + 99) / 100) : 0;
  SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
}

}  // namespace kelvarin
