#include "runner/headless.h"

#include <cerrno>
#include <csignal>

#include "runner/error_text.h"
#include "runner/script_runner.h"
#include "runner/text_output.h"

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
  TextOutput& out = StandardOutput();
  if (!out.Write(text)) {
    const int error = out.error();
    StandardError().Write("error: standard output: " +
                          (error != 0 ? ErrorText(error) : std::string("write error")) + '\n');
    return kScriptFileError;
  }
  return kScriptOk;
}

void PrintError(std::string_view text) { StandardError().Write(text); }

int RunScriptMode(const std::string& path, const PictureOutput* pictures) {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
  ScriptOptions options;
  options.pictures = pictures;
  return RunScriptFile(path, StandardOutput(), StandardError(), options);
}

int NoPicturesToRecord() {
  PrintError("kelvarin: this build writes no pictures, so it cannot record a gif\n");
  return kScriptLineError;
}

}  // namespace kelvarin
