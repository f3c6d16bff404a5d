// A window for the program to draw into, as a screensaver daemon makes one:
//   host_window X Y W H
// creates an override-redirect window at X Y of W x H pixels, filled with
// teal (0, 128, 128), maps it, prints its id ("0x...") once it is on the
// screen and keeps it until killed.

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: host_window X Y W H\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "host_window: cannot open the display\n");
    return 1;
  }
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0x008080;
  attributes.event_mask = StructureNotifyMask;
  const Window window =
      XCreateWindow(display, DefaultRootWindow(display), std::atoi(argv[1]), std::atoi(argv[2]),
                    static_cast<unsigned>(std::atoi(argv[3])),
                    static_cast<unsigned>(std::atoi(argv[4])), 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  XMapWindow(display, window);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify) {
      std::printf("0x%lx\n", window);
      std::fflush(stdout);
    }
  }
}
