#include "runner/stream_io.h"

#include <cerrno>
#include <istream>
#include <ostream>

namespace kelvarin {

bool StreamOutput::Write(std::string_view text) {
  errno = 0;
  stream_.write(text.data(), static_cast<std::streamsize>(text.size()));
  stream_.flush();
  if (!stream_) {
    error_ = errno;
    return false;
  }
  return true;
}

std::size_t StreamInput::Read(char* data, std::size_t size) {
  return static_cast<std::size_t>(stream_.rdbuf()->sgetn(data, static_cast<std::streamsize>(size)));
}

int RunScript(std::istream& in, std::ostream& out, std::ostream& err,
              const ScriptOptions& options) {
  StreamInput input(in);
  StreamOutput output(out);
  StreamOutput errors(err);
  return RunScript(input, "-", output, errors, options);
}

int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err,
                  const ScriptOptions& options) {
  StreamOutput output(out);
  StreamOutput errors(err);
  return RunScriptFile(path, output, errors, options);
}

}  // namespace kelvarin
