// A stand-in for the small monitor of Windows' screensaver settings, for the
// Wine test: a window whose client area is W x H, filled blue, for
// `kelvarin.scr /p HWND` to draw into.
//   preview_parent W H DIR
// prints the window's handle in decimal on standard output, then watches the
// folder DIR: when a file `resize` appears there, the client area becomes
// 3/2 W x 3/2 H; when `destroy` appears, the window is destroyed, and the
// program ends two seconds later (the window goes, not the process). While
// the window has a child, the child's client size and whether it is visible
// are kept in DIR/child as "W H VISIBLE".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(window, &r);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(reinterpret_cast<HDC>(w), &r, blue);
    DeleteObject(blue);
    return 1;
  }
  return DefWindowProcW(window, message, w, l);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// DIR/child, written anew (through a rename) when what it says changes.
void ReportChild(HWND window, const std::string& dir, std::string& reported) {
  HWND child = GetWindow(window, GW_CHILD);
  std::string now;
  if (child != nullptr) {
    RECT r;
    GetClientRect(child, &r);
    now = std::to_string(r.right - r.left) + ' ' + std::to_string(r.bottom - r.top) + ' ' +
          (IsWindowVisible(child) ? '1' : '0') + '\n';
  }
  if (now == reported) {
    return;
  }
  reported = now;
  const std::string part = dir + "/child.part";
  FILE* file = std::fopen(part.c_str(), "wb");
  if (file == nullptr) {
    return;
  }
  std::fputs(now.c_str(), file);
  std::fclose(file);
  MoveFileExA(part.c_str(), (dir + "/child").c_str(), MOVEFILE_REPLACE_EXISTING);
}

void SetClientSize(HWND window, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fputs("usage: preview_parent W H DIR\n", stderr);
    return 2;
  }
  const int width = std::atoi(argv[1]);
  const int height = std::atoi(argv[2]);
  const std::string dir = argv[3];

  WNDCLASSW c{};
  c.lpfnWndProc = Procedure;
  c.hInstance = GetModuleHandleW(nullptr);
  c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  c.lpszClassName = L"PreviewParent";
  RegisterClassW(&c);
  HWND window =
      CreateWindowExW(0, c.lpszClassName, L"Preview parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      100, 100, 10, 10, nullptr, nullptr, c.hInstance, nullptr);
  SetClientSize(window, width, height);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
  std::fflush(stdout);

  bool resized = false;
  std::string reported = "none";
  for (;;) {
    ReportChild(window, dir, reported);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
    if (!resized && Exists(dir + "/resize")) {
      resized = true;
      SetClientSize(window, width * 3 / 2, height * 3 / 2);
    }
    if (Exists(dir + "/destroy")) {
      DestroyWindow(window);
      Sleep(2000);
      return 0;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}
