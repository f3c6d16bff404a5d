// One short line, the commonest drawing call: QPainter against the rasteriser.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "picture/raster.h"

namespace kelvarin::bench {
namespace {

// A ship's edge: about 8 pixels long, in varying directions.
constexpr double kEnds[8][4] = {{100, 100, 108, 103}, {108, 103, 101, 109}, {101, 109, 100, 100},
                                {300, 200, 297, 208}, {297, 208, 292, 201}, {292, 201, 300, 200},
                                {500, 400, 506, 406}, {506, 406, 500, 400}};

void BM_Line_QPainter(benchmark::State& state) {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  int n = 0;
  for (auto _ : state) {
    const auto& e = kEnds[n++ & 7];
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    QPen pen(QColor(200, 200, 200));
    pen.setWidth(0);
    painter.setPen(pen);
    painter.drawLine(QPointF(e[0], e[1]), QPointF(e[2], e[3]));
  }
}

void BM_Line_Raster(benchmark::State& state) {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  const raster::PixelBuffer buffer{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                                   image.height(), static_cast<int>(image.bytesPerLine() / 4)};
  int n = 0;
  for (auto _ : state) {
    const auto& e = kEnds[n++ & 7];
    benchmark::DoNotOptimize(raster::DrawLine(buffer, e[0], e[1], e[2], e[3], 0xFFC8C8C8));
  }
}

// From -1e5 to 1e5 across the image: the 600 lit pixels are the whole cost.
void BM_Line_Raster_HugeThroughImage(benchmark::State& state) {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  const raster::PixelBuffer buffer{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                                   image.height(), static_cast<int>(image.bytesPerLine() / 4)};
  for (auto _ : state) {
    benchmark::DoNotOptimize(raster::DrawLine(buffer, -1e5, -1e5 + 7, 1e5, 1e5 - 3, 0xFFC8C8C8));
  }
}

// From -1e5 to 1e5 just above the image: nothing to light, nothing to pay.
void BM_Line_Raster_HugePastImage(benchmark::State& state) {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  const raster::PixelBuffer buffer{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                                   image.height(), static_cast<int>(image.bytesPerLine() / 4)};
  for (auto _ : state) {
    benchmark::DoNotOptimize(raster::DrawLine(buffer, -1e5, -50, 1e5, -1, 0xFFC8C8C8));
  }
}

void BM_Circle_Raster(benchmark::State& state) {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  const raster::PixelBuffer buffer{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                                   image.height(), static_cast<int>(image.bytesPerLine() / 4)};
  for (auto _ : state) {
    benchmark::DoNotOptimize(raster::DrawCircle(buffer, 400.3, 300.6, 8.0, 0xFF000000));
  }
}

BENCHMARK(BM_Line_QPainter);
BENCHMARK(BM_Line_Raster);
BENCHMARK(BM_Line_Raster_HugeThroughImage);
BENCHMARK(BM_Line_Raster_HugePastImage);
BENCHMARK(BM_Circle_Raster);

}  // namespace
}  // namespace kelvarin::bench
