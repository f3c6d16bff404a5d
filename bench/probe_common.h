/* What the window probes share: a monotonic clock in milliseconds and an X
 * error handler that lets errors pass, since windows come and go while the
 * probes look. Include it after defining _POSIX_C_SOURCE as 200809L. */
#ifndef KELVARIN_BENCH_PROBE_COMMON_H
#define KELVARIN_BENCH_PROBE_COMMON_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static int Ignore(Display *d, XErrorEvent *e) {
  (void)d;
  (void)e;
  return 0;
}

#endif
