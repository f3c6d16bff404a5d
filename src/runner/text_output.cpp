#include "runner/text_output.h"

#include <cerrno>

namespace kelvarin {

bool FileOutput::Write(std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
  if (std::fflush(file_) != 0 || !written) {
    error_ = errno;
    std::clearerr(file_);
    return false;
  }
  return true;
}

TextOutput& StandardOutput() {
  static FileOutput output(stdout);
  return output;
}

TextOutput& StandardError() {
  static FileOutput output(stderr);
  return output;
}

}  // namespace kelvarin
