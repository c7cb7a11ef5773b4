// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exporting one level of the loaded map to a GIS raster (GeoTIFF, PNG with a world file, MBTiles).
#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "export/GisExport.h"
#include "jnx/JnxMap.h"

namespace brelo {

// Level from 1. Ok: Text is "NAME saved in Nms: W x H pixels, N tiles", Earlier the notes on
// resampled tiles and on tiles that did not decode. Cancelled when the meter stopped it.
TCommandResult ExportGisCommand(const TJnxMap& map, int level, const std::string& out, const TGisExportOptions& options,
                                const ProgressSink& info, const TWorkMeter* meter);

}  // namespace brelo
