// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pixel to encoded coordinates from calibration points 1 and 3 of an OziExplorer map file,
// point 1 taken as the image's top-left pixel.
#include <cstdint>
#include <string>
#include <vector>

namespace brelo {

struct TPixelCalibration {
  int X1 = 0, Y1 = 0, X3 = 1, Y3 = 1;
  std::int32_t Lon1 = 0, Lat1 = 1, Lon3 = 1, Lat3 = 0;  // [encoded]
  int ImageWidth = 0, ImageHeight = 0;
  // Reads the MMPXY, MMPLL and IWH lines; raises EFormatError on a number that does not convert
  // and on points 1 and 3 that share a pixel column or row, a longitude or a latitude, and on a
  // map whose corners are not WGS 84 latitude and longitude (see LatLonCalibrationProblem).
  static TPixelCalibration FromMapLines(const std::vector<std::string>& lines);
  void PixelToJnx(std::int64_t x, std::int64_t y, std::int32_t& lat, std::int32_t& lon) const;
};

// Why the lines are not a map this calibration places right: a projection other than
// "Latitude/Longitude", a datum other than WGS 84, corners not given as MMPLL 1 and 3 (a sheet
// calibrated by grid points). "" for a map it places right, or whose lines do not say.
std::string LatLonCalibrationProblem(const std::vector<std::string>& lines);

}  // namespace brelo
