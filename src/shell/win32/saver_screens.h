#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/tick_clock.h"
#include "shell/win32/battle_window.h"
#include "shell/win32/saver_settings.h"

namespace kelvarin {

// kelvarin.scr /s: the screensaver's windows, topmost, without a cursor.
// With Screens::Each, one window on each monitor, its battle fitted to the
// monitor in its device pixels, each battle from a seed of its own (the
// first monitor's, the primary's, is a lone battle's: ScreenSeed); with
// Screens::Across, one window over the bounding rectangle of them all. One
// schedule ticks every battle, on this thread. The first key, click or real
// mouse move on any of them, or the program losing the activation to
// another program, ends them all; a change of monitors (WM_DISPLAYCHANGE)
// gives the monitors there are now their windows.
class SaverScreens final : public MessageFilter {
 public:
  explicit SaverScreens(Screens screens);
  ~SaverScreens();
  SaverScreens(const SaverScreens&) = delete;
  SaverScreens& operator=(const SaverScreens&) = delete;

  // Makes the windows and gives the first one the focus. False, with the
  // reason in `error`, when one cannot be made.
  bool Open(std::string& error);
  // Ticks them all every 40 ms until the user comes back. Returns the exit
  // status: 0, or 1 when a change of monitors left a window unmade.
  int Run();

  bool Filter(HWND window, UINT message, WPARAM w, LPARAM l) override;

 private:
  // The rectangles to cover, in screen pixels, the primary monitor's first.
  std::vector<RECT> Areas() const;
  // A window for each area there is now: those there are move, those too
  // many go, new ones start their battles.
  bool Follow(std::string& error);
  void End(int status);

  const Screens screens_;
  std::uint64_t firstSeed_ = 0;
  int screensStarted_ = 0;  // the battles started, for the next one's seed
  std::vector<std::unique_ptr<BattleWindow>> windows_;
  POINT cursorAtStart_{};
  bool attention_ = false;        // the program has had the activation
  bool ending_ = false;           // the user is back
  bool monitorsChanged_ = false;  // followed at the next tick
  TickSchedule schedule_{TickSchedule::Clock::now()};
};

}  // namespace kelvarin
