// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts and figures of the map page that do not depend on any widget: the map and level
// summary, the position read-out, degrees as degrees-minutes-seconds, the track length and
// the scale bar's rounded length.
#include <cstdint>
#include <string>
#include <vector>

#include "gpx/GpxData.h"
#include "jnx/JnxMap.h"
#include "view/ViewGeometry.h"

namespace brelo {

// The renderer's summary for lLevelInfo; level is the shown level (0-based).
std::string MapInfoText(const TJnxMap& map, int level, const TMapExtent& extent);
// The text ChangeLevel writes after its redraw.
std::string LevelChangeText(const TJnxMap& map, int level, const TMapExtent& extent);
// 49°07'05.25" (decimals of the seconds: 0 to 9, else 2); "-" before negative values.
std::string FormatDms(int decimals, double degrees);
// "TrackLen=%.3fkm" of the track's length, 0 for fewer than two points.
std::string TrackLengthText(const std::vector<TWpt>& track);
// The information line at canvas position (x, y).
std::string PositionText(const TViewState& view, const TJnxMap& map, int x, int y, const std::vector<TWpt>& track);
// The scale bar's length [km] for a distance d [km]: one significant digit in two rounding
// steps (2.46 gives 2, 3.46 gives 4, 0.973 gives 1); and its label ("2km", "500m").
double ScaleBarKm(double d);
std::string ScaleBarLabel(double km);

}  // namespace brelo
