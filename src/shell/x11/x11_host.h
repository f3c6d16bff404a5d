#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture/raster.h"

// Xlib's macros (Bool, Status, None, ...) clash with other headers: this one
// names its types without including Xlib.
struct _XDisplay;
struct _XGC;
union _XEvent;

namespace kelvarin {

// An X window the program did not create, drawn into with plain Xlib. The
// host keeps the picture it shows: width() x height() pixels 0xffRRGGBB that
// the program draws on and the server reads from, so nothing is copied on the
// way. With MIT-SHM they are a segment shared with the server, which reads
// the rectangles sent straight from it; without (a remote display), they are
// the program's own memory, and the rectangles go through the socket. The
// program only draws: it takes no keyboard or mouse input from the host and
// creates no window of its own. X errors are never printed; one that says
// the host has gone counts as its destruction.
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
  // Whether the picture is shared with the server (MIT-SHM).
  bool shared() const;

  // The picture, to be drawn on: first waits, if need be, until the server
  // has read the rectangles last sent from it. Host-sized; its content is
  // undefined after a resize (a new picture). Null bits when there is no
  // memory for a picture of the host's size: nothing can be drawn then.
  raster::PixelBuffer BeginDrawing();
  // The picture as it is, to be read.
  raster::PixelBuffer picture() const;

  // Sends these rectangles of the picture to the same places in the host,
  // clipped to it.
  void Send(std::span<const raster::PixelRect> rects);

  // The monitors that show the host, as rectangles of it in the server's
  // order, when the host is the root window and the server lists its
  // monitors (RandR 1.5); from the first call on, Read() tells when they may
  // have changed. Empty otherwise.
  std::vector<raster::PixelRect> Monitors();

  // What the server has said about the host since the last call.
  struct News {
    bool resized = false;       // width() and height() have changed; a new picture
    bool gone = false;          // the host has been destroyed
    bool monitors = false;      // the monitors may have changed (see Monitors)
    raster::PixelRect exposed;  // an area to be shown again, in host pixels
  };
  // Sends what is pending and handles every event the server has sent.
  News Read();

 private:
  struct Picture;

  X11Host(_XDisplay* display, unsigned long window);
  bool Adopt(std::string& error);
  // A new picture of the host's size, after the old one is freed.
  void MakePicture();
  std::unique_ptr<Picture> SharedPicture();
  std::unique_ptr<Picture> OwnPicture();
  void FreePicture();
  // A shared put has been read: the picture is free when it was the last.
  void Completed(const _XEvent& event);

  _XDisplay* display_;
  unsigned long window_;
  _XGC* gc_ = nullptr;
  void* visual_ = nullptr;
  int depth_ = 0;
  int width_ = 0;
  int height_ = 0;
  // The event type of a finished shared put; -1 when pictures are not shared.
  int shmCompletion_ = -1;
  // The first RandR event type once monitors are watched, else -1.
  int randrEvents_ = -1;
  std::unique_ptr<Picture> picture_;
};

}  // namespace kelvarin
