// The screensaver modes' picture against what the host window shows, pixel
// for pixel, on the display in DISPLAY:
//   hosted_pixels shm|socket
// runs the battle into a window of its own making through the program's
// X11Host and HostedBattle (MIT-SHM or the socket, as said) and reads the
// window back: after a battle of many ticks (a tile drawn on and not sent
// leaves stale pixels), after the window shrinks and grows (a new picture,
// cleared and sent whole), and after it is unmapped and mapped again (the
// exposed area sent from the picture). Prints PASS, or what failed.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "shell/x11/hosted_battle.h"
#include "shell/x11/x11_host.h"

// Xlib's macros break Qt's headers: it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using kelvarin::X11Host;

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "hosted_pixels: %s\n", why.c_str());
  std::exit(1);
}

// The pixels of the window that differ from the picture (colour only), and
// the first of them; -1 when the window cannot be read.
struct Difference {
  long count = -1;
  int x = 0;
  int y = 0;
};

Difference Compare(Display* display, Window window, const X11Host& host) {
  const kelvarin::raster::PixelBuffer p = host.picture();
  XImage* shown = XGetImage(display, window, 0, 0, static_cast<unsigned>(p.width),
                            static_cast<unsigned>(p.height), AllPlanes, ZPixmap);
  Difference d;
  if (shown == nullptr || p.bits == nullptr) {
    return d;
  }
  d.count = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const auto want = p.bits[static_cast<std::ptrdiff_t>(y) * p.stride + x] & 0xFFFFFFu;
      if ((XGetPixel(shown, x, y) & 0xFFFFFFu) != want && d.count++ == 0) {
        d.x = x;
        d.y = y;
      }
    }
  }
  XDestroyImage(shown);
  return d;
}

// Waits up to a second for the server to show what was sent; with `ticks`,
// runs up to that many more ticks first when it does not (for events that
// reach the program at its next tick).
void ExpectShown(Display* display, Window window, const X11Host& host, kelvarin::HostedBattle& b,
                 const char* when, int ticks = 0) {
  Difference d;
  for (int tick = 0; tick <= ticks; ++tick) {
    if (tick > 0) {
      b.Tick();
    }
    for (int i = 0; i < 20; ++i) {
      d = Compare(display, window, host);
      if (d.count == 0) {
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  Fail(std::string(when) + ": " + std::to_string(d.count) + " pixels differ from the picture" +
       ", the first at " + std::to_string(d.x) + "," + std::to_string(d.y));
}

// The lit (not black) pixels of the picture.
long Lit(const X11Host& host) {
  const kelvarin::raster::PixelBuffer p = host.picture();
  long lit = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      lit += (p.bits[static_cast<std::ptrdiff_t>(y) * p.stride + x] & 0xFFFFFFu) != 0 ? 1 : 0;
    }
  }
  return lit;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2 || (std::strcmp(argv[1], "shm") != 0 && std::strcmp(argv[1], "socket") != 0)) {
    std::fprintf(stderr, "usage: hosted_pixels shm|socket\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    Fail("cannot open the display");
  }
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0x008080;  // teal: never a colour of the battle
  attributes.event_mask = StructureNotifyMask;
  const Window window = XCreateWindow(display, DefaultRootWindow(display), 10, 10, 400, 300, 0,
                                      CopyFromParent, InputOutput, CopyFromParent,
                                      CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  XMapWindow(display, window);
  XEvent event;
  do {
    XNextEvent(display, &event);
  } while (event.type != MapNotify);

  std::string error;
  const std::unique_ptr<X11Host> host = X11Host::Open(window, error);
  if (!host) {
    Fail(error);
  }
  if (host->shared() != (std::strcmp(argv[1], "shm") == 0)) {
    Fail(std::string("the pixels do not go through ") + argv[1]);
  }
  kelvarin::HostedBattle battle(*host, false);
  ExpectShown(display, window, *host, battle, "at the start");

  for (int tick = 0; tick < 150; ++tick) {
    battle.Tick();
  }
  if (Lit(*host) < 50) {
    Fail("no battle in the picture after 150 ticks: " + std::to_string(Lit(*host)) + " pixels lit");
  }
  ExpectShown(display, window, *host, battle, "after 150 ticks of battle");

  for (const auto& [w, h] : {std::pair{240, 180}, std::pair{520, 400}}) {
    XResizeWindow(display, window, w, h);
    XSync(display, False);
    for (int tick = 0; tick < 50 && (host->width() != w || host->height() != h); ++tick) {
      battle.Tick();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (host->width() != w || host->height() != h) {
      Fail("the host did not take the new size " + std::to_string(w) + "x" + std::to_string(h));
    }
    for (int tick = 0; tick < 20; ++tick) {
      battle.Tick();
    }
    ExpectShown(display, window, *host, battle, ("resized to " + std::to_string(w)).c_str());
  }

  XUnmapWindow(display, window);
  XMapWindow(display, window);
  XSync(display, False);
  battle.Tick();
  ExpectShown(display, window, *host, battle, "mapped again", 10);
  XCloseDisplay(display);
  std::puts("PASS");
  return 0;
}
