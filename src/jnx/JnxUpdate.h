// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changing the current JNX file in place: header rewrite, tile deletion, placeholder level.
// A refusal (ERefused) leaves the file byte for byte as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "jnx/JnxMap.h"

namespace brelo {

// Rewrites header, level table and description block of path when HeaderSize stays strictly
// below the first TilesOffset, clearing stale bytes up to it; newGuid issues a new Guid first.
// Raises ERefused, before the file is opened for writing, when the header does not fit or the
// first tile table lies past the end of the file; EIoError when the file cannot be written.
void WriteHeader(TJnxMap& map, const std::string& path, bool newGuid);

enum class TUpdateSender { UpdateMapNow, DeleteTiles };

// The in-place update after the edits were applied to the model. After a tile deletion
// (sender DeleteTiles) the tile tables are rewritten contiguously as well; a failure there,
// after the header was written, raises EDamaged.
void UpdateInPlace(TJnxMap& map, TUpdateSender sender);

// True when the tile tables lie back to back in level order from the first TilesOffset, the
// layout in-place rewrites of the tables rely on.
bool TileTablesContiguous(const TJnxMap& map);

// Removes the selected tile indices (0-based) from a level and updates CurrentFile in place.
// Raises ERefused for a file whose tables are not back to back or whose header would not fit.
void DeleteTilesInPlace(TJnxMap& map, int level, const std::vector<int>& selected);

// Whether the placeholder command is offered: 1 to 4 levels, the last one not named "dummy".
bool CanAddDummyLevel(const TJnxMap& map);
// Placeholder scales on offer: every ScaleTable entry up to the first not below the last
// level's Scale. Returns how many entries from the start are offered.
int DummyLevelScaleCount(const TJnxMap& map);
// Whether scale is one of the DummyLevelScaleCount scales on offer.
bool IsOfferedDummyScale(const TJnxMap& map, std::uint32_t scale);
// Appends a level of one placeholder tile (jpeg: the complete JPEG file) to CurrentFile. On
// success the model is reloaded from the file; on failure it is restored. Raises ERefused for
// a scale not on offer and a file it cannot be appended to.
void AppendDummyLevel(TJnxMap& map, std::uint32_t scale, const std::vector<std::uint8_t>& jpeg);

}  // namespace brelo
