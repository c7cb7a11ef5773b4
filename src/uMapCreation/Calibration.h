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
  // and on points 1 and 3 that share a pixel column or row, a longitude or a latitude.
  static TPixelCalibration FromMapLines(const std::vector<std::string>& lines);
  void PixelToJnx(std::int64_t x, std::int64_t y, std::int32_t& lat, std::int32_t& lon) const;
};

}  // namespace brelo
