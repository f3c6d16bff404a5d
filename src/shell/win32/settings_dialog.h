#pragma once

#include <windows.h>

#include "shell/win32/saver_settings.h"

namespace kelvarin {

// The stored setting (saver_settings.h): a battle on each screen when there
// is none or it cannot be read.
Screens ReadScreens();

// The screensaver's settings box, owned by `owner` (or by nothing), until OK
// or Cancel: the program's version and the choice between a battle on each
// screen and one across all screens, the stored one chosen. OK stores the
// choice. Returns the exit status: 0, or 1, after a message box saying why,
// when the box cannot be shown or the choice cannot be stored.
int RunSettingsDialog(HWND owner);

}  // namespace kelvarin
