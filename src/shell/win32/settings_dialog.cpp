#include "shell/win32/settings_dialog.h"

#include <optional>
#include <string>

#include "shell/win32/settings_ids.h"
#include "shell/win32/wide_text.h"
#include "version.h"

namespace kelvarin {
namespace {

constexpr wchar_t kKey[] = L"Software\\Kelvarin";
constexpr wchar_t kValue[] = L"Screens";

// What the box was opened with and what OK chose.
struct Choice {
  Screens stored;
  std::optional<Screens> chosen;
};

INT_PTR CALLBACK BoxProcedure(HWND box, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(box, DWLP_USER, l);
      const std::wstring version = Widen(kVersionText);
      SetWindowTextW(box, version.c_str());
      SetDlgItemTextW(box, KELVARIN_SETTINGS_VERSION, version.c_str());
      const int checked = reinterpret_cast<const Choice*>(l)->stored == Screens::Across
                              ? KELVARIN_SETTINGS_ACROSS
                              : KELVARIN_SETTINGS_EACH;
      CheckRadioButton(box, KELVARIN_SETTINGS_EACH, KELVARIN_SETTINGS_ACROSS, checked);
      SetFocus(GetDlgItem(box, checked));
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {
        auto* choice = reinterpret_cast<Choice*>(GetWindowLongPtrW(box, DWLP_USER));
        choice->chosen = IsDlgButtonChecked(box, KELVARIN_SETTINGS_ACROSS) == BST_CHECKED
                             ? Screens::Across
                             : Screens::Each;
        EndDialog(box, IDOK);
        return TRUE;
      }
      if (LOWORD(w) == IDCANCEL) {
        EndDialog(box, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int Failed(HWND owner, const std::string& what, LSTATUS error) {
  const std::wstring text = Widen("Kelvarin: " + what + " (error " + std::to_string(error) + ").");
  const std::wstring caption = Widen(kVersionText);
  MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
  return 1;
}

}  // namespace

Screens ReadScreens() {
  DWORD value = 0;
  DWORD size = sizeof value;
  std::optional<std::uint32_t> stored;
  if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
      ERROR_SUCCESS) {
    stored = value;
  }
  return ScreensFromStored(stored);
}

int RunSettingsDialog(HWND owner) {
  Choice choice{ReadScreens(), std::nullopt};
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(KELVARIN_SETTINGS_BOX), owner,
                      BoxProcedure, reinterpret_cast<LPARAM>(&choice));
  if (result <= 0) {
    return Failed(owner, "cannot show the settings", static_cast<LSTATUS>(GetLastError()));
  }
  if (!choice.chosen) {
    return 0;
  }
  const DWORD value = static_cast<DWORD>(*choice.chosen);
  const LSTATUS stored =
      RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof value);
  if (stored != ERROR_SUCCESS) {
    return Failed(owner, "cannot store the setting", stored);
  }
  return 0;
}

}  // namespace kelvarin
