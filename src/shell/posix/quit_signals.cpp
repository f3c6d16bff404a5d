#include "shell/posix/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace kelvarin {
namespace {

int pipeRead = -1;
int pipeWrite = -1;

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnQuitSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // Non-blocking: with the pipe full a byte is already waiting.
  [[maybe_unused]] const ssize_t written = write(pipeWrite, &byte, 1);
  errno = saved;
}

}  // namespace

bool CatchQuitSignals() {
  if (pipeWrite < 0) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
      return false;
    }
    pipeRead = fds[0];
    pipeWrite = fds[1];
  }
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  bool ok = true;
  for (const int signal : kQuitSignals) {
    ok = sigaction(signal, &action, nullptr) == 0 && ok;
  }
  return ok;
}

int QuitSignalPipe() { return pipeRead; }

bool TakeQuitSignals() {
  if (pipeRead < 0) {
    return false;
  }
  bool any = false;
  char bytes[16];
  while (read(pipeRead, bytes, sizeof bytes) > 0) {
    any = true;
  }
  return any;
}

}  // namespace kelvarin
