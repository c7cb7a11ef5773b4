// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changing the loaded map's file in place: the header and level texts, tile deletion and the
// placeholder level. A refused or failed update leaves the file as it was, and says so.
#include <string>
#include <vector>

#include "commands/CommandResult.h"
#include "jnx/JnxMap.h"
#include "jnx/JnxUpdate.h"
#include "jnx/MapEdits.h"

namespace brelo {

// Applies the cells (the model's own when null; given back with the accepted values) and
// rewrites the header region in place with a new Guid.
TCommandResult UpdateNowCommand(TJnxMap& map, TMapEditCells* cells);
// Removes the selected tiles (0-based indices) of a level (0-based) in place.
TCommandResult DeleteTilesCommand(TJnxMap& map, int level, const std::vector<int>& selected);
// The eTrex scale names a placeholder level may take; empty when none is offered.
std::vector<std::string> PlaceholderScales(const TJnxMap& map);
// Appends the placeholder level of the given eTrex scale name; the model is reloaded.
TCommandResult AddPlaceholderLevelCommand(TJnxMap& map, const std::string& scaleName);

}  // namespace brelo
