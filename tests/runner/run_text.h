#pragma once

#include <sstream>
#include <string>
#include <string_view>

#include "runner/script_runner.h"
#include "runner/stream_io.h"

namespace kelvarin::test {

// What a script run gave: its exit status, standard output and error.
struct Outcome {
  int status;
  std::string out;
  std::string err;
};

inline Outcome RunText(std::string_view script, const ScriptOptions& options = {}) {
  std::istringstream in{std::string(script)};
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunScript(in, out, err, options);
  return {status, out.str(), err.str()};
}

// What `dump` prints for a run that has changed nothing.
inline constexpr std::string_view kEmptyDump =
    "state NextTeam=0 PurgeFlag=0 IdleTicks=0 EngagedCount=0 AliveCount=0 draws=0\nend\n";

}  // namespace kelvarin::test
