#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

namespace kelvarin {

// A window id or handle as screensaver hosts and users write it: "0x" (or
// "0X") and hexadecimal digits, or decimal digits; no sign, no spaces, at
// most 32 bits. Empty for anything else.
inline std::optional<unsigned long> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t id = 0;
  const char* end = text.data() + text.size();
  // from_chars takes no sign and no spaces for an unsigned value.
  const auto [stop, error] = std::from_chars(text.data(), end, id, base);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return id;
}

}  // namespace kelvarin
