#include "shell/win32/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>

namespace kelvarin {
namespace {

constexpr DWORD kStandardHandles[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

bool Usable(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  SetLastError(NO_ERROR);
  return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

// Puts the console's input or output on descriptor `fd` of the C library and
// makes it the standard handle.
void OpenConsoleOn(int fd) {
  const bool input = fd == 0;
  HANDLE handle =
      CreateFileW(input ? L"CONIN$" : L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return;
  }
  const int opened =
      _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), input ? _O_RDONLY : _O_WRONLY);
  if (opened < 0) {
    CloseHandle(handle);
    return;
  }
  if (opened != fd) {
    _dup2(opened, fd);
    _close(opened);
  }
  SetStdHandle(kStandardHandles[fd], reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
}

}  // namespace

void UseParentConsole() {
  bool missing[3] = {};
  bool any = false;
  for (int fd = 0; fd < 3; ++fd) {
    missing[fd] = !Usable(GetStdHandle(kStandardHandles[fd]));
    any = any || missing[fd];
  }
  if (!any || !AttachConsole(ATTACH_PARENT_PROCESS)) {
    return;
  }
  for (int fd = 0; fd < 3; ++fd) {
    if (missing[fd]) {
      OpenConsoleOn(fd);
    }
  }
}

}  // namespace kelvarin
