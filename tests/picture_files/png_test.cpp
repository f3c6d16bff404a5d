// The `png` line through the picture files of the Linux build.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "picture_files/picture_files.h"
#include "runner/script_runner.h"
#include "runner/stream_io.h"
#include "temp_dir.h"

namespace kelvarin {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunText(std::string_view script, ScriptOptions options = {}) {
  options.pictures = &PictureFiles();
  std::istringstream in{std::string(script)};
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunScript(in, out, err, options);
  return {status, out.str(), err.str()};
}

// The number of pixels of a PNG file that are not black; -1 if it is not
// a PNG file of the given size.
int LitPixelsOfPng(const std::string& file, QSize size) {
  QImage image;
  if (!image.load(QString::fromStdString(file), "PNG") || image.size() != size) return -1;
  int lit = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      lit += image.pixelColor(x, y) != QColor(Qt::black) ? 1 : 0;
    }
  }
  return lit;
}

TEST(ScriptPng, WritesThePictureAtTheSurfaceSizeWhichAResizeClears) {
  TempDir dir;
  const std::string drawn = dir.File("drawn.png");
  const std::string cleared = dir.File("cleared.png");
  const Outcome r = RunText(
      "surface 200 100\nship 0 x=400 y=300 heading=1.5 size=5 health=36 team=1 target=0\n"
      "tick\npng " +
      drawn + "\nsurface 16 16\npng " + cleared + "\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_GT(LitPixelsOfPng(drawn, QSize(200, 100)), 0);
  EXPECT_EQ(LitPixelsOfPng(cleared, QSize(16, 16)), 0);
}

TEST(ScriptPng, UnwritablePathIsAFileError) {
  const Outcome r = RunText("png /nonexistent/dir/out.png\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: /nonexistent/dir/out.png: No such file or directory\n");
}

TEST(ScriptOptionsTest, FilesCanBeDisabledOrConfined) {
  TempDir dir;
  ScriptOptions noFiles;
  noFiles.allowFiles = false;
  const Outcome off = RunText("png " + dir.path() + "/a.png\n", noFiles);
  EXPECT_EQ(off.status, 1);
  EXPECT_FALSE(fs::exists(dir.path() + "/a.png"));

  ScriptOptions confined;
  confined.scratchDir = dir.path();
  EXPECT_EQ(RunText("png ../../../../tmp/escape.png\n", confined).status, 0);
  EXPECT_TRUE(fs::exists(dir.path() + "/escape.png"));
  EXPECT_EQ(RunText("png ..\n", confined).status, 1);
  EXPECT_EQ(RunText("png dir/\n", confined).status, 1);
}

}  // namespace
}  // namespace kelvarin
