// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The OziExplorer ".map" calibration file of an exported tile set: 22 CR LF lines, four
// corner points at (0, 0), (W, 0), (W, H), (0, H).
#include <string>

namespace brelo {

struct TOziCorner {
  int X = 0, Y = 0;         // [px] in the combined image
  double Lat = 0, Lon = 0;  // [degrees]
};

// title: line 2; level: the tile level in line 3; corners NW, NE, SE, SW.
std::string OziMapText(const std::string& title, int level, const TOziCorner (&corners)[4], int width, int height);

}  // namespace brelo
