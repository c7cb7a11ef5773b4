// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing every tile of the map as a JPEG file, one folder per level, beside the JNX file.
#include <string>

#include "jnx/JnxMap.h"
#include "jnx/JnxWriter.h"

namespace brelo {

// Zero-padding width W for a level of count tiles: digits of (count - 1).
int TileNumberDigits(int count);
// "%.Wd_T%d_R%d_B%d_L%d.jpg" for tile number (from 1) of a level of count tiles.
std::string TileFileName(int number, int count, const TJnxTile& tile);
std::string TilesBaseFolder(const std::string& jnxPath);  // "<name>_tiles/" beside the file

// Every tile decoded and encoded anew at quality 90; returns the base folder ("" for a map
// without levels). Any failure ends the extraction at that tile (files already written stay,
// as in a one-thread run) and is raised, naming the level and tile. A stop asked through the
// meter raises ECancelled and takes back the files and folders this run made.
std::string SaveTiles(const TJnxMap& map, const ProgressSink& progress, const TWorkMeter* meter = nullptr);

}  // namespace brelo
