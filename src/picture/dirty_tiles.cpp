#include "picture/dirty_tiles.h"

#include <algorithm>
#include <bit>

namespace kelvarin::raster {
namespace {

constexpr std::uint64_t kAll = ~std::uint64_t{0};

// Bits lo..hi (0 <= lo <= hi <= 63) set.
std::uint64_t Bits(int lo, int hi) { return (kAll >> (63 - hi)) & (kAll << lo); }

}  // namespace

void DirtyTiles::Reset(int width, int height, int tileShift) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  shift_ = std::clamp(tileShift, 0, 12);
  columns_ = ((width_ - 1) >> shift_) + 1;
  rows_ = ((height_ - 1) >> shift_) + 1;
  words_ = (columns_ + 63) / 64;
  // The old grid goes first, so a re-fit never holds both.
  marked_ = {};
  marked_.assign(static_cast<std::size_t>(words_) * rows_, 0);
  bounds_ = {};
}

void DirtyTiles::Mark(const PixelBounds& drawn) {
  // Clipped to the picture: a caller's bounds may reach beyond it.
  const int left = std::max(drawn.left, 0);
  const int top = std::max(drawn.top, 0);
  const int right = std::min(drawn.right, width_ - 1);
  const int bottom = std::min(drawn.bottom, height_ - 1);
  if (right < left || bottom < top) {
    return;
  }
  if (bounds_.empty()) {
    bounds_ = {left, top, right, bottom};
  } else {
    bounds_.left = std::min(bounds_.left, left);
    bounds_.top = std::min(bounds_.top, top);
    bounds_.right = std::max(bounds_.right, right);
    bounds_.bottom = std::max(bounds_.bottom, bottom);
  }
  const int c0 = left >> shift_;
  const int c1 = right >> shift_;
  const int w0 = c0 / 64;
  const int w1 = c1 / 64;
  for (int r = top >> shift_; r <= bottom >> shift_; ++r) {
    std::uint64_t* row = marked_.data() + static_cast<std::size_t>(r) * words_;
    if (w0 == w1) {
      row[w0] |= Bits(c0 % 64, c1 % 64);
      continue;
    }
    row[w0] |= Bits(c0 % 64, 63);
    for (int w = w0 + 1; w < w1; ++w) {
      row[w] = kAll;
    }
    row[w1] |= Bits(0, c1 % 64);
  }
}

void DirtyTiles::MarkAll() { Mark({0, 0, width_ - 1, height_ - 1}); }

void DirtyTiles::TakeRects(std::vector<PixelRect>& out) {
  out.clear();
  if (bounds_.empty()) {
    return;
  }
  // Only the tiles inside the bounding box can be marked.
  const int w0 = (bounds_.left >> shift_) / 64;
  const int w1 = (bounds_.right >> shift_) / 64;
  const int side = 1 << shift_;
  std::size_t bandStart = 0;  // the previous band's first rectangle
  for (int r = bounds_.top >> shift_; r <= bounds_.bottom >> shift_; ++r) {
    std::uint64_t* row = marked_.data() + static_cast<std::size_t>(r) * words_;
    const int y = r << shift_;
    const int h = std::min(side, height_ - y);
    const std::size_t rowStart = out.size();
    for (int w = w0; w <= w1; ++w) {
      std::uint64_t bits = row[w];
      row[w] = 0;
      while (bits != 0) {
        const int start = std::countr_zero(bits);
        const int length = std::countr_one(bits >> start);
        // Adding the run's lowest bit carries through the run, clearing it.
        bits &= bits + (std::uint64_t{1} << start);
        const int x = (w * 64 + start) << shift_;
        const int end = std::min((w * 64 + start + length) << shift_, width_);
        if (out.size() > rowStart && out.back().x + out.back().width == x) {
          out.back().width = end - out.back().x;  // a run across two words
        } else {
          out.push_back({x, y, end - x, h});
        }
      }
    }
    // A row whose runs are those of the band just above it joins that band.
    const std::size_t runs = out.size() - rowStart;
    if (runs > 0 && rowStart - bandStart == runs && out[bandStart].y + out[bandStart].height == y &&
        std::equal(out.begin() + static_cast<std::ptrdiff_t>(bandStart),
                   out.begin() + static_cast<std::ptrdiff_t>(rowStart),
                   out.begin() + static_cast<std::ptrdiff_t>(rowStart),
                   [](const PixelRect& a, const PixelRect& b) {
                     return a.x == b.x && a.width == b.width;
                   })) {
      out.resize(rowStart);
      for (std::size_t i = bandStart; i < rowStart; ++i) {
        out[i].height += h;
      }
    } else if (runs > 0) {
      bandStart = rowStart;
    }
  }
  bounds_ = {};
}

void DirtyTiles::Clear() {
  if (bounds_.empty()) {
    return;
  }
  for (int r = bounds_.top >> shift_; r <= bounds_.bottom >> shift_; ++r) {
    std::uint64_t* row = marked_.data() + static_cast<std::size_t>(r) * words_;
    std::fill(row + (bounds_.left >> shift_) / 64, row + (bounds_.right >> shift_) / 64 + 1,
              std::uint64_t{0});
  }
  bounds_ = {};
}

}  // namespace kelvarin::raster
