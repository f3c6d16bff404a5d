#include "picture_files/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelvarin {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// The temporary files in flight, readable from a signal handler: a fixed table
// of paths, each published by its `used` flag after the path is in place.
struct TemporarySlot {
  volatile sig_atomic_t used = 0;
  char path[PATH_MAX] = {};
};
std::array<TemporarySlot, 16> gTemporaries;

constexpr std::array<int, 3> kEndingSignals = {SIGTERM, SIGINT, SIGHUP};

// Holds back the ending signals while a temporary file is created and entered
// in the table, or removed from both, so that none is left unlisted.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int s : kEndingSignals) {
      sigaddset(&held, s);
    }
    pthread_sigmask(SIG_BLOCK, &held, &saved_);
  }
  ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t saved_;
};

int Enter(const std::string& path) {
  if (path.size() >= PATH_MAX) {
    return -1;
  }
  for (std::size_t i = 0; i < gTemporaries.size(); ++i) {
    TemporarySlot& slot = gTemporaries[i];
    if (slot.used == 0) {
      std::memcpy(slot.path, path.c_str(), path.size() + 1);
      slot.used = 1;
      return static_cast<int>(i);
    }
  }
  return -1;  // a full table: the file is still written, only not cleaned up by a signal
}

void Leave(int slot) {
  if (slot >= 0) {
    gTemporaries[static_cast<std::size_t>(slot)].used = 0;
  }
}

extern "C" void RemoveTemporariesAndEnd(int signal) {
  const int saved = errno;
  for (const TemporarySlot& slot : gTemporaries) {
    if (slot.used != 0) {
      ::unlink(slot.path);
    }
  }
  errno = saved;
  // The handler was reset to the default on entry: once this returns, the
  // signal ends the process as it would have without the handler.
  ::raise(signal);
}

std::error_code LastError() { return {errno, std::generic_category()}; }

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

AtomicFile::~AtomicFile() { Discard(); }

std::error_code AtomicFile::Open(const std::string& path) {
  Discard();
  target_ = path;
  bool direct = false;
  mode_t mode = NewFileMode();
  struct stat link {};
  if (::lstat(path.c_str(), &link) == 0) {
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0) {
      direct = true;  // a dangling link: create what it points to, as a plain open would
    } else if (S_ISDIR(file.st_mode)) {
      return {EISDIR, std::generic_category()};
    } else if (!S_ISREG(file.st_mode)) {
      direct = true;
    } else {
      if (::access(path.c_str(), W_OK) != 0) {
        return LastError();
      }
      mode = file.st_mode & 07777;
      if (S_ISLNK(link.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) {
          return LastError();
        }
        target_ = resolved;
        std::free(resolved);
      }
    }
  } else if (errno != ENOENT) {
    return LastError();
  }

  if (direct) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      return LastError();
    }
  } else {
    std::string name = FolderOf(target_) + "/.kelvarin-XXXXXX";
    {
      const SignalsHeld held;
      fd_ = ::mkostemp(name.data(), O_CLOEXEC);
      if (fd_ < 0) {
        return LastError();
      }
      temporary_ = name;
      slot_ = Enter(temporary_);
    }
    if (::fchmod(fd_, mode) != 0) {
      const std::error_code error = LastError();
      Discard();
      return error;
    }
  }
  buffer_.reserve(kBufferSize);
  return {};
}

std::error_code AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) {
    return {EBADF, std::generic_category()};
  }
  const char* bytes = static_cast<const char*>(data);
  if (buffer_.size() + size > kBufferSize) {
    if (const std::error_code error = Flush()) {
      return error;
    }
  }
  if (size >= kBufferSize) {
    return WriteOut(bytes, size);  // too large to be worth buffering
  }
  buffer_.insert(buffer_.end(), bytes, bytes + size);
  return {};
}

std::error_code AtomicFile::Flush() {
  if (buffer_.empty()) {
    return {};
  }
  const std::error_code error = WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return error;
}

std::error_code AtomicFile::WriteOut(const char* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd_, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      const std::error_code error = LastError();
      Discard();
      return error;
    }
    done += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code AtomicFile::Commit() {
  if (fd_ < 0) {
    return {EBADF, std::generic_category()};
  }
  if (const std::error_code error = Flush()) {
    return error;
  }
  if (!temporary_.empty() && ::fsync(fd_) != 0) {
    const std::error_code error = LastError();
    Discard();
    return error;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const std::error_code error = LastError();
    Discard();
    return error;
  }
  if (!temporary_.empty()) {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      const std::error_code error = LastError();
      Discard();
      return error;
    }
    const SignalsHeld held;
    Leave(slot_);
    slot_ = -1;
    temporary_.clear();
  }
  return {};
}

void AtomicFile::Discard() {
  Close();
  if (!temporary_.empty()) {
    const SignalsHeld held;
    ::unlink(temporary_.c_str());
    Leave(slot_);
    slot_ = -1;
    temporary_.clear();
  }
  buffer_.clear();
}

void AtomicFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

std::error_code WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
  AtomicFile file;
  if (const std::error_code error = file.Open(path)) {
    return error;
  }
  if (const std::error_code error = file.Write(data, size)) {
    return error;
  }
  return file.Commit();
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporariesAndEnd;
  sigemptyset(&action.sa_mask);
  for (const int s : kEndingSignals) {
    sigaddset(&action.sa_mask, s);
  }
  action.sa_flags = SA_RESETHAND;
  for (const int s : kEndingSignals) {
    struct sigaction current {};
    // A signal the process was started to ignore (nohup) stays ignored.
    if (::sigaction(s, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
      ::sigaction(s, &action, nullptr);
    }
  }
}

}  // namespace kelvarin
