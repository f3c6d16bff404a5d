#include "runner/headless.h"

#include <cerrno>
#include <csignal>
#include <iostream>

#include "runner/error_text.h"
#include "runner/script_runner.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace kelvarin {

void UseBinaryStandardStreams() {
#ifdef _WIN32
  for (const int fd : {0, 1, 2}) {
    ::_setmode(fd, _O_BINARY);
  }
#endif
}

int PrintOutput(std::string_view text) {
  errno = 0;
  std::cout << text << std::flush;
  if (!std::cout) {
    const int error = errno;
    std::cerr << "error: standard output: " << (error != 0 ? ErrorText(error) : "write error")
              << '\n';
    return kScriptFileError;
  }
  return kScriptOk;
}

int RunScriptMode(const std::string& path, const PictureOutput* pictures) {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
  ScriptOptions options;
  options.pictures = pictures;
  return RunScriptFile(path, std::cout, std::cerr, options);
}

int NoPicturesToRecord() {
  std::cerr << "kelvarin: this build writes no pictures, so it cannot record a gif\n";
  return kScriptLineError;
}

}  // namespace kelvarin
