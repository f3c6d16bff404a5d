#pragma once

#include <string_view>
#include <vector>

namespace kelvarin {

// Keeps Qt's messages off the terminal, so a normal run prints nothing. Until
// PlatformStarted(), a fatal message means that Qt's platform could not start
// (no display could be opened, a platform plugin is missing): instead of Qt's
// message and an abort, one line of the program's own, saying what failed and
// what to do, goes to standard error and the process exits with status 1. A
// fatal message after that is printed, after "kelvarin: ", before Qt aborts.
// `qtArguments` are the arguments that go to Qt (for its -display option).
void QuietQtMessages(const std::vector<std::string_view>& qtArguments);

// Called once QApplication is made.
void PlatformStarted();

}  // namespace kelvarin
