#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/window_metrics.h"
#include "shell/win32/saver_arguments.h"
#include "shell/win32/saver_settings.h"

namespace kelvarin {
namespace {

using Mode = SaverArguments::Mode;

SaverArguments Parse(std::vector<std::string_view> args) { return ParseSaverArguments(args); }

TEST(SaverArguments, TheThreeRequestsInEveryWindowsSpelling) {
  EXPECT_EQ(Parse({}).mode, Mode::Settings);
  for (const std::string_view run : {"/s", "/S", "-s", "-S"}) {
    EXPECT_EQ(Parse({run}).mode, Mode::Run) << run;
  }
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"/p", "1234"}, {"/P:1234"}, {"-p", "1234"}, {"-P:0x4d2"}}) {
    const SaverArguments preview = Parse(args);
    EXPECT_EQ(preview.mode, Mode::Preview) << args[0];
    EXPECT_EQ(preview.window, 1234UL) << args[0];
  }
  EXPECT_EQ(Parse({"/c"}).mode, Mode::Settings);
  EXPECT_FALSE(Parse({"/c"}).window);
  EXPECT_EQ(Parse({"/C:65538"}).window, 65538UL);
  EXPECT_EQ(Parse({"-c", "65538"}).window, 65538UL);
  EXPECT_EQ(Parse({"/p", "4294967295"}).window, 4294967295UL);
}

TEST(SaverArguments, AnythingElseIsOneError) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"/p"},                 // no handle
           {"/p:"},                // an empty one
           {"/p", "12x"},          // not a number
           {"/p", "-12"},          // a sign
           {"/p", "4294967296"},   // more than 32 bits
           {"/p", "12", "/s"},     // more after it
           {"/c:abc"},             // settings with a bad owner
           {"/s", "extra"},        // run takes nothing
           {"/s:12"},              //
           {"/a"},                 // the password request of old systems
           {"/sx"},                // more letters
           {"s"},                  // no / or -
           {"/"},                  //
           {"--script", "x.kvs"},  // kelvarin.exe's options are not the screensaver's
       }) {
    const SaverArguments parsed = Parse(args);
    EXPECT_EQ(parsed.mode, Mode::Error) << args[0];
    EXPECT_FALSE(parsed.error.empty()) << args[0];
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << args[0];
  }
}

TEST(SaverSettings, OnlyAStoredOneIsOneBattleAcrossAllScreens) {
  EXPECT_EQ(ScreensFromStored(1), Screens::Across);
  // Nothing stored (or not a REG_DWORD), the other choice, and values that
  // mean nothing are all a battle on each screen.
  for (const std::optional<std::uint32_t> other :
       {std::optional<std::uint32_t>(), std::optional<std::uint32_t>(0),
        std::optional<std::uint32_t>(2), std::optional<std::uint32_t>(0x101),
        std::optional<std::uint32_t>(0xFFFFFFFF)}) {
    EXPECT_EQ(ScreensFromStored(other), Screens::Each) << other.value_or(12345);
  }
}

TEST(WindowMetrics, At96DpiTheDevicePixelsAreThePixels) {
  EXPECT_EQ(MinOuterPixels(kStandardDpi), MinOuterPixels());
  EXPECT_EQ(ScaleToDpi(kInitialClientWidth, kStandardDpi), kInitialClientWidth);
  EXPECT_EQ(SurfaceBorder(kStandardDpi), kSurfaceBorder);
  for (int w = 0; w <= 3000; w += 7) {
    for (const int h : {0, 10, 133, 597, 1080}) {
      const PixelSize outer{w, h};
      EXPECT_EQ(SnapOuterSize(outer, kStandardDpi), SnapOuterSize(outer));
      EXPECT_EQ(SurfaceSizeForOuter(outer, kStandardDpi), SurfaceSizeForOuter(outer));
      EXPECT_EQ(InnerSizeForSurface(outer, kStandardDpi), InnerSizeForSurface(outer));
    }
  }
}

TEST(WindowMetrics, ScaleWithTheDensity) {
  // 150 %: 713 x 597 becomes 1070 x 896 (halves away from zero), the inset
  // 12 and the border 3; 2000 twips are 200 pixels.
  EXPECT_EQ(ScaleToDpi(kInitialClientWidth, 144), 1070);
  EXPECT_EQ(ScaleToDpi(kInitialClientHeight, 144), 896);
  EXPECT_EQ(ScaleToDpi(kSurfaceLeft, 144), 12);
  EXPECT_EQ(SurfaceBorder(144), 3);
  EXPECT_EQ(MinOuterPixels(144), 200);
  EXPECT_EQ(SnapOuterSize({150, 900}, 144), (PixelSize{200, 900}));
  // 350 and 650 twips are 35 and 65 pixels at 144 dpi.
  EXPECT_EQ(SurfaceSizeForOuter({1000, 800}, 144), (PixelSize{965, 735}));
  EXPECT_EQ(InnerSizeForSurface({965, 735}, 144), (PixelSize{959, 729}));
  // 200 %: everything doubles.
  EXPECT_EQ(SurfaceSizeForOuter({1454, 1268}, 192), (PixelSize{1454 - 47, 1268 - 87}));
  EXPECT_EQ(InnerSizeForSurface({10, 10}, 192), (PixelSize{2, 2}));
  EXPECT_EQ(InnerSizeForSurface({4, 4}, 192), (PixelSize{1, 1}));
}

}  // namespace
}  // namespace kelvarin
