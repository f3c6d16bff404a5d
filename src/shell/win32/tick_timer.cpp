#include "shell/win32/tick_timer.h"

#include <mmsystem.h>

#include <algorithm>

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

int RunTickLoop(TickSchedule& schedule, const std::function<void()>& tick) {
  using Clock = TickSchedule::Clock;
  TickTimer timer;
  schedule = TickSchedule(Clock::now());
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        return static_cast<int>(message.wParam);
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (schedule.TakeDue(Clock::now())) {
      tick();
    }
    const auto wait =
        std::chrono::duration_cast<std::chrono::nanoseconds>(schedule.due() - Clock::now());
    HANDLE handle = timer.handle();
    if (handle != nullptr) {
      timer.WakeIn(wait);
      MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } else {
      const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
      MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::max<long long>(ms, 0)),
                                  QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }
}

}  // namespace kelvarin
