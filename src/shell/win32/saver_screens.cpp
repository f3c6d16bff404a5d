#include "shell/win32/saver_screens.h"

#include <windowsx.h>

#include <cstdlib>

#include "app/ambient_start.h"
#include "shell/win32/tick_timer.h"
#include "sim/random.h"

namespace kelvarin {
namespace {

// How far the mouse may drift before the screensaver takes it for the user.
constexpr int kStirPixels = 4;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM areas) {
  auto& list = *reinterpret_cast<std::vector<RECT>*>(areas);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
      list.insert(list.begin(), info.rcMonitor);
    } else {
      list.push_back(info.rcMonitor);
    }
  }
  return TRUE;
}

// A window of this thread: one of the screensaver's, perhaps still being made.
bool Ours(HWND window) {
  return window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace

SaverScreens::SaverScreens(Screens screens) : screens_(screens) {}

SaverScreens::~SaverScreens() {
  // The windows go before the filter they report to, which no longer
  // listens: their going is not the user's doing.
  ending_ = true;
  windows_.clear();
}

bool SaverScreens::Open(std::string& error) {
  GetCursorPos(&cursorAtStart_);
  firstSeed_ = BuiltinRandom::SeedForTimeOfDay(SecondsSinceMidnight());
  if (!Follow(error)) {
    ending_ = true;
    windows_.clear();
    return false;
  }
  ShowCursor(FALSE);
  SetForegroundWindow(windows_.front()->handle());
  return true;
}

int SaverScreens::Run() {
  return RunTickLoop(schedule_, [this] {
    if (monitorsChanged_ && !ending_) {
      monitorsChanged_ = false;
      std::string error;
      if (!Follow(error)) {
        End(1);
      }
    }
    for (const auto& window : windows_) {
      window->Tick();
    }
  });
}

std::vector<RECT> SaverScreens::Areas() const {
  std::vector<RECT> areas;
  if (screens_ == Screens::Each) {
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
  }
  if (areas.empty()) {
    RECT all;
    all.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    all.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    all.right = all.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    all.bottom = all.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    areas.push_back(all);
  }
  return areas;
}

bool SaverScreens::Follow(std::string& error) {
  const std::vector<RECT> areas = Areas();
  while (windows_.size() > areas.size()) {
    // The focus stays with the screensaver, not with whatever is under it.
    if (GetForegroundWindow() == windows_.back()->handle()) {
      SetForegroundWindow(windows_.front()->handle());
    }
    windows_.pop_back();
  }
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    windows_[i]->Cover(areas[i]);
  }
  while (windows_.size() < areas.size()) {
    const std::uint64_t seed = ScreenSeed(firstSeed_, screensStarted_++);
    auto window = std::make_unique<BattleWindow>(areas[windows_.size()], seed, *this);
    if (!window->Open(nullptr, error)) {
      return false;
    }
    windows_.push_back(std::move(window));
  }
  return true;
}

void SaverScreens::End(int status) {
  ending_ = true;
  PostQuitMessage(status);
}

bool SaverScreens::Filter(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (ending_) {
    return false;
  }
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CLOSE:
      End(0);
      return true;
    case WM_MOUSEMOVE: {
      // Windows also sends one when a window appears under the mouse.
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ClientToScreen(window, &p);
      if (std::abs(p.x - cursorAtStart_.x) > kStirPixels ||
          std::abs(p.y - cursorAtStart_.y) > kStirPixels) {
        End(0);
        return true;
      }
      return false;
    }
    case WM_ACTIVATEAPP:
      // Only a screensaver that had the user's attention can lose it.
      if (w != FALSE) {
        attention_ = true;
      } else if (attention_) {
        End(0);
      }
      return false;
    case WM_ACTIVATE:
      // The activation moving between its own windows is no loss.
      if (LOWORD(w) != WA_INACTIVE) {
        attention_ = true;
      } else if (attention_ && !Ours(reinterpret_cast<HWND>(l))) {
        End(0);
      }
      return false;
    case WM_DISPLAYCHANGE:
      monitorsChanged_ = true;
      return false;
    default:
      return false;
  }
}

}  // namespace kelvarin
