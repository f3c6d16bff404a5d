#pragma once

#include <memory>
#include <string>

namespace kelvarin {

class PixelSurface;

// A recording of a surface's pictures, one frame a tick (`gif FILE`).
class PictureRecorder {
 public:
  enum class Status { kOk, kTooManyColours, kFileError };

  virtual ~PictureRecorder() = default;

  // Starts a recording of `surface`, of its present size, to `path`.
  virtual Status Start(const std::string& path, PixelSurface& surface) = 0;
  // Appends the surface's picture; on any error the recording is discarded.
  virtual Status AddFrame(PixelSurface& surface) = 0;
  // Ends the file and puts it in place; on an error the file is discarded.
  virtual Status Finish(PixelSurface& surface) = 0;
  // Drops the recording; no file is left. Idempotent.
  virtual void Discard() = 0;

  virtual bool recording() const = 0;
  // Why the last failure happened, as "REASON" for "error: PATH: REASON".
  virtual const std::string& failure() const = 0;
};

// What writes the pictures of a script run: the `png` and `gif` lines. A
// build without picture files runs scripts without one, and answers those
// lines with an error.
class PictureOutput {
 public:
  virtual ~PictureOutput() = default;

  // Writes the surface's picture to `path` as a PNG file, complete or not at
  // all. Empty, or why it failed ("REASON" for "error: PATH: REASON").
  virtual std::string WritePng(const std::string& path, const PixelSurface& surface) const = 0;
  // A recorder for a `gif` line.
  virtual std::unique_ptr<PictureRecorder> NewRecorder() const = 0;
};

}  // namespace kelvarin
