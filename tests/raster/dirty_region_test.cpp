// The parts of the picture a window must repaint after drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <random>

#include "shell/image_surface.h"

namespace kelvarin {
namespace {

constexpr Rgb kWhite{255, 255, 255};

// Every pixel that is not black lies inside the region.
bool CoversLit(const QImage& image, const QRegion& region) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0 && !region.contains(QPoint(x, y))) return false;
    }
  }
  return true;
}

TEST(DirtyRegion, NewClearedAndResizedPicturesAreWhollyDirty) {
  ImageSurface surface(100, 70);
  EXPECT_EQ(surface.TakeDirty(), QRect(0, 0, 100, 70));
  EXPECT_TRUE(surface.TakeDirty().isEmpty());
  surface.Cls();
  EXPECT_EQ(surface.TakeDirty(), QRect(0, 0, 100, 70));
  surface.Resize(40, 33);
  EXPECT_EQ(surface.TakeDirty(), QRect(0, 0, 40, 33));
}

TEST(DirtyRegion, IsTheBoundsOfWhatWasLitAndNothingOffThePicture) {
  ImageSurface surface(800, 600);
  surface.TakeDirty();
  surface.Line(10, 10, 14, 12, kWhite);
  EXPECT_EQ(surface.TakeDirty(), QRect(QPoint(10, 10), QPoint(14, 12)));
  surface.Line(-50, -50, -10, -20, kWhite);  // wholly off the picture
  EXPECT_TRUE(surface.TakeDirty().isEmpty());
}

TEST(DirtyRegion, CoversEverythingDrawnAndNothingOutside) {
  std::mt19937 gen(3);
  std::uniform_real_distribution<float> x(-100, 900);
  std::uniform_real_distribution<float> y(-100, 700);
  std::uniform_real_distribution<float> r(0, 60);
  ImageSurface surface(333, 257);
  for (int round = 0; round < 20; ++round) {
    surface.Cls();
    surface.TakeDirty();
    for (int n = 0; n < 15; ++n) {
      surface.Line(x(gen), y(gen), x(gen), y(gen), kWhite);
    }
    surface.Circle(x(gen), y(gen), r(gen), kWhite);
    const QRect rect = surface.TakeDirty();
    ASSERT_TRUE(CoversLit(surface.image(), QRegion(rect)));
    ASSERT_TRUE(surface.image().rect().contains(rect));
  }
}

}  // namespace
}  // namespace kelvarin
