// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Maps.gpx": the outline of every map of a folder, written on every folder scan.
#include <string>

#include "commands/CommandResult.h"
#include "gpx/GpxWriter.h"
#include "jnx/FolderScan.h"

namespace brelo {

// The cells of a map-list row that the overview uses: name without extension and bounds.
TMapOutlineRow OutlineRow(const std::string& path, const TJnxMap& header);
// Writes the folder's Maps.gpx from a scan of it. Ok: "FOLDER/Maps.gpx saved (N maps)."
TCommandResult WriteFolderOutline(const std::string& folder, const TFolderScan& scan);
// Scans the folder and writes its outline; files that did not load are named in Detail.
TCommandResult FolderOutlineCommand(const std::string& folder);

}  // namespace brelo
