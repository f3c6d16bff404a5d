// kelvarin-script: the script runner alone, as every toolchain builds it
// (no window, no picture files). It takes the program's command line and
// runs its headless modes; the others are not in it.
#include <optional>
#include <string>

#include "command_line.h"
#include "runner/headless.h"
#include "version.h"

int main(int argc, char* argv[]) {
  using Mode = kelvarin::CommandLine::Mode;
  kelvarin::UseBinaryStandardStreams();
  const std::optional<kelvarin::CommandLine> line = kelvarin::ParseCommandLine(argc, argv);
  if (!line) {
    kelvarin::PrintError(kelvarin::kUsage);
    return 2;
  }
  switch (line->mode) {
    case Mode::Version:
      return kelvarin::PrintOutput(std::string(kelvarin::kVersionText) + '\n');
    case Mode::Help:
      return kelvarin::PrintOutput(kelvarin::kUsage);
    case Mode::Script:
      return kelvarin::RunScriptMode(line->scriptPath, nullptr);
    case Mode::Gif:
      return kelvarin::NoPicturesToRecord();
    default:
      kelvarin::PrintError("kelvarin: this build runs scripts only (--script FILE)\n");
      return 2;
  }
}
