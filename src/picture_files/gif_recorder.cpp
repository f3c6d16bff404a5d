#include "picture_files/gif_recorder.h"

#include <gif_lib.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "app/tick_clock.h"
#include "picture/pixel_surface.h"
#include "sim/palette.h"

namespace kelvarin {
namespace {

constexpr int kFrameDelay = kTickIntervalMs / 10;  // hundredths of a second: one tick
constexpr int kMaxColours = 256;
constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

std::uint32_t Key(Rgb c) {
  return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}

// A GIF colour map of the palette's colours, padded with black to a power
// of two of at least 2 entries (giflib's rule).
ColorMapObject* MakeColourMap(const std::vector<std::uint32_t>& colours) {
  const int count = static_cast<int>(std::bit_ceil(std::max<std::size_t>(colours.size(), 2)));
  std::vector<GifColorType> entries(static_cast<std::size_t>(count), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i) {
    entries[i] = {static_cast<GifByteType>(colours[i] >> 16),
                  static_cast<GifByteType>(colours[i] >> 8), static_cast<GifByteType>(colours[i])};
  }
  return GifMakeMapObject(count, entries.data());
}

// The pixel at (x, y) of the picture.
const std::uint32_t* PixelAt(const raster::PixelBuffer& image, int x, int y) {
  return image.bits + static_cast<std::ptrdiff_t>(y) * image.stride + x;
}

}  // namespace

// ---- The palettes.

std::size_t GifRecorder::Palette::Slot(std::uint32_t rgb) {
  return static_cast<std::size_t>((rgb * 2654435761U) >> 22);  // the top 10 bits
}

void GifRecorder::Palette::Clear() {
  keys_.fill(kEmpty);
  colours_.clear();
}

int GifRecorder::Palette::Find(std::uint32_t rgb) const {
  for (std::size_t s = Slot(rgb);; s = (s + 1) % kSlots) {
    if (keys_[s] == rgb) {
      return indices_[s];
    }
    if (keys_[s] == kEmpty) {
      return -1;
    }
  }
}

int GifRecorder::Palette::FindOrAdd(std::uint32_t rgb) {
  std::size_t s = Slot(rgb);
  for (; keys_[s] != kEmpty; s = (s + 1) % kSlots) {
    if (keys_[s] == rgb) {
      return indices_[s];
    }
  }
  if (colours_.size() == kMaxColours) {
    return -1;
  }
  keys_[s] = rgb;
  indices_[s] = static_cast<std::uint8_t>(colours_.size());
  colours_.push_back(rgb);
  return indices_[s];
}

// ---- The recording.

GifRecorder::GifRecorder() {
  global_.Clear();
  for (const Rgb colour : ColoursInPlay()) {
    global_.FindOrAdd(Key(colour));
  }
}

GifRecorder::~GifRecorder() { Discard(); }

int GifRecorder::Write(GifFileType* gif, const unsigned char* bytes, int size) {
  auto* self = static_cast<GifRecorder*>(gif->UserData);
  if (self->gif_ != gif || !self->failure_.empty()) {
    return 0;  // discarded, or failed already
  }
  if (const std::error_code error = self->file_.Write(bytes, static_cast<std::size_t>(size))) {
    self->failure_ = error.message();
    return 0;
  }
  return size;
}

GifRecorder::Status GifRecorder::Fail(Status status, const std::string& reason) {
  Discard();
  failure_ = reason;
  return status;
}

// giflib reports a failed write as its own error; the file's reason is
// kept by Write().
GifRecorder::Status GifRecorder::GifFailure() {
  const std::string reason = failure_.empty() ? GifErrorString(gif_->Error) : failure_;
  return Fail(Status::kFileError, reason);
}

GifRecorder::Status GifRecorder::Start(const std::string& path, PixelSurface& surface) {
  Discard();
  failure_.clear();
  if (const std::error_code error = file_.Open(path)) {
    return Fail(Status::kFileError, error.message());
  }
  int error = 0;
  gif_ = EGifOpen(this, &GifRecorder::Write, &error);
  if (gif_ == nullptr) {
    return Fail(Status::kFileError, GifErrorString(error));
  }
  width_ = surface.width();
  height_ = surface.height();
  frames_ = 0;
  previous_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  indices_.resize(previous_.size());

  EGifSetGifVersion(gif_, true);
  ColorMapObject* map = MakeColourMap(global_.colours());
  const int screen =
      map == nullptr ? GIF_ERROR : EGifPutScreenDesc(gif_, width_, height_, 8, 0, map);
  GifFreeMapObject(map);
  // The application extension that makes viewers loop forever.
  static constexpr GifByteType kLoopApp[] = "NETSCAPE2.0";
  static constexpr GifByteType kLoopForever[] = {1, 0, 0};
  if (screen == GIF_ERROR || EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif_, 11, kLoopApp) == GIF_ERROR ||
      EGifPutExtensionBlock(gif_, 3, kLoopForever) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif_) == GIF_ERROR) {
    return GifFailure();
  }
  return Status::kOk;
}

// The one place that reads what the surface drew on: a bound of the pixels
// that may have changed since the last frame, narrowed here to those that
// did change.
GifRecorder::Rect GifRecorder::ChangedSinceLastFrame(PixelSurface& surface) {
  const raster::PixelRect drawn = surface.TakeDirty().Intersected({0, 0, width_, height_});
  if (frames_ == 0) {
    return {0, 0, width_ - 1, height_ - 1};
  }
  if (drawn.empty()) {
    return {};
  }
  const raster::PixelBuffer image = surface.pixels();
  const int left = drawn.x;
  const int right = drawn.x + drawn.width - 1;
  const int drawnTop = drawn.y;
  const int drawnBottom = drawn.y + drawn.height - 1;
  const auto previous = [this](int x, int y) {
    return previous_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x;
  };
  const auto rowChanged = [&](int y) {
    return std::memcmp(PixelAt(image, left, y), previous(left, y),
                       static_cast<std::size_t>(right - left + 1) * 4) != 0;
  };
  Rect changed;
  int top = drawnTop;
  while (top <= drawnBottom && !rowChanged(top)) {
    ++top;
  }
  if (top > drawnBottom) {
    return {};
  }
  int bottom = drawnBottom;
  while (!rowChanged(bottom)) {
    --bottom;
  }
  changed.top = top;
  changed.bottom = bottom;
  changed.left = right + 1;
  changed.right = left - 1;
  for (int y = top; y <= bottom; ++y) {
    const std::uint32_t* now = PixelAt(image, 0, y);
    const std::uint32_t* before = previous(0, y);
    // Only columns outside what is already known to have changed matter.
    for (int x = left; x < changed.left; ++x) {
      if (now[x] != before[x]) {
        changed.left = x;
        break;
      }
    }
    for (int x = right; x > changed.right; --x) {
      if (now[x] != before[x]) {
        changed.right = x;
        break;
      }
    }
  }
  return changed;
}

// Fills indices_ with the rectangle's pixels as indices into the global
// palette, or, when `local`, into local_, which it fills. False when a colour
// is not in the global palette, or the local one overflows.
bool GifRecorder::Index(const PixelSurface& surface, const Rect& rect, bool local) {
  if (local) {
    local_.Clear();
  }
  const raster::PixelBuffer image = surface.pixels();
  std::uint8_t* out = indices_.data();
  std::uint32_t last = 0xFFFFFFFF;
  int lastIndex = 0;
  for (int y = rect.top; y <= rect.bottom; ++y) {
    const std::uint32_t* row = PixelAt(image, 0, y);
    for (int x = rect.left; x <= rect.right; ++x) {
      const std::uint32_t rgb = row[x] & kRgbMask;
      if (rgb != last) {
        lastIndex = local ? local_.FindOrAdd(rgb) : global_.Find(rgb);
        if (lastIndex < 0) {
          return false;
        }
        last = rgb;
      }
      *out++ = static_cast<std::uint8_t>(lastIndex);
    }
  }
  return true;
}

bool GifRecorder::WriteFrame(const Rect& rect, bool local) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = kFrameDelay;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const auto length = static_cast<int>(EGifGCBToExtension(&control, extension));
  if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, length, extension) == GIF_ERROR) {
    return false;
  }
  ColorMapObject* map = nullptr;
  if (local) {
    map = MakeColourMap(local_.colours());
    if (map == nullptr) {
      return false;
    }
  } else if (gif_->Image.ColorMap != nullptr) {
    // Given no map, giflib forgets the previous frame's local one without
    // freeing it.
    GifFreeMapObject(gif_->Image.ColorMap);
    gif_->Image.ColorMap = nullptr;
  }
  const int width = rect.right - rect.left + 1;
  const int height = rect.bottom - rect.top + 1;
  const int described = EGifPutImageDesc(gif_, rect.left, rect.top, width, height, false, map);
  GifFreeMapObject(map);
  return described != GIF_ERROR && EGifPutLine(gif_, indices_.data(), width * height) != GIF_ERROR;
}

GifRecorder::Status GifRecorder::AddFrame(PixelSurface& surface) {
  if (gif_ == nullptr) {
    return Fail(Status::kFileError, "no recording");
  }
  if (surface.width() != width_ || surface.height() != height_) {
    return Fail(Status::kFileError, "the picture changed size during the recording");
  }
  Rect rect = ChangedSinceLastFrame(surface);
  if (rect.right < rect.left) {
    rect = {0, 0, 0, 0};  // a frame must hold a pixel: one that has not changed
  }
  bool local = false;
  if (!Index(surface, rect, false)) {
    local = true;
    if (!Index(surface, rect, true)) {
      return Fail(Status::kTooManyColours, "a frame needs more than 256 colours");
    }
  }
  if (!WriteFrame(rect, local)) {
    return GifFailure();
  }
  const raster::PixelBuffer image = surface.pixels();
  const auto columns = static_cast<std::size_t>(rect.right - rect.left + 1);
  for (int y = rect.top; y <= rect.bottom; ++y) {
    std::memcpy(previous_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                    rect.left,
                PixelAt(image, rect.left, y), columns * 4);
  }
  ++frames_;
  return Status::kOk;
}

GifRecorder::Status GifRecorder::Finish(PixelSurface& surface) {
  if (gif_ == nullptr) {
    return Fail(Status::kFileError, "no recording");
  }
  if (frames_ == 0) {
    if (const Status status = AddFrame(surface); status != Status::kOk) {
      return status;
    }
  }
  int error = 0;
  // Writes the trailer through Write() and frees the encoder, in any case.
  const int closed = EGifCloseFile(gif_, &error);
  gif_ = nullptr;
  if (closed == GIF_ERROR || !failure_.empty()) {
    return Fail(Status::kFileError, failure_.empty() ? GifErrorString(error) : failure_);
  }
  if (const std::error_code commit = file_.Commit()) {
    return Fail(Status::kFileError, commit.message());
  }
  previous_ = {};
  indices_ = {};
  return Status::kOk;
}

void GifRecorder::Discard() {
  file_.Discard();
  if (gif_ != nullptr) {
    GifFileType* gif = gif_;
    gif_ = nullptr;  // first, so that Write() ignores the trailer
    EGifCloseFile(gif, nullptr);
  }
  previous_ = {};
  indices_ = {};
}

}  // namespace kelvarin
