#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kelvarin {

// UTF-8 as the UTF-16 that Windows' wide functions take.
inline std::wstring Widen(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  }
  return wide;
}

}  // namespace kelvarin
