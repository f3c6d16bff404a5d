/* Launches a program that draws the battle on the screen, and times its
 * first battle and its end:
 *   saver_probe [--host WxH] TIMEOUT_MS PROGRAM [ARGS...]
 * With --host it first makes an override-redirect window of W x H pixels at
 * the top-left corner (teal, as an empty host) and passes its id wherever an
 * argument is HOST; it watches that window, or else the whole screen.
 * Prints "pid N" once the program runs, then "first_battle_ms M": the
 * milliseconds from just before the launch until a pixel of a team's colour
 * is on the watched area (it looks every 5 ms). Then it waits for a line
 * on standard input (or its end), sends the program SIGTERM and prints "term_to_exit_ms M" and
 * "status S" (the exit status, or 128 + the signal that killed it). Exit status 1 when no battle
 * shows within TIMEOUT_MS. */
#define _POSIX_C_SOURCE 200809L
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>

#include "probe_common.h"

/* The watched window's pixels, read through memory shared with the server
 * when it can: an 8 MB image through the socket every few milliseconds
 * would slow down the very drawing being timed. NULL without MIT-SHM. */
static XImage *SharedImage(Display *d, unsigned width, unsigned height, XShmSegmentInfo *shm) {
  if (!XShmQueryExtension(d)) return NULL;
  const int screen = DefaultScreen(d);
  XImage *img = XShmCreateImage(d, DefaultVisual(d, screen), (unsigned)DefaultDepth(d, screen),
                                ZPixmap, NULL, shm, width, height);
  if (img == NULL || img->bits_per_pixel != 32) return NULL;
  shm->shmid = shmget(IPC_PRIVATE, (size_t)img->bytes_per_line * height, IPC_CREAT | 0600);
  shm->shmaddr = img->data = shmat(shm->shmid, NULL, 0);
  shm->readOnly = False;
  shmctl(shm->shmid, IPC_RMID, NULL);
  if (shm->shmaddr == (char *)-1 || !XShmAttach(d, shm)) return NULL;
  return img;
}

/* A pixel of (255, 50, 50), (50, 255, 50) or (50, 50, 255) anywhere. */
static int BattleShows(Display *d, Window w, unsigned width, unsigned height, XImage *shared) {
  XImage *img = shared;
  if (shared != NULL ? !XShmGetImage(d, w, shared, 0, 0, AllPlanes)
                     : (img = XGetImage(d, w, 0, 0, width, height, AllPlanes, ZPixmap)) == NULL) {
    return 0;
  }
  int found = 0;
  for (int y = 0; y < img->height && !found; ++y) {
    const unsigned *row = (const unsigned *)(img->data + (size_t)y * img->bytes_per_line);
    for (int x = 0; x < img->width && !found; ++x) {
      const unsigned p = row[x] & 0xFFFFFF;
      found = p == 0xFF3232 || p == 0x32FF32 || p == 0x3232FF;
    }
  }
  if (img != shared) XDestroyImage(img);
  return found;
}

int main(int argc, char **argv) {
  int first = 1;
  unsigned hostW = 0, hostH = 0;
  if (argc > 2 && strcmp(argv[1], "--host") == 0) {
    if (sscanf(argv[2], "%ux%u", &hostW, &hostH) != 2) return 2;
    first = 3;
  }
  if (argc < first + 2) {
    fprintf(stderr, "usage: saver_probe [--host WxH] TIMEOUT_MS PROGRAM [ARGS...]\n");
    return 2;
  }
  const double timeout = atof(argv[first]);
  Display *d = XOpenDisplay(NULL);
  if (d == NULL) {
    fprintf(stderr, "saver_probe: cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(Ignore);
  Window watched = DefaultRootWindow(d);
  unsigned width = (unsigned)DisplayWidth(d, DefaultScreen(d));
  unsigned height = (unsigned)DisplayHeight(d, DefaultScreen(d));
  char id[32] = "";
  if (hostW > 0) {
    XSetWindowAttributes a;
    memset(&a, 0, sizeof a);
    a.override_redirect = True;
    a.background_pixel = 0x008080;
    a.event_mask = StructureNotifyMask;
    watched = XCreateWindow(d, watched, 0, 0, hostW, hostH, 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &a);
    XMapWindow(d, watched);
    XEvent e;
    do XNextEvent(d, &e);
    while (e.type != MapNotify);
    width = hostW;
    height = hostH;
    snprintf(id, sizeof id, "0x%lx", watched);
  }
  char **args = argv + first + 1;
  for (char **a = args; *a; ++a) {
    if (strcmp(*a, "HOST") == 0) *a = id;
  }
  XShmSegmentInfo shm;
  XImage *shared = SharedImage(d, width, height, &shm);
  const double start = NowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    close(ConnectionNumber(d));
    execvp(args[0], args);
    _exit(127);
  }
  printf("pid %d\n", (int)pid);
  fflush(stdout);
  for (;;) {
    if (NowMs() - start > timeout) {
      kill(pid, SIGKILL);
      return 1;
    }
    if (BattleShows(d, watched, width, height, shared)) break;
    const struct timespec pause = {0, 5000000};
    nanosleep(&pause, NULL);
  }
  printf("first_battle_ms %.1f\n", NowMs() - start);
  fflush(stdout);

  char line[64];
  (void)fgets(line, sizeof line, stdin);
  const double term = NowMs();
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  printf("term_to_exit_ms %.1f\n", NowMs() - term);
  printf("status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
