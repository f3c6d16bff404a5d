#pragma once

class QCoreApplication;

namespace kelvarin {

// SIGTERM, SIGINT and SIGHUP end a window run like Escape: the event loop
// returns 0 and the program finishes normally (statistics still print).
//
// CatchQuitSignals() installs the handlers; call it before the application
// object exists, so that a signal arriving during start-up is not lost. The
// handler only writes one byte to a pipe. QuitOnCaughtSignals() then watches
// the pipe's other end from the event loop and ends the loop when a byte is
// there, even one written before it was called. A second signal of the same
// kind finds the default action back in place and ends the program at once.
// Returns false when the pipe or a handler cannot be set up.
bool CatchQuitSignals();
void QuitOnCaughtSignals(QCoreApplication& app);

}  // namespace kelvarin
