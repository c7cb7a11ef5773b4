// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/LevelPyramid.h"

#include <algorithm>

namespace brelo {

TLevelPyramid::TLevelPyramid(const TLevelPlan& plan, const std::uint8_t background[3], TTileSink sink)
    : plan_(plan), sink_(std::move(sink)), levels_(plan.Levels.size()) {
  std::copy_n(background, 3, background_);
  for (std::size_t l = 1; l < levels_.size(); ++l) levels_[l].Ratio = plan.Levels[l].Factor / plan.Levels[l - 1].Factor;
}

void TLevelPyramid::BeginStrip(int x, int width) {
  const std::size_t tile = static_cast<std::size_t>(plan_.TileSize);
  for (std::size_t l = 0; l < levels_.size(); ++l) {
    TLevelState& s = levels_[l];
    const int f = plan_.Levels[l].Factor;
    s.X = x / f;
    s.Width = std::min(plan_.Levels[l].Grid.Width, (x + width + f - 1) / f) - s.X;
    s.BandTop = 0, s.Filled = 0, s.Summed = 0;
    s.Rgb.assign(tile * s.Width * 3, 0);
    s.Cover.assign(tile * s.Width, 0);
    s.Sums.assign(static_cast<std::size_t>(s.Width) * 4, 0);
  }
  rgbRow_.resize(static_cast<std::size_t>(levels_[0].Width) * 3);
  coverRow_.resize(static_cast<std::size_t>(levels_[0].Width));
}

void TLevelPyramid::AddRows(const std::uint8_t* rgba, int rows) {
  const int width = levels_[0].Width;
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* in = rgba + static_cast<std::size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x) {
      const unsigned a = in[x * 4 + 3];
      for (int c = 0; c < 3; ++c)
        rgbRow_[static_cast<std::size_t>(x) * 3 + c] =
            static_cast<std::uint8_t>((in[x * 4 + c] * a + background_[c] * (255 - a) + 127) / 255);
      coverRow_[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(a);
    }
    AddRow(0, rgbRow_.data(), coverRow_.data());
  }
}

void TLevelPyramid::AddRow(std::size_t level, const std::uint8_t* rgb, const std::uint8_t* cover) {
  TLevelState& s = levels_[level];
  std::copy_n(rgb, static_cast<std::size_t>(s.Width) * 3,
              s.Rgb.data() + static_cast<std::size_t>(s.Filled) * s.Width * 3);
  std::copy_n(cover, static_cast<std::size_t>(s.Width), s.Cover.data() + static_cast<std::size_t>(s.Filled) * s.Width);
  ++s.Filled;
  if (level + 1 < levels_.size()) SumRow(level + 1, rgb, cover, s.Width);
  if (s.Filled == plan_.TileSize) EmitBand(level);
}

void TLevelPyramid::SumRow(std::size_t level, const std::uint8_t* rgb, const std::uint8_t* cover, int width) {
  TLevelState& s = levels_[level];
  const int r = s.Ratio;
  for (int x = 0; x < width; ++x) {
    std::uint32_t* sum = s.Sums.data() + static_cast<std::size_t>(x / r) * 4;
    sum[0] += rgb[x * 3], sum[1] += rgb[x * 3 + 1], sum[2] += rgb[x * 3 + 2], sum[3] += cover[x];
  }
  if (++s.Summed == r) EmitAverage(level);
}

// One row of the level from the sums of Ratio rows of the level before; pixels past that
// level's edge (right or bottom) count as background with no cover.
void TLevelPyramid::EmitAverage(std::size_t level) {
  TLevelState& s = levels_[level];
  const TLevelState& before = levels_[level - 1];
  const int r = s.Ratio;
  const std::uint32_t area = std::uint32_t(r) * r;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(s.Width) * 3), cover(static_cast<std::size_t>(s.Width));
  for (int x = 0; x < s.Width; ++x) {
    const int columns = std::min(r, before.Width - x * r);
    const std::uint32_t missing = area - std::uint32_t(columns) * s.Summed;
    std::uint32_t* sum = s.Sums.data() + static_cast<std::size_t>(x) * 4;
    for (int c = 0; c < 3; ++c)
      rgb[static_cast<std::size_t>(x) * 3 + c] =
          static_cast<std::uint8_t>((sum[c] + missing * background_[c] + area / 2) / area);
    cover[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((sum[3] + area / 2) / area);
    // A pixel with any cover stays covered: a thin strip of the source is not lost.
    if (sum[3] && !cover[static_cast<std::size_t>(x)]) cover[static_cast<std::size_t>(x)] = 1;
  }
  std::fill(s.Sums.begin(), s.Sums.end(), 0u);
  s.Summed = 0;
  AddRow(level, rgb.data(), cover.data());
}

void TLevelPyramid::EmitBand(std::size_t level) {
  TLevelState& s = levels_[level];
  const int tile = plan_.TileSize;
  const int row = s.BandTop / tile;
  const int height = s.Filled;
  for (int tx = 0; tx < s.Width; tx += tile) {
    const int width = std::min(tile, s.Width - tx);
    bool covered = false;
    for (int y = 0; y < height && !covered; ++y) {
      const std::uint8_t* c = s.Cover.data() + static_cast<std::size_t>(y) * s.Width + tx;
      covered = std::any_of(c, c + width, [](std::uint8_t v) { return v != 0; });
    }
    if (!covered) continue;
    TPixelBuffer out(width, height, 3);
    for (int y = 0; y < height; ++y)
      std::copy_n(s.Rgb.data() + (static_cast<std::size_t>(y) * s.Width + tx) * 3, static_cast<std::size_t>(width) * 3,
                  out.Row(y));
    sink_(static_cast<int>(level), (s.X + tx) / tile, row, std::move(out));
  }
  s.BandTop += s.Filled;
  s.Filled = 0;
}

void TLevelPyramid::EndStrip() {
  for (std::size_t l = 0; l < levels_.size(); ++l) {
    TLevelState& s = levels_[l];
    // A partial average first: it adds a row to this level's band.
    if (l > 0 && s.Summed > 0) EmitAverage(l);
    if (s.Filled > 0) EmitBand(l);
  }
}

}  // namespace brelo
