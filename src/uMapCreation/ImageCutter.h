// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cutting a single calibrated picture into tiles: the folder named after the ".map" file gets
// set/ with the tiles, the ".set" list and a copy of the ".map".
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Progress.h"
#include "uMapCreation/CreationParams.h"

namespace brelo {

struct TCutTile {
  int Number = 0;                           // from 1, in column-by-column order
  int X = 0, Y = 0, Width = 0, Height = 0;  // [px] in the picture
};

// The tiles of a picture in their numbering order: full tiles column by column, the right
// column, the bottom row, the corner tile.
std::vector<TCutTile> CutLayout(int imageWidth, int imageHeight, int tileWidth, int tileHeight);
// "%s#%.4d_%d_%d.jpg" with the map's base name ("_" turned into "-").
std::string CutTileName(const std::string& base, const TCutTile& tile);

// A ".map" file whose picture is not there.
struct EPictureNotFound : EFormatError {
  using EFormatError::EFormatError;
};

// The picture a ".map" file names on its third line: the path as written, else the file of that
// name beside the map. Raises EPictureNotFound "Image file\n...\nnot found!" without one.
std::string FindMapPicture(const std::string& mapPath, const std::vector<std::string>& mapLines);

// Reads the picture in bands of tileHeight rows, so that memory grows with its width only,
// encodes each band's tiles at quality 90 on worker threads, and hands them to onTile on the
// calling thread, band by band.
void CutPictureInBands(const std::string& picturePath, const std::vector<TCutTile>& layout, int tileHeight,
                       const std::function<void(const TCutTile&, std::vector<std::uint8_t>&)>& onTile,
                       const std::function<void(int done, int total)>& progress);

// The tile set of a picture: the folder named after the map gets set/ with the tiles, the
// ".set" list and a copy of the ".map". Returns whether the folder was new; raises on failure.
bool CutImageToTiles(const std::string& mapPath, int tileWidth, int tileHeight, const ProgressSink& info = nullptr);

// A one-level JNX straight from a single calibrated picture: each tile is cut, encoded once and
// written into the file, with no tile folder in between (the tiles and their order are those
// of the tile set CutImageToTiles makes). Raises on failure, leaving an earlier file as it was;
// a stop asked through the meter raises ECancelled the same way.
void BuildJnxFromPicture(const TCreationParams& params, int tileWidth, int tileHeight,
                         const ProgressSink& info = nullptr, const TWorkMeter* meter = nullptr);

}  // namespace brelo
