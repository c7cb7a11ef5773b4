// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a multi-level map from georeferenced rasters (GeoTIFF, VRT, pictures with world
// files, MBTiles, and OziExplorer maps in any projection), each volume checked as written.
#include <string>
#include <vector>

#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "uMapCreation/RasterMapBuilder.h"

namespace brelo {

// Whether sources take the raster path: anything but a single ".tar", or a single ".map" that
// its own calibration places right on WGS 84 (see LatLonCalibrationProblem).
bool IsRasterSource(const std::vector<std::string>& sources);

// Ok: "NAME.jnx saved in Nms." (volumes: "N volumes saved in Nms: A, B, ..."), Path the first
// file, the device check of every file. Cancelled: nothing written, earlier files kept.
TCommandResult CreateRasterMapCommand(const TRasterBuildOptions& options, const ProgressSink& info,
                                      const TWorkMeter* meter = nullptr);

}  // namespace brelo
