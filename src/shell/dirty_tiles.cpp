#include "shell/dirty_tiles.h"

#include <algorithm>

namespace kelvarin::raster {

void DirtyTiles::Reset(int width, int height, int tileSide) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  side_ = std::max(1, tileSide);
  columns_ = (width_ + side_ - 1) / side_;
  rows_ = (height_ + side_ - 1) / side_;
  // The old grid goes first, so a re-fit never holds both.
  marked_ = {};
  marked_.assign(static_cast<std::size_t>(columns_) * rows_, 0);
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
  const int c0 = left / side_;
  const int c1 = right / side_;
  for (int r = top / side_; r <= bottom / side_; ++r) {
    std::uint8_t* row = marked_.data() + static_cast<std::size_t>(r) * columns_;
    for (int c = c0; c <= c1; ++c) {
      row[c] = 1;
    }
  }
}

void DirtyTiles::MarkAll() { Mark({0, 0, width_ - 1, height_ - 1}); }

void DirtyTiles::TakeRects(std::vector<PixelRect>& out) {
  out.clear();
  if (bounds_.empty()) {
    return;
  }
  // Only the tiles inside the bounding box can be marked.
  const int c0 = bounds_.left / side_;
  const int c1 = bounds_.right / side_;
  for (int r = bounds_.top / side_; r <= bounds_.bottom / side_; ++r) {
    std::uint8_t* row = marked_.data() + static_cast<std::size_t>(r) * columns_;
    const int y = r * side_;
    const int h = std::min(side_, height_ - y);
    for (int c = c0; c <= c1; ++c) {
      if (row[c] == 0) {
        continue;
      }
      const int first = c;
      while (c + 1 <= c1 && row[c + 1] != 0) {
        ++c;
      }
      std::fill(row + first, row + c + 1, std::uint8_t{0});
      const int x = first * side_;
      out.push_back({x, y, std::min((c + 1) * side_, width_) - x, h});
    }
  }
  bounds_ = {};
}

void DirtyTiles::Clear() {
  if (bounds_.empty()) {
    return;
  }
  for (int r = bounds_.top / side_; r <= bounds_.bottom / side_; ++r) {
    std::uint8_t* row = marked_.data() + static_cast<std::size_t>(r) * columns_;
    std::fill(row + bounds_.left / side_, row + bounds_.right / side_ + 1, std::uint8_t{0});
  }
  bounds_ = {};
}

}  // namespace kelvarin::raster
