#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace kelvarin {

// The tokens of a text file, read a piece at a time: spaces, tabs, carriage
// returns, line feeds, vertical tabs and form feeds separate them, and `#`
// starts a comment that runs to the end of its line. Only the piece being
// read and the token being gathered are held, and reading stops at the piece
// that goes past `maxBytes` bytes, so a file costs little memory and time
// whatever it is (a huge file, /dev/zero, a pipe that never ends).
class TokenFile {
 public:
  enum class Next {
    kToken,     // token() and line() tell the token
    kEnd,       // no more tokens
    kTooLarge,  // the file holds more than maxBytes bytes
    kTooLong,   // a token on line() is longer than maxTokenBytes
    kError,     // the file cannot be read: error()
  };

  TokenFile(std::uint64_t maxBytes, std::size_t maxTokenBytes);
  ~TokenFile();
  TokenFile(const TokenFile&) = delete;
  TokenFile& operator=(const TokenFile&) = delete;

  // False when the file cannot be opened: error(). A regular file larger
  // than maxBytes is found out here, and its first Read() says so.
  bool Open(const std::string& path);
  Next Read();

  std::string_view token() const { return token_; }
  std::uint64_t line() const { return line_; }
  std::error_code error() const { return error_; }

 private:
  bool Fill();

  const std::uint64_t maxBytes_;
  const std::size_t maxTokenBytes_;
  int fd_ = -1;
  std::array<char, 1 << 16> piece_{};
  std::size_t at_ = 0;
  std::size_t size_ = 0;
  std::uint64_t read_ = 0;
  bool ended_ = false;
  bool tooLarge_ = false;
  bool inComment_ = false;
  std::uint64_t line_ = 1;
  std::string token_;
  std::error_code error_;
};

}  // namespace kelvarin
