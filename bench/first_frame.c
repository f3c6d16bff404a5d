/* Launches a program and reports when its window's first frame is on the
 * screen:
 *   first_frame TITLE TIMEOUT_MS PROGRAM [ARGS...]
 * prints "pid N" as soon as the program runs and then "first_frame_ms M":
 * the milliseconds from just before the launch until the top-level window
 * titled TITLE is viewable and painted. Painted means its client area shows
 * the window background at (2, 2), a different shade at (8, 8) (the drawing
 * surface's sunken border) and black at (12, 12) (inside the surface): an
 * unpainted window is one colour. Polls every millisecond; the program keeps
 * running after this exits. Exit status 1 on timeout. */
#define _POSIX_C_SOURCE 200809L
#include "probe_common.h"

static Window Find(Display *d, Window w, const char *title, int depth) {
  char *name = NULL;
  if (XFetchName(d, w, &name) && name != NULL) {
    const int same = strcmp(name, title) == 0;
    XFree(name);
    if (same) return w;
  }
  if (depth == 0) return 0;
  Window root, parent, *kids = NULL;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &kids, &n)) {
    for (unsigned i = 0; i < n && !found; ++i) found = Find(d, kids[i], title, depth - 1);
    if (kids) XFree(kids);
  }
  return found;
}

static int Pixel(Display *d, Window w, int x, int y, unsigned long *out) {
  XImage *img = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (img == NULL) return 0;
  *out = XGetPixel(img, 0, 0) & 0xFFFFFF;
  XDestroyImage(img);
  return 1;
}

int main(int argc, char **argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: first_frame TITLE TIMEOUT_MS PROGRAM [ARGS...]\n");
    return 2;
  }
  const char *title = argv[1];
  const double timeout = atof(argv[2]);
  Display *d = XOpenDisplay(NULL);
  if (d == NULL) {
    fprintf(stderr, "first_frame: cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(Ignore);
  const double start = NowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    close(ConnectionNumber(d));
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  printf("pid %d\n", (int)pid);
  fflush(stdout);
  for (;;) {
    const double now = NowMs();
    if (now - start > timeout) return 1;
    const Window w = Find(d, DefaultRootWindow(d), title, 3);
    XWindowAttributes a;
    unsigned long bg, border, inside;
    if (w && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable &&
        Pixel(d, w, 2, 2, &bg) && Pixel(d, w, 8, 8, &border) && Pixel(d, w, 12, 12, &inside) &&
        bg != 0 && border != bg && inside == 0) {
      printf("first_frame_ms %.1f\n", NowMs() - start);
      return 0;
    }
    const struct timespec ms = {0, 1000000};
    nanosleep(&ms, NULL);
  }
}
