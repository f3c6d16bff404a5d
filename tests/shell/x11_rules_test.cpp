#include <gtest/gtest.h>

#include <vector>

#include "shell/x11/hosted_battle.h"

namespace kelvarin {
namespace {

using raster::PixelRect;
using Rects = std::vector<PixelRect>;

// Which rectangles of the root's picture get a battle of their own.
TEST(MonitorAreas, EachMonitorInsideThePictureOnceElseTheWholePicture) {
  const PixelRect whole{0, 0, 2304, 1024};
  const Rects sideBySide{{0, 0, 1280, 1024}, {1280, 0, 1024, 768}};
  EXPECT_EQ(MonitorAreas(sideBySide, whole), sideBySide);
  // Clipped to the picture; nothing left of one wholly outside it.
  EXPECT_EQ(
      MonitorAreas(Rects{{-100, 0, 1380, 1024}, {2000, 500, 800, 800}, {2304, 0, 10, 10}}, whole),
      (Rects{{0, 0, 1280, 1024}, {2000, 500, 304, 524}}));
  // A monitor showing a place another one before it shows is left out.
  EXPECT_EQ(
      MonitorAreas(
          Rects{
              {0, 0, 1280, 1024}, {0, 0, 1280, 1024}, {1000, 0, 1304, 1024}, {1280, 0, 1024, 768}},
          whole),
      sideBySide);
  EXPECT_EQ(MonitorAreas(Rects{}, whole), Rects{whole});
  EXPECT_EQ(MonitorAreas(Rects{{0, 0, 0, 1024}}, whole), Rects{whole});
}

}  // namespace
}  // namespace kelvarin
