// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing new files from the loaded map: the whole map, one level, every tile.
#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "jnx/JnxMap.h"
#include "jnx/MapEdits.h"

namespace brelo {

// CurrentFile without its extension, with "_saved.jnx" / "_level%d.jnx" (level from 1).
std::string SavedMapName(const std::string& file);
std::string SavedLevelName(const std::string& file, int level);

// The map as FILE_saved.jnx after the edit rules: cells are the map and level cells as the
// window shows them (the model's own when null), given back with the accepted values. The
// model keeps the applied edits and the new Guid; CurrentFile stays. Stopped through the
// meter: Cancelled, nothing written.
TCommandResult SaveMapCommand(TJnxMap& map, TMapEditCells* cells, const ProgressSink& progress,
                              const TWorkMeter* meter = nullptr);
// One level (from 1) as FILE_levelN.jnx; the edits are not applied first.
TCommandResult SaveLevelCommand(TJnxMap& map, int level, const ProgressSink& progress,
                                const TWorkMeter* meter = nullptr);
// Every tile as a JPEG file in FILE_tiles/levelN_COUNT_tiles/. Stopped: Cancelled, the files
// of this run taken back.
TCommandResult SaveTilesCommand(const TJnxMap& map, const ProgressSink& progress, const TWorkMeter* meter = nullptr);

}  // namespace brelo
