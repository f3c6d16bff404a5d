#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "picture/pixel_surface.h"
#include "runner/picture_output.h"
#include "runner/script_random.h"
#include "runner/script_runner.h"
#include "runner/text_output.h"
#include "runner/tracing_surface.h"
#include "sim/world.h"
#include "state/battle_state.h"

namespace kelvarin {

// The smallest side of a script's surface.
inline constexpr int kMinSurfaceSide = 16;

// What the commands of one script run act on: a fresh battle on an 800 x 600
// black surface (smaller when the options say so), the time of day 0, the
// built-in generator on its fixed seed, the text printed and not handed on
// yet, and the gif being recorded.
class ScriptRun {
 public:
  ScriptRun(TextOutput& out, const ScriptOptions& options);

  // The largest side the surface may have.
  int SideLimit() const;

  // Hands what the line printed to the output, and throws FileError when the
  // output cannot take it (a full disk, a closed pipe).
  void Flush();

  // The file that a `png`, `gif` or `random-file` line names, inside the
  // scratch folder when there is one; a FileError when files are off limits.
  std::string FilePath(std::string_view token) const;
  // The picture files; a LineError naming `command` in a build without them.
  const PictureOutput& Pictures(std::string_view command) const;

  // The gif: started by a `gif` line, a frame every tick, finished by
  // `gif stop`, Escape or the end of the script, discarded by an error. The
  // failures are LineErrors (a frame of too many colours) or FileErrors.
  bool Recording() const { return gif_ != nullptr && gif_->recording(); }
  const std::string& gifPath() const { return gifPath_; }
  void StartRecording(const std::string& path);
  void AddFrame();
  void FinishRecording();
  void DiscardRecording();

  const ScriptOptions options;
  BattleState state;
  PixelSurface image;
  std::string trace;  // printed by the line, not handed on yet
  TracingSurface surface{image, trace};
  ScriptRandom random;
  World world{state, surface, random};
  double timeOfDay = 0.0;
  bool quit = false;  // the line ended the run (Escape)

 private:
  TextOutput& out_;
  std::unique_ptr<PictureRecorder> gif_;
  std::string gifPath_;  // where the gif is written, for messages
};

}  // namespace kelvarin
