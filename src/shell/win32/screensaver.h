#pragma once

#include <span>
#include <string_view>

namespace kelvarin {

// Whether the program runs under a name ending in .scr, in any case (Windows
// may start it by its short name, in capitals).
bool NamedAsScreensaver();

// kelvarin.scr: the modes Windows asks of a screensaver with the arguments
// after the program's name (see saver_arguments.h), errors in a message box.
// Returns the exit status.
int RunScreensaver(std::span<const std::string_view> args);

}  // namespace kelvarin
