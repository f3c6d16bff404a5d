#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "app/battle.h"
#include "app/tick_clock.h"
#include "picture/raster.h"

namespace kelvarin {

// Where a BattleWindow shows the battle.
enum class WindowKind {
  // The program's window: 713 x 597 at 96 dpi, the sunken surface at 8,8,
  // the resize rule and smallest size of every platform, mouse and keys.
  Framed,
  // Full screen on the monitor the program starts on; the surface is the
  // whole window; mouse and keys as in the window; the ambient start.
  Fullscreen,
  // One of the screensaver's windows: over the area it is given, topmost,
  // no cursor, its battle started from the seed it is given; its messages go
  // first to a MessageFilter, which decides what ends the screensaver.
  Screensaver,
  // The screensaver's preview: a child filling the given window and
  // following its size; no input; it ends when that window goes.
  Preview,
};

// What sees a window's messages before the window does.
class MessageFilter {
 public:
  // True when the filter took the message: the window then does nothing
  // more with it.
  virtual bool Filter(HWND window, UINT message, WPARAM w, LPARAM l) = 0;

 protected:
  ~MessageFilter() = default;
};

// A window showing the battle with plain Win32 and GDI. The picture is the
// battle's own, in device pixels with one-pixel lines (the program is aware
// of each monitor's density): after every tick the tiles drawn on go to the
// screen, and whatever the screen lost (a window that covered it) is painted
// again from the same picture.
class BattleWindow final : public Screen {
 public:
  // With collectStats, every tick is timed (see TickStats). Not for a
  // Screensaver window, which takes the constructor below.
  BattleWindow(WindowKind kind, bool collectStats);
  // A Screensaver window over `area` (screen pixels), its battle started
  // from `seed` (the ambient start), its messages seen first by `filter`.
  BattleWindow(const RECT& area, std::uint64_t seed, MessageFilter& filter);
  ~BattleWindow();
  BattleWindow(const BattleWindow&) = delete;
  BattleWindow& operator=(const BattleWindow&) = delete;

  // Makes the window and shows it; for a Preview, inside `parent`. False,
  // with the reason in `error`, when it cannot be made.
  bool Open(HWND parent, std::string& error);

  // Ticks every 40 ms, without a burst of ticks to catch up after a late
  // one, handling the window's messages in between, until the window is
  // gone. Returns the exit status, 0. (The screensaver's windows are ticked
  // by what holds them, with Tick.)
  int Run();
  // One tick of the battle, shown; nothing once the window is gone.
  void Tick();
  // A Screensaver window: over `area` from now on, its battle re-fitted.
  void Cover(const RECT& area);

  HWND handle() const { return window_; }

  const TickStats* stats() const { return battle_.stats(); }

  // The tiles drawn on in a tick to the screen.
  void EndDrawing(std::span<const raster::PixelRect> tiles) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);

  // The window's rectangle for its kind on the screen as it is now.
  RECT Placement() const;
  // The surface fitted to the window and cleared: the resize rule.
  void Refit();
  void TickIfDue();
  void Paint();
  // The rectangle `area` of the picture to the screen.
  void Show(HDC dc, const raster::PixelRect& area);
  void DrawBorder(HDC dc) const;
  void MouseDown(int button, LPARAM where);
  bool KeyDown(WPARAM key);
  void FollowParent();

  const WindowKind kind_;
  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  HMONITOR monitor_ = nullptr;       // Fullscreen: the monitor it covers
  RECT area_{};                      // Screensaver: the area it covers
  MessageFilter* filter_ = nullptr;  // Screensaver: sees its messages first
  UINT dpi_ = 96;
  RECT surfaceRect_{};  // the surface with its border, in the client area
  RECT innerRect_{};    // the picture, in the client area

  Battle battle_;
  BITMAPINFO bitmap_{};

  TickSchedule schedule_{TickSchedule::Clock::now()};
};

}  // namespace kelvarin
