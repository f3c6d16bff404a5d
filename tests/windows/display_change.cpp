// For the Wine test: what a monitor added or removed makes Windows do. The
// display settings in the registry are applied again, and Wine then reads the
// monitors anew and tells every window (WM_DISPLAYCHANGE). Status 1, and the
// code on standard error, when it is refused.
#include <windows.h>

#include <cstdio>

int main() {
  const LONG result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
  if (result != DISP_CHANGE_SUCCESSFUL) {
    std::fprintf(stderr, "display_change: ChangeDisplaySettingsEx gave %ld\n", result);
    return 1;
  }
  return 0;
}
