#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kelvarin {

// Where the text of a run goes: standard output or standard error, or a
// string or stream in tests (see stream_io.h). Plain C stdio underneath, so
// a program that prints only through it carries none of the C++ streams.
class TextOutput {
 public:
  virtual ~TextOutput() = default;

  // Writes all of `text` and hands it on at once. False when it cannot be
  // written; error() then tells why.
  virtual bool Write(std::string_view text) = 0;
  // The errno value of the last failed write, 0 when none is known.
  virtual int error() const = 0;
};

// Text into a C stream (stdout, stderr), flushed after every write.
class FileOutput final : public TextOutput {
 public:
  explicit FileOutput(std::FILE* file) : file_(file) {}
  bool Write(std::string_view text) override;
  int error() const override { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

// Text kept in a string.
class StringOutput final : public TextOutput {
 public:
  bool Write(std::string_view text) override {
    text_ += text;
    return true;
  }
  int error() const override { return 0; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Standard output and standard error.
TextOutput& StandardOutput();
TextOutput& StandardError();

}  // namespace kelvarin
