#pragma once

#include <optional>
#include <vector>

class QCoreApplication;

namespace kelvarin {

// Ends the event loop with status 0 once a quit signal has come (see
// quit_signals.h), even one that came before the loop started.
void QuitOnCaughtSignals(QCoreApplication& app);

// The window, plain or full screen, until Escape, the close button or a quit
// signal (see quit_signals.h; call CatchQuitSignals() first). `qtArguments`
// are the arguments for Qt, the program's name first; any that Qt does not
// take is a usage error. With collectStats the tick statistics go to
// standard error at the end. Returns the exit status, 0, or nothing for a
// usage error, which the caller reports; a window that cannot open ends the
// program with one line and status 1 (see platform_start.h).
std::optional<int> RunWindow(std::vector<char*> qtArguments, bool fullscreen, bool collectStats);

}  // namespace kelvarin
