#pragma once
// Cutting a single calibrated picture into tiles: the folder named after the ".map" file gets
// set/ with the tiles, the ".set" list and a copy of the ".map".
#include <string>

#include "uMapCreation/MapBuilder.h"

namespace brelo {

struct TCutTile {
  int Number = 0;  // from 1, in column-by-column order
  int X = 0, Y = 0, Width = 0, Height = 0;  // [px] in the picture
};

// The tiles of a picture in their numbering order: full tiles column by column, the right
// column, the bottom row, the corner tile.
std::vector<TCutTile> CutLayout(int imageWidth, int imageHeight, int tileWidth, int tileHeight);
// "%s#%.4d_%d_%d.jpg" with the map's base name ("_" turned into "-").
std::string CutTileName(const std::string& base, const TCutTile& tile);

// Reads the picture in bands of tileHeight rows, so memory grows with its width only; the
// tiles are encoded on worker threads. Returns false after reporting "Image file\n...\nnot
// found!" through ShowError when the picture is missing; raises on other failures.
// folderCreated tells whether the folder was new.
bool CutImageToTiles(const std::string& mapPath, int tileWidth, int tileHeight, const TCreationSinks& sinks,
                     bool& folderCreated);

}  // namespace brelo
