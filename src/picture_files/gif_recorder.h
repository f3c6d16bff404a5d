#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "picture_files/atomic_file.h"
#include "runner/picture_output.h"

struct GifFileType;

namespace kelvarin {

class PixelSurface;

// Records a surface's pictures as an animated GIF, one frame at a time:
// GIF89a, looping forever, every frame shown for 4/100 s (one 40 ms tick).
// It is lossless: one global palette holds every colour the battle draws in
// play, and a frame that needs any other colour carries a palette of its own
// with every colour of its rectangle. Each frame stores only the smallest
// rectangle that holds every pixel changed since the previous frame (the
// first frame stores the whole picture; a frame with no change stores one
// unchanged pixel). The file is written through an AtomicFile: it appears
// only when Finish() succeeds.
class GifRecorder final : public PictureRecorder {
 public:
  GifRecorder();
  ~GifRecorder() override;
  GifRecorder(const GifRecorder&) = delete;
  GifRecorder& operator=(const GifRecorder&) = delete;

  // Starts a recording of `surface`, of its present size, to `path`. The
  // first frame is the next AddFrame(). kFileError when the file cannot be
  // created.
  Status Start(const std::string& path, PixelSurface& surface) override;

  // Appends the surface's picture. The surface must keep the size it had at
  // Start(). kTooManyColours when the frame's rectangle needs more than 256
  // colours; on any error the recording is discarded.
  Status AddFrame(PixelSurface& surface) override;

  // Ends the file and puts it in place. A recording without a frame gets the
  // surface's picture as its one frame. On an error the file is discarded.
  Status Finish(PixelSurface& surface) override;

  // Drops the recording; no file is left. Idempotent.
  void Discard() override;

  bool recording() const override { return gif_ != nullptr; }
  // Why the last failure happened, as "REASON" for "error: PATH: REASON".
  const std::string& failure() const override { return failure_; }

 private:
  // Colours to palette indices: an open-addressed table of 0xRRGGBB keys.
  class Palette {
   public:
    void Clear();
    // The index of `rgb`, or -1 when it is not in the palette.
    int Find(std::uint32_t rgb) const;
    // The index of `rgb`, added when new; -1 when the palette is full.
    int FindOrAdd(std::uint32_t rgb);
    int size() const { return static_cast<int>(colours_.size()); }
    const std::vector<std::uint32_t>& colours() const { return colours_; }

   private:
    static constexpr std::size_t kSlots = 1024;  // four times the largest palette
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static std::size_t Slot(std::uint32_t rgb);
    std::array<std::uint32_t, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> indices_{};
    std::vector<std::uint32_t> colours_;
  };

  struct Rect {
    int left = 0;
    int top = 0;
    int right = -1;  // inclusive; empty while right < left
    int bottom = -1;
  };

  static int Write(GifFileType* gif, const unsigned char* bytes, int size);

  Rect ChangedSinceLastFrame(PixelSurface& surface);
  bool Index(const PixelSurface& surface, const Rect& rect, bool local);
  bool WriteFrame(const Rect& rect, bool local);
  Status Fail(Status status, const std::string& reason);
  Status GifFailure();

  AtomicFile file_;
  GifFileType* gif_ = nullptr;
  std::string failure_;
  int width_ = 0;
  int height_ = 0;
  std::uint64_t frames_ = 0;
  Palette global_;
  Palette local_;
  // The picture as of the last frame, row after row, and the palette
  // indices of the frame being written.
  std::vector<std::uint32_t> previous_;
  std::vector<std::uint8_t> indices_;
};

}  // namespace kelvarin
