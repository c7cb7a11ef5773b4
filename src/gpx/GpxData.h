// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waypoints and the track shown over the map, as read from GPX files.
#include <cstdint>
#include <string>
#include <vector>

namespace brelo {

struct TWpt {
  std::int32_t Latitude = 0;   // [encoded]
  std::int32_t Longitude = 0;  // [encoded]
  std::string Name;            // empty for track points
};

struct TTrackBounds {
  std::int32_t MinLat = 0, MinLon = 0, MaxLat = 0, MaxLon = 0;  // [encoded]
};

struct TGpxData {
  std::vector<TWpt> Waypoints;
  std::vector<TWpt> Track;
  TTrackBounds TrackBounds;
  int CheckedTrackColor = -1;  // index into GarminColors, -1 for none
};

}  // namespace brelo
