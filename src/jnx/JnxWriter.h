// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a whole JNX file (all levels or one) from the model, tile data copied byte for byte.
#include <cstdint>
#include <functional>
#include <string>

#include "base/Progress.h"
#include "base/Stream.h"
#include "jnx/JnxMap.h"

namespace brelo {

// Appends the stored bytes of every tile of the levels being written, in table order.
using TileDataWriter = std::function<void(TFileStream& out, std::uint32_t firstSourceOffset)>;

// Header, level table and description block from the current stream position.
void WriteHeaderRegion(TStream& out, const TJnxMap& map);
// The 28-byte entries of every tile of every level, in order, from the current position.
void WriteTileTables(TStream& out, const TJnxMap& map);
// TilesOffset and ImageOffset of every level and tile for a contiguous file. Raises
// EFormatError, changing nothing, when the file would reach 4 GiB.
void LayoutOffsets(TJnxMap& map);
// Copies each tile's bytes from CurrentFile at its SourceLocations entry; the meter hears how
// far it is and stops it (ECancelled) between chunks.
void CopyTileData(const TJnxMap& map, TFileStream& out, std::uint32_t firstSourceOffset, const ProgressSink& progress,
                  const TWorkMeter* meter = nullptr);
// Writes the map (level -1) or one 0-based level as a new file. The model is restored
// afterwards on every path, except for Guid, which keeps the new value. Written through a
// temporary file: on failure the destination is untouched and the error raised.
void WriteJnx(TJnxMap& map, const std::string& destination, int level, const TileDataWriter& writer,
              const ProgressSink& progress);

}  // namespace brelo
