// Compares the output of a script run with the expected output, line by line:
// words must match, except that two numbers are equal when they are the same
// float32 value (so -0 equals 0 and any spelling that reads back the same is
// accepted). In `name=value` words the names must match and the values are
// compared the same way.
//
// usage: kvs_compare EXPECTED ACTUAL; exit 0 when they match, 1 otherwise.

#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

std::optional<std::vector<std::string>> ReadLines(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  std::string word;
  while (in >> word) {
    words.push_back(word);
  }
  return words;
}

std::optional<float> AsFloat(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  float value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

bool SameValue(std::string_view a, std::string_view b) {
  if (a == b) {
    return true;
  }
  const std::optional<float> x = AsFloat(a);
  const std::optional<float> y = AsFloat(b);
  return x && y && *x == *y;
}

bool SameWord(std::string_view a, std::string_view b) {
  const std::size_t ea = a.find('=');
  const std::size_t eb = b.find('=');
  if (ea != std::string_view::npos && eb != std::string_view::npos) {
    return a.substr(0, ea) == b.substr(0, eb) && SameValue(a.substr(ea + 1), b.substr(eb + 1));
  }
  return SameValue(a, b);
}

bool SameLine(const std::string& a, const std::string& b) {
  const std::vector<std::string> wa = Words(a);
  const std::vector<std::string> wb = Words(b);
  if (wa.size() != wb.size()) {
    return false;
  }
  for (std::size_t i = 0; i < wa.size(); ++i) {
    if (!SameWord(wa[i], wb[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kvs_compare EXPECTED ACTUAL\n";
    return 2;
  }
  const auto expected = ReadLines(argv[1]);
  const auto actual = ReadLines(argv[2]);
  if (!expected || !actual) {
    std::cerr << "cannot read " << (expected ? argv[2] : argv[1]) << '\n';
    return 2;
  }
  const std::size_t lines = std::max(expected->size(), actual->size());
  for (std::size_t i = 0; i < lines; ++i) {
    const std::string none = "<no line>";
    const std::string& e = i < expected->size() ? (*expected)[i] : none;
    const std::string& a = i < actual->size() ? (*actual)[i] : none;
    if (i >= expected->size() || i >= actual->size() || !SameLine(e, a)) {
      std::cout << "output line " << i + 1 << " differs\n  expected: " << e << "\n  actual:   " << a
                << '\n';
      return 1;
    }
  }
  return 0;
}
