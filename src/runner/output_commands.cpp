// The commands of what a run prints and writes: `draw`, `dump`, `surface`,
// `png` and `gif`.
#include <string>

#include "runner/script_commands.h"
#include "runner/script_run.h"
#include "runner/state_dump.h"

namespace kelvarin::script {

void Draw(ScriptRun& run, const Tokens& t) {
  if (t[1] == "on") {
    run.surface.SetTracing(true);
  } else if (t[1] == "off") {
    run.surface.SetTracing(false);
  } else {
    throw LineError{"draw " + Quoted(t[1]) + " is neither 'on' nor 'off'"};
  }
}

void Dump(ScriptRun& run, const Tokens&) { AppendDump(run.trace, run.state, run.random.draws()); }

void SurfaceSize(ScriptRun& run, const Tokens& t) {
  const int limit = run.SideLimit();
  const auto w = static_cast<int>(IntegerIn(t[1], "width", kMinSurfaceSide, limit));
  const auto h = static_cast<int>(IntegerIn(t[2], "height", kMinSurfaceSide, limit));
  if (run.Recording()) {
    throw LineError{"the surface keeps its size while a gif is recorded ('gif stop' ends it)"};
  }
  run.image.Resize(w, h);
}

void Png(ScriptRun& run, const Tokens& t) {
  const std::string path = run.FilePath(t[1]);
  const std::string failure = run.Pictures(t[0]).WritePng(path, run.image);
  if (!failure.empty()) {
    throw FileError{path, failure};
  }
}

// `stop` is a keyword: a file of that name is written `./stop`.
void Gif(ScriptRun& run, const Tokens& t) {
  if (t[1] == "stop") {
    if (!run.Recording()) {
      throw LineError{"'gif stop' with no gif being recorded"};
    }
    run.FinishRecording();
    return;
  }
  if (run.Recording()) {
    throw LineError{"a gif is already being recorded to " + Quoted(run.gifPath()) +
                    " ('gif stop' ends it)"};
  }
  run.StartRecording(run.FilePath(t[1]));
}

}  // namespace kelvarin::script
