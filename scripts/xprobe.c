/* Times a program's start-up as an X client sees it, the same way for any
 * engine: from the exec to the first top-level window mapped, and to the
 * first frame whose rectangle (window coordinates) shows text, that is at
 * least MIN near-white pixels. Prints "MAPPED_MS TEXT_MS" (-1 when not seen
 * within 5 s) and kills the program. Built by scripts/measure.sh.
 *   xprobe X Y W H MIN -- PROGRAM ARGS...                                   */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double Ms(const struct timespec* t0) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (t.tv_sec - t0->tv_sec) * 1e3 + (t.tv_nsec - t0->tv_nsec) / 1e6;
}

static int Ignore(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

int main(int argc, char** argv) {
  if (argc < 8) { fprintf(stderr, "usage: xprobe X Y W H MIN -- PROGRAM ARGS...\n"); return 2; }
  int x = atoi(argv[1]), y = atoi(argv[2]), w = atoi(argv[3]), h = atoi(argv[4]), min = atoi(argv[5]);
  Display* d = XOpenDisplay(NULL);
  if (!d) { fprintf(stderr, "xprobe: no display\n"); return 2; }
  XSetErrorHandler(Ignore);  /* the window may go while we read it */
  Window root = DefaultRootWindow(d);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);
  struct timespec t0;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[7], argv + 7);
    _exit(127);
  }
  double mapped = -1, text = -1;
  Window win = 0;
  while (Ms(&t0) < 5000 && text < 0) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == MapNotify && !win && !e.xmap.override_redirect) {
        mapped = Ms(&t0);
        win = e.xmap.window;
      }
    }
    if (win) {
      XImage* img = XGetImage(d, win, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
      if (img) {
        int white = 0;
        for (int j = 0; j < h; ++j)
          for (int i = 0; i < w; ++i) {
            unsigned long p = XGetPixel(img, i, j);
            if (((p >> 16) & 0xFF) >= 0xD8 && ((p >> 8) & 0xFF) >= 0xD8 && (p & 0xFF) >= 0xD8) ++white;
          }
        XDestroyImage(img);
        if (white >= min) text = Ms(&t0);
      }
    }
    usleep(1000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, NULL, 0);
  printf("%.1f %.1f\n", mapped, text);
  return 0;
}
