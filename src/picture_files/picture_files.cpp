#include "picture_files/picture_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <system_error>

#include "picture/pixel_surface.h"
#include "picture_files/atomic_file.h"
#include "picture_files/gif_recorder.h"

namespace kelvarin {
namespace {

class Files final : public PictureOutput {
 public:
  std::string WritePng(const std::string& path, const PixelSurface& surface) const override {
    const raster::PixelBuffer p = surface.pixels();
    if (p.bits == nullptr) {
      return "there is no picture to write";
    }
    // The surface's own pixels, read in place.
    const QImage image(reinterpret_cast<const uchar*>(p.bits), p.width, p.height,
                       static_cast<qsizetype>(p.stride) * 4, QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
      return "cannot encode the picture as PNG";
    }
    const std::error_code error =
        WriteFileAtomically(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return error ? error.message() : std::string();
  }

  std::unique_ptr<PictureRecorder> NewRecorder() const override {
    return std::make_unique<GifRecorder>();
  }
};

}  // namespace

const PictureOutput& PictureFiles() {
  static const Files files;
  return files;
}

}  // namespace kelvarin
