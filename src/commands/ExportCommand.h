// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exporting one level of the loaded map as an OziExplorer tile set in FILE.tar.
#include "commands/CommandResult.h"
#include "export/OziExport.h"
#include "jnx/JnxMap.h"

namespace brelo {

// Level from 1. The view is set up as choosing the level sets it up; the map is not changed.
// Ok: Text is the whole information line ending in " saved.", Path the archive.
TCommandResult ExportLevelCommand(const TJnxMap& map, int level, const TExportReport& report);

}  // namespace brelo
