#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <system_error>

namespace kelvarin {

// Reads up to `size` bytes of `fd` into `data`, again when a signal cuts the
// read short. Gives how many bytes were read: 0 at the end of the file, and on
// a failure, which `error` then tells.
inline std::size_t ReadSome(int fd, char* data, std::size_t size, std::error_code& error) {
  ssize_t n = 0;
  do {
    n = ::read(fd, data, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    error = {errno, std::generic_category()};
    return 0;
  }
  return static_cast<std::size_t>(n);
}

}  // namespace kelvarin
