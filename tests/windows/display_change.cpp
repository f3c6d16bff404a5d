// For the Wine test: what a monitor added or removed makes Windows do.
//   display_change COUNT   applies the display settings in the registry again:
//                          Wine then reads the monitors anew and tells every
//                          window (WM_DISPLAYCHANGE). It waits until this
//                          process sees COUNT monitors, applying them again
//                          each second (another Wine process may have written
//                          what it read before the change), for up to 5 s.
//   display_change --list  prints the monitors, "X Y W H" a line.
// Status 1, with what went wrong and the monitors seen on standard error,
// when the settings are refused or the count is never reached.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* area, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*area);
  return TRUE;
}

std::vector<RECT> Monitors() {
  std::vector<RECT> list;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  return list;
}

void Print(FILE* to, const std::vector<RECT>& monitors) {
  for (const RECT& r : monitors) {
    std::fprintf(to, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    Print(stdout, Monitors());
    return 0;
  }
  const long count = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (count <= 0) {
    std::fprintf(stderr, "usage: display_change COUNT | --list\n");
    return 2;
  }
  for (int attempt = 0; attempt < 5; ++attempt) {
    const LONG result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
    if (result != DISP_CHANGE_SUCCESSFUL) {
      std::fprintf(stderr, "display_change: ChangeDisplaySettingsEx gave %ld\n", result);
      return 1;
    }
    for (int wait = 0; wait < 10; ++wait) {
      if (static_cast<long>(Monitors().size()) == count) {
        if (attempt > 0) {
          std::fprintf(stderr, "display_change: %ld monitors after %d applications\n", count,
                       attempt + 1);
        }
        return 0;
      }
      Sleep(100);
    }
  }
  std::fprintf(stderr, "display_change: not %ld monitors after 5 s, but:\n", count);
  Print(stderr, Monitors());
  return 1;
}
