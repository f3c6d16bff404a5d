#pragma once

#include <cstdint>
#include <optional>

namespace kelvarin {

// The screensaver's one setting, what it does with several monitors, kept
// for the user as the REG_DWORD value `Screens` under
// HKEY_CURRENT_USER\Software\Kelvarin. Plain C++, so that the rule is
// checked on every platform.
enum class Screens : std::uint32_t {
  Each = 0,    // a battle on each screen, fitted to it
  Across = 1,  // one battle across all screens, over their bounding rectangle
};

// The setting from the stored value, a REG_DWORD or nothing (none, or one of
// another type): 1 is one battle across all screens; anything else, or
// nothing, a battle on each screen. Never an error.
inline Screens ScreensFromStored(std::optional<std::uint32_t> dword) {
  return dword == static_cast<std::uint32_t>(Screens::Across) ? Screens::Across : Screens::Each;
}

}  // namespace kelvarin
