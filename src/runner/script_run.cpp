#include "runner/script_run.h"

#include <algorithm>

#include "runner/error_text.h"
#include "runner/script_arguments.h"

namespace kelvarin {
namespace {

constexpr int kMaxSurfaceSide = 8192;
// What error messages call the stream that traces and dumps go to.
constexpr char kOutputName[] = "standard output";

using script::FileError;
using script::LineError;

}  // namespace

ScriptRun::ScriptRun(TextOutput& out, const ScriptOptions& options)
    : options(options),
      image(std::min(kDefaultPictureWidth, SideLimit()),
            std::min(kDefaultPictureHeight, SideLimit())),
      out_(out) {}

int ScriptRun::SideLimit() const {
  return std::clamp(options.maxSurfaceSide, kMinSurfaceSide, kMaxSurfaceSide);
}

void ScriptRun::Flush() {
  if (trace.empty()) {
    return;
  }
  const bool written = out_.Write(trace);
  trace.clear();
  if (!written) {
    const int error = out_.error();
    throw FileError{kOutputName, error != 0 ? ErrorText(error) : "write error"};
  }
}

std::string ScriptRun::FilePath(std::string_view token) const {
  const std::string path(token);
  if (!options.allowFiles) {
    throw FileError{path, "file access is disabled"};
  }
  if (options.scratchDir.empty()) {
    return path;
  }
  const std::size_t slash = token.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? token : token.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") {
    throw FileError{path, "not a file name"};
  }
  return options.scratchDir + '/' + std::string(name);
}

const PictureOutput& ScriptRun::Pictures(std::string_view command) const {
  if (options.pictures == nullptr) {
    throw LineError{script::Quoted(command) + ": this build of kelvarin writes no pictures"};
  }
  return *options.pictures;
}

void ScriptRun::StartRecording(const std::string& path) {
  if (!gif_) {
    gif_ = Pictures("gif").NewRecorder();
  }
  if (gif_->Start(path, image) != PictureRecorder::Status::kOk) {
    throw FileError{path, gif_->failure()};
  }
  gifPath_ = path;
}

void ScriptRun::AddFrame() {
  switch (gif_->AddFrame(image)) {
    case PictureRecorder::Status::kOk:
      return;
    case PictureRecorder::Status::kTooManyColours:
      throw LineError{"a frame of " + script::Quoted(gifPath_) + " needs more than 256 colours"};
    case PictureRecorder::Status::kFileError:
      throw FileError{gifPath_, gif_->failure()};
  }
}

void ScriptRun::FinishRecording() {
  if (Recording() && gif_->Finish(image) != PictureRecorder::Status::kOk) {
    throw FileError{gifPath_, gif_->failure()};
  }
}

void ScriptRun::DiscardRecording() {
  if (gif_) {
    gif_->Discard();
  }
}

}  // namespace kelvarin
