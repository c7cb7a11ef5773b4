// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/Calibration.h"

#include <cstdint>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace brelo {

namespace {

const char* const kNoCorners = "no MMPLL,1 and MMPLL,3 lines";

std::vector<std::string> Fields(const std::string& line) { return SplitText(RemoveBlanks(line), ','); }

int FieldInt(const std::vector<std::string>& f, std::size_t i) {
  long long v = 0;
  const std::string text = i < f.size() ? f[i] : std::string();
  if (!ParseInteger(text, v) || v < INT32_MIN || v > INT32_MAX)
    throw EFormatError("'" + text + "' is not a valid integer value");
  return static_cast<int>(v);
}

double FieldNumber(const std::vector<std::string>& f, std::size_t i) {
  return ParseDecimal(i < f.size() ? f[i] : std::string());
}

}  // namespace

TPixelCalibration TPixelCalibration::FromMapLines(const std::vector<std::string>& lines) {
  // Corners on another grid or datum would place the map wrongly without a word.
  const std::string problem = LatLonCalibrationProblem(lines);
  if (!problem.empty() && problem != kNoCorners)
    throw EFormatError("a map with " + problem + " is placed only by warping its picture; a tile set of it cannot be");
  TPixelCalibration c;
  for (const auto& line : lines) {
    const auto f = Fields(line);
    if (f.size() < 2 && !(f.size() >= 1 && f[0] == "IWH")) continue;
    if (f[0] == "MMPXY" && f[1] == "1") c.X1 = FieldInt(f, 2), c.Y1 = FieldInt(f, 3);
    if (f[0] == "MMPXY" && f[1] == "3") c.X3 = FieldInt(f, 2), c.Y3 = FieldInt(f, 3);
    if (f[0] == "MMPLL" && f[1] == "1") c.Lon1 = DegToJnx(FieldNumber(f, 2)), c.Lat1 = DegToJnx(FieldNumber(f, 3));
    if (f[0] == "MMPLL" && f[1] == "3") c.Lon3 = DegToJnx(FieldNumber(f, 2)), c.Lat3 = DegToJnx(FieldNumber(f, 3));
    if (f[0] == "IWH") c.ImageWidth = FieldInt(f, 2), c.ImageHeight = FieldInt(f, 3);
  }
  // Spans in 64 bits: the fields may hold any 32-bit value.
  const std::int64_t dx = std::int64_t(c.X3) - c.X1, dy = std::int64_t(c.Y3) - c.Y1;
  if (dx > INT32_MAX || dx < -INT32_MAX || dy > INT32_MAX || dy < -INT32_MAX)
    throw EFormatError(Format("MMPXY,1 and MMPXY,3: a span of %lld x %lld pixels does not fit",
                              static_cast<long long>(dx), static_cast<long long>(dy)));
  // A calibration without extent in one direction gives no pixel size.
  if (dx == 0) throw EFormatError("MMPXY,1 and MMPXY,3 lie in one pixel column: the calibration gives no pixel width");
  if (dy == 0) throw EFormatError("MMPXY,1 and MMPXY,3 lie in one pixel row: the calibration gives no pixel height");
  if (c.Lon1 == c.Lon3)
    throw EFormatError("MMPLL,1 and MMPLL,3 have one longitude: the calibration gives no pixel width");
  if (c.Lat1 == c.Lat3)
    throw EFormatError("MMPLL,1 and MMPLL,3 have one latitude: the calibration gives no pixel height");
  return c;
}

std::string LatLonCalibrationProblem(const std::vector<std::string>& lines) {
  std::string datum, projection;
  bool mmpll1 = false, mmpll3 = false, gridPoints = false;
  if (lines.size() > 4) datum = TrimBlanks(lines[4].substr(0, lines[4].find(',')));
  for (const auto& line : lines) {
    const auto f = SplitText(line, ',');
    if (f.empty()) continue;
    const std::string key = TrimBlanks(f[0]);
    if (key == "Map Projection" && f.size() > 1) projection = TrimBlanks(f[1]);
    if (key == "MMPLL" && f.size() > 1) mmpll1 |= TrimBlanks(f[1]) == "1", mmpll3 |= TrimBlanks(f[1]) == "3";
    // Point lines with a position in grid units (fields 14 and 15: easting, northing).
    if (key.rfind("Point", 0) == 0 && f.size() > 15 && !TrimBlanks(f[14]).empty() && !TrimBlanks(f[15]).empty())
      gridPoints = true;
  }
  if (!projection.empty() && projection != "Latitude/Longitude") return "projection \"" + projection + "\"";
  // Line 5 is the datum in a file that has the map lines at all.
  if (!projection.empty() && !datum.empty() && datum != "WGS 84" && datum != "WGS84") return "datum \"" + datum + "\"";
  if (!(mmpll1 && mmpll3)) return gridPoints ? "calibration by grid points only (no MMPLL lines)" : kNoCorners;
  return {};
}

void TPixelCalibration::PixelToJnx(std::int64_t x, std::int64_t y, std::int32_t& lat, std::int32_t& lon) const {
  const double kx = (double(X3) - double(X1)) / (double(Lon3) - double(Lon1));
  const double ky = (double(Y3) - double(Y1)) / (double(Lat1) - double(Lat3));
  lon = RoundToInt32(static_cast<long double>(double(x) / kx + Lon1));
  lat = RoundToInt32(static_cast<long double>(Lat1 - double(y) / ky));
}

}  // namespace brelo
