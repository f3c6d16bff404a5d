#include "shell/win32/battle_window.h"

#include <windowsx.h>

#include <algorithm>

#include "app/tick_clock.h"
#include "app/window_metrics.h"
#include "shell/win32/tick_timer.h"
#include "shell/win32/wide_text.h"
#include "sim/input.h"
#include "version.h"

namespace kelvarin {
namespace {

constexpr wchar_t kClassName[] = L"KelvarinBattle";
// While the window is dragged or sized, Windows runs a loop of its own: a
// timer then keeps the battle going.
constexpr UINT_PTR kModalLoopTimer = 1;
// Not in every SDK's headers: STARTUPINFO's hStdOutput names the monitor.
constexpr DWORD kStartOnMonitor = 0x00000400;  // STARTF_USEMONITOR

// The functions of per-monitor density, where the system has them (Windows
// 10 1607 and later); a system without them has one density for all.
template <typename Function>
Function User32(const char* name) {
  const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  // Through void (*)(), the one cast between function types that is meant.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT DpiOf(HWND window) {
  using GetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto get = User32<GetDpiForWindow>("GetDpiForWindow");
  if (get != nullptr) {
    if (const UINT dpi = get(window); dpi != 0) {
      return dpi;
    }
  }
  HDC dc = GetDC(window);
  const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
  ReleaseDC(window, dc);
  return dpi > 0 ? static_cast<UINT>(dpi) : kStandardDpi;
}

// The outer rectangle of a window whose client area is `rect`.
void AddFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustWindowRectExForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32<AdjustWindowRectExForDpi>("AdjustWindowRectExForDpi");
  if (adjust == nullptr || !adjust(&rect, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

// The monitor the program was asked to start on, or else the one with the
// mouse on it: where the user is.
HMONITOR StartMonitor() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if ((startup.dwFlags & kStartOnMonitor) != 0) {
    auto* named = reinterpret_cast<HMONITOR>(startup.hStdOutput);
    if (GetMonitorInfoW(named, &info)) {
      return named;
    }
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  return MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void Fill(HDC dc, int left, int top, int right, int bottom, int colour) {
  const RECT r{left, top, right, bottom};
  FillRect(dc, &r, GetSysColorBrush(colour));
}

// A band `width` pixels wide just inside `r`, its top and left sides in one
// system colour and its bottom and right sides in another.
void Band(HDC dc, const RECT& r, int width, int topLeft, int bottomRight) {
  Fill(dc, r.left, r.top, r.right, r.top + width, topLeft);
  Fill(dc, r.left, r.top, r.left + width, r.bottom, topLeft);
  Fill(dc, r.left, r.bottom - width, r.right, r.bottom, bottomRight);
  Fill(dc, r.right - width, r.top, r.right, r.bottom, bottomRight);
}

bool RegisterClassOnce(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = procedure;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.hIcon = LoadIconW(c.hInstance, MAKEINTRESOURCEW(1));
    c.lpszClassName = kClassName;
    return RegisterClassExW(&c) != 0;
  }();
  return registered;
}

}  // namespace

BattleWindow::BattleWindow(WindowKind kind, bool collectStats)
    : kind_(kind), battle_(Battle::Pixels::Own, collectStats) {
  if (kind_ == WindowKind::Fullscreen || kind_ == WindowKind::Preview) {
    battle_.StartAmbient(SecondsSinceMidnight());
  }
  bitmap_.bmiHeader.biSize = sizeof bitmap_.bmiHeader;
  bitmap_.bmiHeader.biPlanes = 1;
  bitmap_.bmiHeader.biBitCount = 32;
  bitmap_.bmiHeader.biCompression = BI_RGB;
}

BattleWindow::BattleWindow(const RECT& area, std::uint64_t seed, MessageFilter& filter)
    : BattleWindow(WindowKind::Screensaver, false) {
  area_ = area;
  filter_ = &filter;
  battle_.StartAmbientFromSeed(seed);
}

BattleWindow::~BattleWindow() {
  if (window_ != nullptr) {
    DestroyWindow(window_);
  }
}

bool BattleWindow::Open(HWND parent, std::string& error) {
  if (!RegisterClassOnce(Procedure)) {
    error = "cannot register the window class";
    return false;
  }
  parent_ = parent;
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD exStyle = 0;
  switch (kind_) {
    case WindowKind::Framed:
      break;
    case WindowKind::Fullscreen:
      style = WS_POPUP;
      monitor_ = StartMonitor();
      break;
    case WindowKind::Screensaver:
      style = WS_POPUP;
      exStyle = WS_EX_TOPMOST;
      break;
    case WindowKind::Preview:
      style = WS_CHILD | WS_CLIPSIBLINGS;
      break;
  }
  RECT place{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  if (kind_ != WindowKind::Framed) {
    place = Placement();
    width = Width(place);
    height = Height(place);
  }
  const std::wstring caption = Widen(kVersionText);
  CreateWindowExW(exStyle, kClassName, caption.c_str(), style, place.left, place.top, width, height,
                  kind_ == WindowKind::Preview ? parent : nullptr, nullptr,
                  GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) {
    error = "cannot make a window (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  if (kind_ == WindowKind::Framed) {
    // The client area at the density of the monitor the window opened on.
    RECT outer{0, 0, ScaleToDpi(kInitialClientWidth, static_cast<int>(dpi_)),
               ScaleToDpi(kInitialClientHeight, static_cast<int>(dpi_))};
    AddFrame(outer, style, exStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, Width(outer), Height(outer),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Refit();
  switch (kind_) {
    case WindowKind::Framed:
      ShowWindow(window_, SW_SHOWDEFAULT);
      break;
    case WindowKind::Fullscreen:
      ShowWindow(window_, SW_SHOW);
      SetForegroundWindow(window_);
      break;
    case WindowKind::Screensaver:
      // What holds the screensaver's windows gives one of them the focus.
      ShowWindow(window_, SW_SHOWNA);
      break;
    case WindowKind::Preview:
      ShowWindow(window_, SW_SHOWNA);
      break;
  }
  UpdateWindow(window_);
  return true;
}

RECT BattleWindow::Placement() const {
  RECT r{0, 0, 1, 1};
  switch (kind_) {
    case WindowKind::Framed:
      GetWindowRect(window_, &r);
      break;
    case WindowKind::Fullscreen: {
      MONITORINFO info{};
      info.cbSize = sizeof info;
      const HMONITOR monitor =
          window_ != nullptr ? MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST) : monitor_;
      if (GetMonitorInfoW(monitor, &info)) {
        r = info.rcMonitor;
      }
      break;
    }
    case WindowKind::Screensaver:
      r = area_;
      break;
    case WindowKind::Preview:
      GetClientRect(parent_, &r);
      break;
  }
  return r;
}

void BattleWindow::Refit() {
  if (window_ == nullptr) {
    return;
  }
  RECT client{};
  GetClientRect(window_, &client);
  if (kind_ == WindowKind::Framed) {
    const int dpi = static_cast<int>(dpi_);
    RECT outerRect{};
    GetWindowRect(window_, &outerRect);
    const PixelSize outer = SnapOuterSize({Width(outerRect), Height(outerRect)}, dpi);
    const PixelSize size = SurfaceSizeForOuter(outer, dpi);
    const PixelSize inner = InnerSizeForSurface(size, dpi);
    const int left = ScaleToDpi(kSurfaceLeft, dpi);
    const int top = ScaleToDpi(kSurfaceTop, dpi);
    const int border = SurfaceBorder(dpi);
    surfaceRect_ = {left, top, left + size.width, top + size.height};
    innerRect_ = {left + border, top + border, left + border + inner.width,
                  top + border + inner.height};
  } else {
    client.right = std::max(client.right, 1L);
    client.bottom = std::max(client.bottom, 1L);
    surfaceRect_ = innerRect_ = client;
  }
  battle_.Resize(Width(innerRect_), Height(innerRect_));
  InvalidateRect(window_, nullptr, FALSE);
}

int BattleWindow::Run() {
  return RunTickLoop(schedule_, [this] { Tick(); });
}

// Inside Windows' own loop while the window is dragged or sized.
void BattleWindow::TickIfDue() {
  if (schedule_.TakeDue(TickSchedule::Clock::now())) {
    Tick();
  }
}

void BattleWindow::Tick() {
  if (window_ == nullptr) {
    return;
  }
  if (kind_ == WindowKind::Preview) {
    FollowParent();
    if (window_ == nullptr) {
      return;
    }
  }
  battle_.Tick(*this);
}

void BattleWindow::EndDrawing(std::span<const raster::PixelRect> tiles) {
  if (tiles.empty()) {
    return;
  }
  HDC dc = GetDC(window_);
  if (dc == nullptr) {
    return;
  }
  for (const raster::PixelRect& area : tiles) {
    Show(dc, area);
  }
  ReleaseDC(window_, dc);
}

void BattleWindow::Show(HDC dc, const raster::PixelRect& area) {
  const raster::PixelBuffer pixels = battle_.surface().pixels();
  const raster::PixelRect r = area.Intersected({0, 0, pixels.width, pixels.height});
  if (r.empty() || pixels.bits == nullptr) {
    return;
  }
  // The rows of `r` as a top-down picture of their own, as wide as a row of
  // the picture: its pixels, 0xFFRRGGBB words, are what a 32-bit DIB holds.
  bitmap_.bmiHeader.biWidth = pixels.stride;
  bitmap_.bmiHeader.biHeight = -r.height;
  SetDIBitsToDevice(dc, innerRect_.left + r.x, innerRect_.top + r.y, static_cast<DWORD>(r.width),
                    static_cast<DWORD>(r.height), r.x, 0, 0, static_cast<UINT>(r.height),
                    pixels.bits + static_cast<std::ptrdiff_t>(r.y) * pixels.stride, &bitmap_,
                    DIB_RGB_COLORS);
}

void BattleWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (dc == nullptr) {
    return;
  }
  if (kind_ == WindowKind::Framed) {
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, surfaceRect_.left, surfaceRect_.top, surfaceRect_.right,
                    surfaceRect_.bottom);
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(dc, saved);
    DrawBorder(dc);
  }
  RECT area{};
  if (IntersectRect(&area, &paint.rcPaint, &innerRect_)) {
    Show(dc, {area.left - innerRect_.left, area.top - innerRect_.top, Width(area), Height(area)});
  }
  EndPaint(window_, &paint);
}

// The sunken border of the surface, as Windows draws EDGE_SUNKEN (2 pixels at
// 96 dpi), as wide as the density makes it.
void BattleWindow::DrawBorder(HDC dc) const {
  const int border = SurfaceBorder(static_cast<int>(dpi_));
  const int outer = (border + 1) / 2;
  const int inner = border - outer;
  Band(dc, surfaceRect_, outer, COLOR_3DSHADOW, COLOR_3DHILIGHT);
  if (inner > 0) {
    const RECT within{surfaceRect_.left + outer, surfaceRect_.top + outer,
                      surfaceRect_.right - outer, surfaceRect_.bottom - outer};
    Band(dc, within, inner, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  }
}

void BattleWindow::MouseDown(int button, LPARAM where) {
  const POINT p{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  // A press on the surface, its border included, as the surface takes it.
  if (!PtInRect(&surfaceRect_, p)) {
    return;
  }
  battle_.Press(button, p.x - innerRect_.left, p.y - innerRect_.top, Width(innerRect_),
                Height(innerRect_));
}

bool BattleWindow::KeyDown(WPARAM key) {
  int code = 0;
  if (key == VK_ESCAPE) {
    code = kKeyEscape;
  } else if (key == VK_RETURN) {
    code = kKeyEnter;
  } else {
    return false;
  }
  if (battle_.Key(code)) {
    DestroyWindow(window_);
  }
  return true;
}

void BattleWindow::Cover(const RECT& area) {
  area_ = area;
  if (window_ != nullptr) {
    SetWindowPos(window_, nullptr, area.left, area.top, Width(area), Height(area),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void BattleWindow::FollowParent() {
  if (!IsWindow(parent_)) {
    // Its children went with it; this is for a parent gone some other way.
    DestroyWindow(window_);
    return;
  }
  RECT wanted{};
  RECT now{};
  GetClientRect(parent_, &wanted);
  GetClientRect(window_, &now);
  if (Width(wanted) != Width(now) || Height(wanted) != Height(now)) {
    SetWindowPos(window_, nullptr, 0, 0, Width(wanted), Height(wanted),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT CALLBACK BattleWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<BattleWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<BattleWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
    self->dpi_ = DpiOf(window);
  }
  if (self == nullptr) {
    if (message == WM_GETMINMAXINFO) {
      const int min = MinOuterPixels(static_cast<int>(DpiOf(window)));
      reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {min, min};
      return 0;
    }
    return DefWindowProcW(window, message, w, l);
  }
  const LRESULT result = self->Handle(message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

LRESULT BattleWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  if (filter_ != nullptr && filter_->Filter(window_, message, w, l)) {
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // everything is painted in WM_PAINT
    case WM_SIZE:
      if (w != SIZE_MINIMIZED) {
        Refit();
      }
      return 0;
    case WM_GETMINMAXINFO:
      if (kind_ == WindowKind::Framed) {
        const int min = MinOuterPixels(static_cast<int>(dpi_));
        reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {min, min};
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(w);
      RECT r = *reinterpret_cast<const RECT*>(l);
      if (kind_ == WindowKind::Fullscreen || kind_ == WindowKind::Screensaver) {
        r = Placement();
      }
      if (kind_ != WindowKind::Preview) {
        SetWindowPos(window_, nullptr, r.left, r.top, Width(r), Height(r),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      Refit();
      return 0;
    }
    case WM_DISPLAYCHANGE:
      // The screensaver's windows are placed anew by what holds them.
      if (kind_ == WindowKind::Fullscreen) {
        const RECT r = Placement();
        SetWindowPos(window_, nullptr, r.left, r.top, Width(r), Height(r),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    case WM_ENTERSIZEMOVE:
      SetTimer(window_, kModalLoopTimer, USER_TIMER_MINIMUM, nullptr);
      break;
    case WM_EXITSIZEMOVE:
      KillTimer(window_, kModalLoopTimer);
      break;
    case WM_TIMER:
      if (w == kModalLoopTimer) {
        TickIfDue();
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (kind_ == WindowKind::Screensaver) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_SYSCOMMAND:
      // No second screensaver over this one.
      if (kind_ == WindowKind::Screensaver && (w & 0xFFF0) == SC_SCREENSAVE) {
        return 0;
      }
      break;
    case WM_MOUSEACTIVATE:
      if (kind_ == WindowKind::Preview) {
        return MA_NOACTIVATE;
      }
      break;
    case WM_DESTROY:
      // The screensaver's windows end when what holds them ends.
      if (kind_ != WindowKind::Screensaver) {
        PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  if (kind_ == WindowKind::Framed || kind_ == WindowKind::Fullscreen) {
    switch (message) {
      case WM_LBUTTONDOWN:
        MouseDown(kButtonLeft, l);
        return 0;
      case WM_RBUTTONDOWN:
        MouseDown(kButtonRight, l);
        return 0;
      case WM_MBUTTONDOWN:
        MouseDown(kButtonMiddle, l);
        return 0;
      case WM_KEYDOWN:
        if (KeyDown(w)) {
          return 0;
        }
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(window_, message, w, l);
}

}  // namespace kelvarin
