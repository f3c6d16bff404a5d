// Recordings: `gif FILE` / `gif stop` in scripts and `kelvarin --gif`, decoded
// with giflib and checked against `png` pictures of the same ticks.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "picture_files/picture_files.h"
#include "picture_files/record_battle.h"
#include "runner/script_runner.h"
#include "runner/stream_io.h"
#include "temp_dir.h"

namespace kelvarin {
namespace {

// A recording as a viewer shows it: every frame drawn over the previous one.
struct Decoded {
  std::string version;
  QSize size;
  bool loopsForever = false;
  std::vector<QImage> frames;
  std::vector<QRect> rects;
  std::vector<bool> localPalette;
  std::vector<int> delays;
  std::vector<int> disposals;
};

Decoded Decode(const std::string& path) {
  Decoded d;
  d.version = test::TempDir::Read(path).substr(0, 6);

  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) {
    ADD_FAILURE() << path << ": " << GifErrorString(error);
    return d;
  }
  EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
  d.size = QSize(gif->SWidth, gif->SHeight);
  QImage picture(d.size, QImage::Format_RGB32);
  picture.fill(Qt::black);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
      if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
          std::string(reinterpret_cast<char*>(block.Bytes), 11) == "NETSCAPE2.0" &&
          data.ByteCount == 3 && data.Bytes[0] == 1) {
        d.loopsForever = data.Bytes[1] == 0 && data.Bytes[2] == 0;
      }
    }
    GraphicsControlBlock control{};
    EXPECT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
    d.delays.push_back(control.DelayTime);
    d.disposals.push_back(control.DisposalMode);

    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    d.rects.emplace_back(desc.Left, desc.Top, desc.Width, desc.Height);
    d.localPalette.push_back(desc.ColorMap != nullptr);
    for (int y = 0; y < desc.Height; ++y) {
      for (int x = 0; x < desc.Width; ++x) {
        const GifColorType c = map->Colors[image.RasterBits[y * desc.Width + x]];
        picture.setPixel(desc.Left + x, desc.Top + y, qRgb(c.Red, c.Green, c.Blue));
      }
    }
    d.frames.push_back(picture.copy());
  }
  DGifCloseFile(gif, &error);
  return d;
}

// The bounds of the pixels that differ between two pictures; empty if none.
QRect Changed(const QImage& a, const QImage& b) {
  QRect bounds;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) {
        bounds |= QRect(x, y, 1, 1);
      }
    }
  }
  return bounds;
}

QImage Png(const std::string& path) {
  return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
}

class GifTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }

  // Runs a script inside the test's folder; $ stands for that folder.
  int Run(std::string script, ScriptOptions options = {}) {
    options.pictures = &PictureFiles();
    for (std::size_t at = script.find('$'); at != std::string::npos; at = script.find('$')) {
      script.replace(at, 1, dir_.path());
    }
    std::istringstream in(script);
    std::ostringstream out;
    err_.str("");
    return RunScript(in, out, err_, options);
  }
  std::string err() const { return err_.str(); }

  // Nothing but `keep` in the folder: no temporary file, no partial file.
  void ExpectOnly(const std::vector<std::string>& keep) const { EXPECT_EQ(dir_.Names(), keep); }

 private:
  test::TempDir dir_;
  std::ostringstream err_;
};

TEST_F(GifTest, FramesAreThePicturesOfTheirTicksStoringOnlyWhatChanged) {
  ASSERT_EQ(Run("surface 200 150\nseed 3\ntick 150\ngif $/a.gif\n"
                "tick 5\npng $/5.png\ntick 20\npng $/25.png\n"
                "click 100 100\ntick 15\npng $/40.png\ngif stop\n"),
            0)
      << err();
  const Decoded d = Decode(Path("a.gif"));
  EXPECT_EQ(d.version, "GIF89a");
  EXPECT_EQ(d.size, QSize(200, 150));
  EXPECT_TRUE(d.loopsForever);
  ASSERT_EQ(d.frames.size(), 40U);
  EXPECT_EQ(d.delays, std::vector<int>(40, 4));
  EXPECT_EQ(d.disposals, std::vector<int>(40, DISPOSE_DO_NOT));
  EXPECT_EQ(d.frames[4], Png(Path("5.png")));
  EXPECT_EQ(d.frames[24], Png(Path("25.png")));
  EXPECT_EQ(d.frames[39], Png(Path("40.png")));

  // The first frame is whole; each later one is the bounds of its change, or
  // one pixel when nothing changed.
  EXPECT_EQ(d.rects[0], QRect(0, 0, 200, 150));
  int partial = 0;
  for (std::size_t i = 1; i < d.frames.size(); ++i) {
    const QRect changed = Changed(d.frames[i - 1], d.frames[i]);
    EXPECT_EQ(d.rects[i], changed.isEmpty() ? QRect(0, 0, 1, 1) : changed) << "frame " << i;
    partial += d.rects[i].width() * d.rects[i].height() < 200 * 150 ? 1 : 0;
  }
  EXPECT_GT(partial, 0);
  EXPECT_EQ(std::count(d.localPalette.begin(), d.localPalette.end(), true), 0);
}

TEST_F(GifTest, OddColoursGetAPaletteOfTheirOwnUpTo256) {
  // A particle of life 71 is drawn at 70, in a shade no battle draws; the
  // frames after it use the global palette again.
  ASSERT_EQ(Run("surface 64 48\ngif $/a.gif\npart 0 x=400 y=100 life=71\ntick\npng $/1.png\n"
                "tick 3\npng $/4.png\n"),
            0)
      << err();
  const Decoded d = Decode(Path("a.gif"));
  ASSERT_EQ(d.frames.size(), 4U);
  EXPECT_EQ(d.localPalette, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(d.frames[0], Png(Path("1.png")));
  EXPECT_EQ(d.frames[3], Png(Path("4.png")));

  // A shade of its own in the second frame only: it then leaves the picture.
  ASSERT_EQ(Run("surface 64 48\ngif $/b.gif\npart 0 x=400 y=100 life=2\ntick\n"
                "part 1 x=100 y=598 life=51.5\ntick 2\n"),
            0);
  EXPECT_EQ(Decode(Path("b.gif")).localPalette, (std::vector<bool>{false, true, false}));

  // N particles in N shades on black (a shade holds between two quarters of
  // a life, or from a quarter past to a quarter before a whole life): 255
  // fit in one palette, 256 do not.
  const auto shades = [](int n, const std::string& name) {
    std::string script = "gif $/" + name + "\n";
    constexpr double kStretches[] = {0.375, 0.625, 1.0};
    for (int i = 0; i < n; ++i) {
      script += "part " + std::to_string(i) + " x=" + std::to_string(2 + i * 2.6) +
                " y=300 life=" + std::to_string(1 + i / 3 + kStretches[i % 3]) + "\n";
    }
    return script + "tick\npng $/" + name + ".png\n";
  };
  ASSERT_EQ(Run(shades(255, "c.gif")), 0) << err();
  EXPECT_EQ(Decode(Path("c.gif")).frames.at(0), Png(Path("c.gif.png")));
  EXPECT_EQ(Run(shades(256, "d.gif")), 2);
  EXPECT_EQ(err(),
            "error: line 258: a frame of '" + Path("d.gif") + "' needs more than 256 colours\n");
  ExpectOnly({"1.png", "4.png", "a.gif", "b.gif", "c.gif", "c.gif.png"});
}

TEST_F(GifTest, ScriptErrorsAndRunsThatFailLeaveNoFile) {
  EXPECT_EQ(Run("gif $/a.gif\ngif $/b.gif\n"), 2);
  EXPECT_EQ(err(), "error: line 2: a gif is already being recorded to '" + Path("a.gif") +
                       "' ('gif stop' ends it)\n");
  EXPECT_EQ(Run("gif stop\n"), 2);
  EXPECT_EQ(err(), "error: line 1: 'gif stop' with no gif being recorded\n");
  EXPECT_EQ(Run("gif $/a.gif\ntick\nsurface 100 100\n"), 2);
  EXPECT_EQ(err(),
            "error: line 3: the surface keeps its size while a gif is recorded ('gif stop' ends "
            "it)\n");
  EXPECT_EQ(Run("gif $/a.gif\ntick\nrandom 0.5\nclick 1 1\n"), 3);
  EXPECT_EQ(Run("gif $/a.gif\ntick\nrandom-file $/missing\n"), 1);
  ExpectOnly({});

  EXPECT_EQ(Run("gif $/no/such/folder.gif\n"), 1);
  EXPECT_EQ(err(), "error: " + Path("no/such/folder.gif") + ": No such file or directory\n");
  EXPECT_EQ(Run("gif /dev/full\ntick\ngif stop\n"), 1);
  EXPECT_EQ(err(), "error: /dev/full: No space left on device\n");
}

TEST_F(GifTest, StopEscapeAndTheEndOfTheScriptFinishARecording) {
  ASSERT_EQ(Run("gif $/stopped.gif\ntick 2\ngif stop\ntick\ngif $/escaped.gif\ntick 3\nkey 27\n"
                "tick\n"),
            0);
  ASSERT_EQ(Run("gif $/ended.gif\ntick 4\n"), 0);
  ScriptOptions inFolder;
  inFolder.scratchDir = Path("");
  ASSERT_EQ(Run("gif ./stop\ngif stop\n", inFolder), 0);
  EXPECT_EQ(Decode(Path("stopped.gif")).frames.size(), 2U);
  EXPECT_EQ(Decode(Path("escaped.gif")).frames.size(), 3U);
  EXPECT_EQ(Decode(Path("ended.gif")).frames.size(), 4U);
  // Without a tick the recording holds the one picture there is.
  EXPECT_EQ(Decode(Path("stop")).frames.size(), 1U);
}

TEST_F(GifTest, TheBattleRecordingIsTheScriptItStandsFor) {
  BattleRecording r;
  r.path = Path("cli.gif");
  ASSERT_TRUE(SetRecordingOption(r, "--seconds", "2"));
  ASSERT_TRUE(SetRecordingOption(r, "--seed", "11"));
  ASSERT_TRUE(SetRecordingOption(r, "--size", "96x72"));
  std::ostringstream err;
  ASSERT_EQ(RecordBattle(r, err), 0) << err.str();
  ASSERT_EQ(Run("surface 96 72\nseed 11\ntick 150\ngif $/script.gif\ntick 50\n"), 0);
  EXPECT_EQ(test::TempDir::Read(Path("cli.gif")), test::TempDir::Read(Path("script.gif")));
  EXPECT_EQ(Decode(Path("cli.gif")).frames.size(), 50U);

  for (const auto& [name, value] :
       std::vector<std::pair<std::string, std::string>>{{"--seconds", "601"},
                                                        {"--seconds", "1.5"},
                                                        {"--seed", "-1"},
                                                        {"--seed", "18446744073709551616"},
                                                        {"--size", "800x3841"},
                                                        {"--size", "800"},
                                                        {"--size", "800x600x2"},
                                                        {"--size", "x600"},
                                                        {"--bogus", "1"}}) {
    BattleRecording fresh;
    EXPECT_FALSE(SetRecordingOption(fresh, name, value)) << name << ' ' << value;
  }
  EXPECT_TRUE(SetRecordingOption(r = {}, "--size", "3840x16"));
  EXPECT_TRUE(SetRecordingOption(r, "--seed", "18446744073709551615"));
}

}  // namespace
}  // namespace kelvarin
