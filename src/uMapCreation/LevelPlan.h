// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plan of a multi-level map from a georeferenced raster: its levels (grids, scales, tile
// counts, sizes) and the volumes it is split into to stay inside what receivers load.
#include <cstdint>
#include <string>
#include <vector>

#include "jnx/DeviceLimits.h"
#include "raster/GeoRaster.h"

namespace brelo {

struct TLevelOptions {
  int Levels = 0;                       // 0: until a level fits one screen, at most five
  std::vector<int> Factors;             // reductions from the source resolution: 1,2,4,...
  std::vector<std::string> ScaleNames;  // eTrex names, most detailed level first
  double ScaleFactor = 1;               // shifts every level's choice of scale
  int TileSize = 256;
  int MaxTiles = kMaxTilesPerLevel;  // a smaller limit, for tests of the split
  bool NoSplit = false;              // refuse instead of splitting into volumes
  int Quality = 85;
};

struct TPlannedLevel {
  int Factor = 1;  // source pixels per level pixel, each way
  TGeoGrid Grid;
  double MetresPerPixel = 0;  // at the centre
  std::uint32_t Scale = 0;
  std::string ScaleName;
  int Columns = 0, Rows = 0;  // tiles
  std::uint64_t EstimatedBytes = 0;
};

// A block of the area written as one file: tile columns and rows of the coarsest level.
struct TVolumeBlock {
  int Column = 0, Row = 0, Columns = 0, Rows = 0;
  std::string Path;
};

struct TLevelPlan {
  std::vector<TPlannedLevel> Levels;  // the most detailed first
  int TileSize = 256;
  std::vector<TVolumeBlock> Volumes;  // one unless split
  std::vector<std::string> Notes;     // choices made that the user should hear of
  std::uint64_t EstimatedBytes = 0;

  std::int64_t Tiles(std::size_t level) const { return std::int64_t(Levels[level].Columns) * Levels[level].Rows; }
  // Source pixels along a side of the coarsest level's tile: volumes are cut on multiples.
  int BlockPixels() const { return TileSize * Levels.back().Factor; }
  // The lines of the plan as printed before a build.
  std::vector<std::string> Describe() const;
};

// Estimated stored bytes of a tile of pixels at a JPEG quality.
std::uint64_t EstimateTileBytes(std::int64_t pixels, int quality);

// The plan for a source of grid and ground resolution, written to output (volumes
// output_Part01.jnx, ...). Raises EFormatError with the reason for options that cannot be
// met (more than five levels, reductions that do not divide each other, unknown scale names,
// a split that --no-split forbids).
TLevelPlan PlanLevels(const TGeoGrid& grid, double metresPerPixel, const TLevelOptions& options,
                      const std::string& output);

}  // namespace brelo
