#include "runner/token_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runner/read_some.h"

namespace kelvarin {
namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

TokenFile::TokenFile(std::uint64_t maxBytes, std::size_t maxTokenBytes)
    : maxBytes_(maxBytes), maxTokenBytes_(maxTokenBytes) {}

TokenFile::~TokenFile() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool TokenFile::Open(const std::string& path) {
  fd_ = OpenToRead(path.c_str());
  if (fd_ < 0) {
    error_ = {errno, std::generic_category()};
    return false;
  }
  // A folder opens, and fails at its first read.
  struct stat info {};
  if (::fstat(fd_, &info) == 0) {
    tooLarge_ = S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > maxBytes_;
  }
  return true;
}

// Reads the next piece; false at the end of the file or on an error.
bool TokenFile::Fill() {
  if (ended_) {
    return false;
  }
  const std::size_t n = ReadSome(fd_, piece_.data(), piece_.size(), error_);
  if (n == 0) {
    ended_ = true;
    return false;
  }
  at_ = 0;
  size_ = n;
  read_ += size_;
  return true;
}

TokenFile::Next TokenFile::Read() {
  token_.clear();
  if (tooLarge_) {
    return Next::kTooLarge;
  }
  for (;;) {
    if (at_ == size_) {
      if (!Fill()) {
        if (error_) {
          return Next::kError;
        }
        return token_.empty() ? Next::kEnd : Next::kToken;
      }
      if (read_ > maxBytes_) {
        return Next::kTooLarge;
      }
    }
    const char c = piece_[at_];
    if (c == '\n' || (!inComment_ && (IsSeparator(c) || c == '#'))) {
      if (!token_.empty()) {
        return Next::kToken;  // the separator is read with the next token
      }
      ++at_;
      if (c == '\n') {
        ++line_;
        inComment_ = false;
      } else if (c == '#') {
        inComment_ = true;
      }
      continue;
    }
    ++at_;
    if (inComment_) {
      continue;
    }
    if (token_.size() == maxTokenBytes_) {
      return Next::kTooLong;
    }
    token_ += c;
  }
}

}  // namespace kelvarin
