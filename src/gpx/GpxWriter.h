// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing GPX track files and the map-outline overview "Maps.gpx". CR LF line ends, no
// byte-order mark; names are UTF-8 with the XML special characters escaped.
#include <string>
#include <vector>

#include "base/Stream.h"
#include "gpx/GpxData.h"

namespace brelo {

constexpr char kMapsGpxName[] = "Maps.gpx";
// The description in the metadata of every outline file: what the file is, for whoever opens it,
// and the mark by which a folder scan knows it may replace the file.
constexpr char kMapsGpxDescription[] =
    "Outlines of the JNX maps in this folder: brelo replaces this file whenever it lists the folder";

// "   <trkpt lat="%.6f" lon="%.6f"/>" and CR LF.
void WriteTrackPoint(double latitude, double longitude, TStream& out);
// One track named after the file, colour lines when colour >= 0. Raises on failure, leaving an
// earlier file as it was.
void WriteTrackGpx(const std::string& path, const std::vector<TWpt>& track, int colour);

// The texts of one map-list row that the overview uses: cell 1 and cells 8 to 11.
struct TMapOutlineRow {
  std::string Name, West, North, East, South;  // bounds as decimal encoded integers
};
// One closed five-point outline per row, colour (row - 1) mod 16, after the metadata that marks
// the file as the outlines.
std::string MapsGpxText(const std::vector<TMapOutlineRow>& rows);
// Writes the text of MapsGpxText at path, unconditionally. Raises on failure, leaving an
// earlier file as it was.
void WriteMapsGpx(const std::string& path, const std::vector<TMapOutlineRow>& rows);

}  // namespace brelo
