// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exporting one level of the map as an OziExplorer tile set (equal JPEG tiles, a ".set" list
// and a ".map" calibration) packed into a TAR archive beside the JNX file.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "base/TileSpool.h"
#include "jnx/JnxMap.h"
#include "view/ViewGeometry.h"

namespace brelo {

struct TExportReport {
  std::function<void(const std::string&)> Info;  // the whole information line, each time it changes
  std::vector<std::string>* Memo = nullptr;      // the diagnostic lines
  const TWorkMeter* Meter = nullptr;             // tiles done; a cancel stops before the archive
};

struct TExportResult {
  std::string Archive;
  int Fillers = 0;
  std::string InfoLine;  // "...+N. Map is tared... ARCHIVE saved."
};

// Grid snapping of a pixel position to a multiple of cell; an exact half is not rounded up.
int SnapToGrid(int position, int cell);
std::int64_t SnapToGrid64(std::int64_t position, std::int64_t cell);

// The most cells an export grid may have: the receiver's limit of tiles per level.
constexpr int kMaxExportCells = 50000;

// The grid, tiles and fillers of level (0-based) into tiles, their names in set order into
// setNames. view and bounds are the export's working state: origins and scale are set, bounds
// widened to the grid. Returns the number of filler tiles, or -1 without a map.
int BuildExportTiles(const TJnxMap& map, int level, TViewState& view, TJnxMap& bounds, TTileSpool& tiles,
                     std::vector<std::string>& setNames, const TExportReport& report, std::string& info);
// The filler picture stretched to width x height, as JPEG.
std::vector<std::uint8_t> FillerTile(int width, int height);
// The archive: the directory "set/", title.map, title.set, then every tile as set/name.
void PackExportFolder(const std::string& archive, const std::string& title, const std::string& mapText,
                      const std::vector<std::string>& setNames, TTileSpool& tiles);
// The whole export. The map and the caller's view state are not changed on any path. The
// tiles wait in an unnamed temporary file rather than in a folder beside the JNX file, so no
// folder of the user's is ever emptied or removed. Raises on failure, leaving an earlier
// archive in place.
TExportResult ExportOziTileSet(const TJnxMap& map, int level, const TViewState& view, const TExportReport& report);

}  // namespace brelo
