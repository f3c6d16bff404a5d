#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <system_error>

namespace kelvarin {

// Opens the file at `path` for reading its bytes as they are (no line-end
// translation where the system has one). A descriptor, or -1 with errno set.
// A folder is EISDIR everywhere: it opens on POSIX systems and fails at its
// first read with EISDIR; Windows refuses to open it, with EACCES. A name
// that no Windows file can have (with a `*`, a `?`, a `<`...) is ENOENT, as a
// missing file is on POSIX systems, rather than Windows' EINVAL.
inline int OpenToRead(const char* path) {
#ifdef _WIN32
  const int fd = ::_open(path, _O_RDONLY | _O_BINARY);
  if (fd < 0 && errno == EINVAL) {
    errno = ENOENT;
  } else if (fd < 0 && errno == EACCES) {
    struct _stat64 info {};
    if (::_stat64(path, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFDIR) {
      errno = EISDIR;
    } else {
      errno = EACCES;
    }
  }
  return fd;
#else
  return ::open(path, O_RDONLY | O_CLOEXEC);
#endif
}

// Reads up to `size` bytes of `fd` into `data`, again when a signal cuts the
// read short. Gives how many bytes were read: 0 at the end of the file, and on
// a failure, which `error` then tells.
inline std::size_t ReadSome(int fd, char* data, std::size_t size, std::error_code& error) {
  ssize_t n = 0;
  do {
    n = ::read(fd, data, static_cast<unsigned>(size));
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    error = {errno, std::generic_category()};
    return 0;
  }
  return static_cast<std::size_t>(n);
}

}  // namespace kelvarin
