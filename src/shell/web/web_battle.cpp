// The battle of the web page: the core behind the few functions that the
// page's script (page.js) calls. The page owns the clock, the canvas and the
// input events; this side runs the ticks, keeps the picture and hands over
// what changed in the form a canvas takes (RGBA bytes).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/battle.h"
#include "picture/dirty_tiles.h"
#include "picture/raster.h"

namespace kelvarin {
namespace {

// The page's one battle, and what its canvas has yet to take: the ticks may
// run faster than the page paints.
struct Page final : Screen {
  Battle battle{Battle::Pixels::Own};
  std::uint64_t seed = 0;
  // The tiles drawn on since the canvas last took what changed.
  raster::DirtyTiles changed;
  // The picture as the canvas takes it: bytes R, G, B, A for each pixel,
  // brought up to date for the rectangles taken since the last paint.
  std::vector<std::uint32_t> rgba;
  std::vector<raster::PixelRect> rects;
  std::vector<std::int32_t> rectNumbers;  // x, y, width, height of each rect
  std::string text;                       // the last text handed out

  void EndDrawing(std::span<const raster::PixelRect> tiles) override {
    for (const raster::PixelRect& r : tiles) {
      changed.Mark({r.x, r.y, r.x + r.width - 1, r.y + r.height - 1});
    }
  }
};

Page& ThePage() {
  static Page page;
  return page;
}

// The resize rule: a new black picture, all of it for the canvas to take.
void Fit(int width, int height) {
  Page& p = ThePage();
  p.battle.Resize(width, height);
  const PixelSurface& surface = p.battle.surface();
  p.changed.Reset(surface.width(), surface.height());
  p.battle.Show(p);
  p.rgba.assign(static_cast<std::size_t>(surface.width()) * surface.height(), 0);
}

// 0xFFRRGGBB as the bytes R, G, B, A of a little-endian word.
std::uint32_t CanvasPixel(std::uint32_t pixel) {
  return (pixel & 0xFF00FF00U) | (pixel & 0xFFU) << 16 | (pixel >> 16 & 0xFFU);
}

void Append(std::string& out, const char* name, long long value) {
  out += '"';
  out += name;
  out += "\":";
  out += std::to_string(value);
  out += ',';
}

}  // namespace
}  // namespace kelvarin

// The functions the page calls.
using namespace kelvarin;

extern "C" {

// The seed of the battle to start: the 64 bits as two halves.
EMSCRIPTEN_KEEPALIVE void kv_seed(std::uint32_t high, std::uint32_t low) {
  ThePage().seed = static_cast<std::uint64_t>(high) << 32 | low;
}

// The seed drawn from the time of day, as the ambient modes draw it.
EMSCRIPTEN_KEEPALIVE void kv_seed_from_time(double secondsSinceMidnight) {
  ThePage().seed = BuiltinRandom::SeedForTimeOfDay(secondsSinceMidnight);
}

// The seed in decimal.
EMSCRIPTEN_KEEPALIVE const char* kv_seed_text() {
  Page& p = ThePage();
  p.text = std::to_string(p.seed);
  return p.text.c_str();
}

// A black picture of width x height pixels and the ambient start on the seed:
// the first battle arrives at the end of the fourth tick.
EMSCRIPTEN_KEEPALIVE void kv_start(int width, int height) {
  Page& p = ThePage();
  Fit(width, height);
  p.battle.StartAmbientFromSeed(p.seed);
}

// Runs `count` ticks.
EMSCRIPTEN_KEEPALIVE void kv_tick(int count) {
  Page& p = ThePage();
  for (int i = 0; i < count; ++i) {
    p.battle.Tick(p);
  }
}

// The resize rule: a new black picture at the new size.
EMSCRIPTEN_KEEPALIVE void kv_resize(int width, int height) { Fit(width, height); }

// A button (1 left, 2 right, 4 middle) went down at (x, y) on a canvas shown
// width x height (CSS pixels): the point in the 800 x 600 logical space, as
// the window maps it.
EMSCRIPTEN_KEEPALIVE void kv_click(int button, double x, double y, double width, double height,
                                   double secondsSinceMidnight) {
  ThePage().battle.Press(button, x, y, width, height, secondsSinceMidnight);
}

// A key went down (13 Enter, 27 Escape): 1 when it ends the battle.
EMSCRIPTEN_KEEPALIVE int kv_key(int code) { return ThePage().battle.Key(code) ? 1 : 0; }

// Takes what was drawn since the last call: brings those rectangles of the
// RGBA picture up to date and gives their number (see kv_rects).
EMSCRIPTEN_KEEPALIVE int kv_take_dirty() {
  Page& p = ThePage();
  p.changed.TakeRects(p.rects);
  p.rectNumbers.clear();
  const raster::PixelBuffer pixels = p.battle.surface().pixels();
  for (const raster::PixelRect& r : p.rects) {
    for (int y = r.y; y < r.y + r.height; ++y) {
      const std::uint32_t* from = pixels.bits + static_cast<std::size_t>(y) * pixels.stride + r.x;
      std::uint32_t* to = p.rgba.data() + static_cast<std::size_t>(y) * pixels.width + r.x;
      std::transform(from, from + r.width, to, CanvasPixel);
    }
    p.rectNumbers.insert(p.rectNumbers.end(), {r.x, r.y, r.width, r.height});
  }
  return static_cast<int>(p.rects.size());
}

// The rectangles of the last kv_take_dirty, four numbers each.
EMSCRIPTEN_KEEPALIVE const std::int32_t* kv_rects() { return ThePage().rectNumbers.data(); }

// The RGBA picture: width x height x 4 bytes, rows one after the other.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* kv_rgba() { return ThePage().rgba.data(); }

// The battle for the page's tests, as JSON: the ticks run, the scalars and
// every live ship.
EMSCRIPTEN_KEEPALIVE const char* kv_state() {
  Page& p = ThePage();
  const BattleState& s = p.battle.state();
  std::string& out = p.text;
  out = "{";
  Append(out, "ticks", static_cast<long long>(p.battle.ticks()));
  Append(out, "width", p.battle.surface().width());
  Append(out, "height", p.battle.surface().height());
  Append(out, "nextTeam", s.NextTeam);
  Append(out, "purge", s.PurgeFlag);
  Append(out, "idleTicks", s.IdleTicks);
  out += "\"ships\":[";
  for (int i = 0; i < kShipSlots; ++i) {
    if (s.ShipHealth[i] > 0) {
      out += '{';
      Append(out, "slot", i);
      Append(out, "team", s.ShipTeam[i]);
      Append(out, "size", s.ShipSize[i]);
      Append(out, "health", s.ShipHealth[i]);
      out += "\"x\":" + std::to_string(s.ShipX[i]) + ",\"y\":" + std::to_string(s.ShipY[i]) + "},";
    }
  }
  if (out.back() == ',') {
    out.pop_back();
  }
  out += "]}";
  return out.c_str();
}

}  // extern "C"
