#include "runner/error_text.h"

#include <cerrno>
#include <cstring>

namespace kelvarin {
namespace {

// The texts of the GNU C library, which the Linux program has always printed.
// Every name is one every platform defines, and no two share a value.
const char* KnownText(int errnum) {
  switch (errnum) {
    case EPERM:
      return "Operation not permitted";
    case ENOENT:
      return "No such file or directory";
    case EINTR:
      return "Interrupted system call";
    case EIO:
      return "Input/output error";
    case ENXIO:
      return "No such device or address";
    case EBADF:
      return "Bad file descriptor";
    case EAGAIN:
      return "Resource temporarily unavailable";
    case ENOMEM:
      return "Cannot allocate memory";
    case EACCES:
      return "Permission denied";
    case EFAULT:
      return "Bad address";
    case EBUSY:
      return "Device or resource busy";
    case EEXIST:
      return "File exists";
    case EXDEV:
      return "Invalid cross-device link";
    case ENODEV:
      return "No such device";
    case ENOTDIR:
      return "Not a directory";
    case EISDIR:
      return "Is a directory";
    case EINVAL:
      return "Invalid argument";
    case ENFILE:
      return "Too many open files in system";
    case EMFILE:
      return "Too many open files";
    case EFBIG:
      return "File too large";
    case ENOSPC:
      return "No space left on device";
    case ESPIPE:
      return "Illegal seek";
    case EROFS:
      return "Read-only file system";
    case EPIPE:
      return "Broken pipe";
    case ENAMETOOLONG:
      return "File name too long";
#ifdef ELOOP
    case ELOOP:
      return "Too many levels of symbolic links";
#endif
#ifdef ETXTBSY
    case ETXTBSY:
      return "Text file busy";
#endif
#ifdef EOVERFLOW
    case EOVERFLOW:
      return "Value too large for defined data type";
#endif
#ifdef EDQUOT
    case EDQUOT:
      return "Disk quota exceeded";
#endif
#ifdef ESTALE
    case ESTALE:
      return "Stale file handle";
#endif
    default:
      return nullptr;
  }
}

}  // namespace

std::string ErrorText(int errnum) {
  const char* text = KnownText(errnum);
  return text != nullptr ? text : std::strerror(errnum);
}

std::string ErrorText(const std::error_code& error) {
  if (error.category() == std::generic_category()) {
    return ErrorText(error.value());
  }
  return error.message();
}

}  // namespace kelvarin
