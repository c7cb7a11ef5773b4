// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The levels of a map made from rows of the most detailed one: each coarser level is the area
// average of the next finer one, built as the rows stream past, so memory holds a band of
// tile rows per level whatever the raster's size. The raster is worked in strips of columns
// that every level's tiles divide evenly; tiles with no covered pixel are left out.
#include <cstdint>
#include <functional>
#include <vector>

#include "MyJpeg/PixelBuffer.h"
#include "uMapCreation/LevelPlan.h"

namespace brelo {

// A finished tile: its level (0 the most detailed), column and row in that level's tile grid.
using TTileSink = std::function<void(int level, int column, int row, TPixelBuffer&& tile)>;

class TLevelPyramid {
 public:
  TLevelPyramid(const TLevelPlan& plan, const std::uint8_t background[3], TTileSink sink);

  // The strip of the most detailed level from column x (a multiple of plan.BlockPixels()),
  // width pixels wide; its rows follow from the top.
  void BeginStrip(int x, int width);
  // The strip's next rows, RGBA: alpha is coverage, composited over the background here.
  void AddRows(const std::uint8_t* rgba, int rows);
  // After the strip's last row: the partial bands and averages are finished.
  void EndStrip();

 private:
  struct TLevelState {
    int Width = 0;                         // of the strip at this level
    int X = 0;                             // the strip's first column at this level
    int BandTop = 0;                       // level row of the band's first row
    int Filled = 0;                        // rows in the band
    std::vector<std::uint8_t> Rgb, Cover;  // the band, Width * tile size
    int Ratio = 1;                         // from the level before
    int Summed = 0;                        // rows of the level before added into Sums
    std::vector<std::uint32_t> Sums;       // R, G, B, cover per pixel
  };
  void AddRow(std::size_t level, const std::uint8_t* rgb, const std::uint8_t* cover);
  void SumRow(std::size_t level, const std::uint8_t* rgb, const std::uint8_t* cover, int width);
  void EmitAverage(std::size_t level);
  void EmitBand(std::size_t level);

  const TLevelPlan& plan_;
  std::uint8_t background_[3];
  TTileSink sink_;
  std::vector<TLevelState> levels_;
  std::vector<std::uint8_t> rgbRow_, coverRow_;
};

}  // namespace brelo
