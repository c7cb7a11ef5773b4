#pragma once
// Changing the current JNX file in place: header rewrite, tile deletion, placeholder level.
#include <cstdint>
#include <string>
#include <vector>

#include "jnx/JnxMap.h"

namespace brelo {

// Rewrites header, level table and description block of path when HeaderSize stays strictly
// below the first TilesOffset, clearing stale bytes up to it. The fit is checked before the
// file is opened, so a refusal leaves it unchanged. newGuid issues a new Guid first.
bool WriteHeader(TJnxMap& map, const std::string& path, bool newGuid);

enum class TUpdateSender { UpdateMapNow, DeleteTiles };

struct TUpdateResult {
  bool Ok = false;
  bool Damaged = false;  // header written but tile tables not: the file may disagree with itself
  std::string Message;   // the text for lInfo (Ok) or for the error display
};

// The in-place update after the edits were applied to the model. After a tile deletion
// (sender DeleteTiles) the tile tables are rewritten contiguously as well.
TUpdateResult UpdateMapNow(TJnxMap& map, TUpdateSender sender);

// True when the tile tables lie back to back in level order from the first TilesOffset, the
// layout in-place rewrites of the tables rely on.
bool TileTablesContiguous(const TJnxMap& map);

// Removes the selected tile indices (0-based) from a level and updates CurrentFile in place.
TUpdateResult DeleteTiles(TJnxMap& map, int level, const std::vector<int>& selected);

// Whether the placeholder command is offered: 1 to 4 levels, the last one not named "dummy".
bool CanAddDummyLevel(const TJnxMap& map);
// Placeholder scales on offer: every ScaleTable entry up to the first not below the last
// level's Scale. Returns how many entries from the start are offered.
int DummyLevelScaleCount(const TJnxMap& map);
// Whether scale is one of the DummyLevelScaleCount scales on offer.
bool IsOfferedDummyScale(const TJnxMap& map, std::uint32_t scale);
// Appends a level of one placeholder tile (refused for a scale that is not on offer) (jpeg: the complete JPEG file) to CurrentFile.
// On success the model is reloaded from the file; on failure it is restored.
TUpdateResult AddDummyLevel(TJnxMap& map, std::uint32_t scale, const std::vector<std::uint8_t>& jpeg);

}  // namespace brelo
