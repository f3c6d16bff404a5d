#pragma once

namespace kelvarin {

// SIGTERM, SIGINT and SIGHUP end a window or screensaver run like Escape: its
// loop ends and the program finishes normally with status 0 (statistics
// still print).
//
// CatchQuitSignals() installs the handlers; call it before the loop exists,
// so that a signal arriving during start-up is not lost. The handler only
// writes one byte to a pipe, whose other end a loop watches (QuitSignalPipe):
// it is readable once a signal has come, even one that came before the loop
// started. A second signal of the same kind finds the default action back in
// place and ends the program at once. Returns false when the pipe or a
// handler cannot be set up.
bool CatchQuitSignals();

// The pipe's read end (non-blocking), or -1 before CatchQuitSignals().
int QuitSignalPipe();

// Empties the pipe; true when a quit signal had come.
bool TakeQuitSignals();

}  // namespace kelvarin
