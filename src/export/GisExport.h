// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One level of a map as one georeferenced raster (GeoTIFF, PNG with a world file, MBTiles):
// its tiles mosaicked onto a WGS 84 grid at the level's finest tile resolution, in bands of
// rows, tiles decoded on every core.
#include <cstdint>
#include <string>

#include "base/Progress.h"
#include "jnx/JnxMap.h"
#include "raster/GeoRaster.h"

namespace brelo {

struct TGisExportOptions {
  TRasterFileOptions File;
  bool UseBackground = false;  // gaps in this colour instead of transparent
  std::uint8_t Background[3] = {255, 255, 255};
  bool Overwrite = false;
};

// The grid a level is exported on: the union of its tiles' boxes, pixels of its finest tile.
// Raises EFormatError for a level without a tile of positive size.
TGeoGrid LevelGrid(const TJnxMap& map, int level);

struct TGisExportResult {
  TGeoGrid Grid;
  int Tiles = 0;                    // placed
  int Resampled = 0;                // of those, resampled onto the grid rather than copied
  std::vector<std::string> Failed;  // tiles that did not decode, one line each
};

// Exports level (0-based) of map.CurrentFile to out; refuses an existing out unless Overwrite.
// Nothing is in place under out until the end; a failed or cancelled export leaves what was
// there. Raises EFormatError, EIoError, ERefused or ECancelled.
TGisExportResult ExportLevelToGis(const TJnxMap& map, int level, const std::string& out,
                                  const TGisExportOptions& options, const ProgressSink& info, const TWorkMeter* meter);

}  // namespace brelo
