// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading a JNX file into the model, and getting tile images out of it.
#include <string>
#include <vector>

#include "base/Stream.h"
#include "jnx/JnxMap.h"

namespace brelo {

class TJpegImage;

// Loads header, level table and description block; withDetails adds the level descriptions,
// tile tables and SourceLocations. Raises EIoError / EFormatError (message names the file and
// field); a header-only load keeps the previous tile lists.
void ReadJnx(TJnxMap& map, const std::string& path, bool withDetails);
// The same over an open stream; name is used in messages.
void ReadJnx(TJnxMap& map, TStream& in, const std::string& name, bool withDetails);

// Raises EChangedOnDisk when CurrentFile is not the file its detailed load found (another
// file under that name, changed, or gone); a model not loaded from a file passes.
void VerifyUnchanged(const TJnxMap& map);
// The model's stamp taken again, after a change of the program's own reached the file.
void RestampLoaded(TJnxMap& map);

// The complete JPEG stream of a stored tile of CurrentFile: FF D8 followed by its ImageSize
// stored bytes (TTileSource reads many tiles through one open file).
std::vector<std::uint8_t> RestoreTileJpeg(const TJnxMap& map, int level, int tile);

// Loads tile (level, tile) of CurrentFile into image; false for indices out of range and
// for unreadable or undecodable data. A CurrentFile that cannot be opened raises.
bool DecodeTile(const TJnxMap& map, int level, int tile, TJpegImage& image);

void FreeTileCache(TJnxMap& map);

}  // namespace brelo
