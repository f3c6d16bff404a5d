#pragma once

#include <QImage>
#include <QRect>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Xlib's macros (Bool, Status, ...) break Qt's headers: Qt comes first, from
// here, and the implementation includes Xlib after this header.
struct _XDisplay;
struct _XGC;

namespace kelvarin {

// A window id as screensaver daemons and users write it: "0x" (or "0X") and
// hexadecimal digits, or decimal digits; no sign, no spaces, at most 32 bits.
// Empty for anything else.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// An X window the program did not create, drawn into with plain Xlib: the
// picture is sent to it as it is, pixel for pixel, so the picture must have
// the host's size. The program only draws: it takes no keyboard or mouse
// input from the host and creates no window of its own. X errors are never
// printed; one that says the host has gone counts as its destruction.
class X11Host {
 public:
  // Opens the default display and takes the window `id` as the host, or the
  // root window of the default screen when there is no id. Returns null and
  // sets `error` to one line when there is no display, no such window, or a
  // window that cannot show 24-bit colour.
  static std::unique_ptr<X11Host> Open(std::optional<unsigned long> id, std::string& error);
  ~X11Host();
  X11Host(const X11Host&) = delete;
  X11Host& operator=(const X11Host&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // The connection's socket: readable when the server has sent something.
  int connection() const;

  // Sends the part `rect` of `picture` to the same place in the host, now.
  void Push(const QImage& picture, const QRect& rect);

  // What the server has said about the host since the last call.
  struct News {
    bool resized = false;  // width() and height() have changed
    bool gone = false;     // the host has been destroyed
    QRect exposed;         // an area to be shown again, in host pixels
  };
  // Sends what is pending and handles every event the server has sent.
  News Read();

 private:
  struct Shared;

  X11Host(_XDisplay* display, unsigned long window);
  bool Adopt(std::string& error);
  void ShareImage();
  void PushShared(const QImage& picture, const QRect& area);

  _XDisplay* display_;
  unsigned long window_;
  _XGC* gc_ = nullptr;
  void* visual_ = nullptr;
  int depth_ = 0;
  int width_ = 0;
  int height_ = 0;
  int shmCompletion_ = -1;  // the event type of a finished shared put
  std::unique_ptr<Shared> shared_;
};

}  // namespace kelvarin
