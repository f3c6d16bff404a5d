// kelvarin-script: the script runner alone, as every toolchain builds it
// (no window, no picture files). It takes the program's command line and
// runs its headless modes; the others are not in it.
#include "programs/run_program.h"
#include "runner/headless.h"

int main(int argc, char* argv[]) {
  kelvarin::Platform scriptsOnly;
  scriptsOnly.missing = [](kelvarin::CommandLine&) -> std::optional<int> {
    kelvarin::PrintError("kelvarin: this build runs scripts only (--script FILE)\n");
    return 2;
  };
  return kelvarin::RunProgram(argc, argv, scriptsOnly);
}
