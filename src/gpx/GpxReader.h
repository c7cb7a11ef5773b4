#pragma once
// Reading waypoints, the track and the track colour out of GPX text with the marker scanner.
// A read replaces the waypoints only when the text has one, and the track likewise.
#include <string>

#include "gpx/GpxData.h"

namespace brelo {

// Nothing happens when the file does not exist. A coordinate that is not a number raises
// EFormatError naming the text; what was read before it stays in data.
void ReadGpx(const std::string& path, TGpxData& data);
void ReadGpxText(const std::string& text, TGpxData& data);
void ReadGpxTrack(const std::string& text, TGpxData& data);
void ReadGpxWaypoints(const std::string& text, TGpxData& data);

}  // namespace brelo
