// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/MapSource.h"

#include <algorithm>
#include <cmath>

#include "LibTar/TarArchive.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Paths.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {

int ToInt(const std::string& text) {
  long long v = 0;
  if (!ParseInteger(text, v) || v < INT32_MIN || v > INT32_MAX)
    throw EFormatError("'" + text + "' is not a valid integer value");
  return static_cast<int>(v);
}

// The text after the first "," (all of it when there is none).
std::string AfterComma(const std::string& s) {
  std::size_t c = s.find(',');
  return c == std::string::npos ? std::string() : s.substr(c + 1);
}
std::string BeforeComma(const std::string& s) { return s.substr(0, s.find(',')); }

std::vector<std::string> ReadLines(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  return SplitLines(std::string(bytes.begin(), bytes.end()));
}

std::string Line(const std::vector<std::string>& lines, std::size_t number) {
  return number >= 1 && number <= lines.size() ? lines[number - 1] : std::string();
}

}  // namespace

std::string TileCountText(int imageWidth, int imageHeight, const std::string& tileWidth,
                          const std::string& tileHeight) {
  long long w = 0, h = 0;
  if (!ParseInteger(tileWidth, w) || !ParseInteger(tileHeight, h) || w <= 0 || h <= 0) return "?";
  const long long nx = (imageWidth + w - 1) / w, ny = (imageHeight + h - 1) / h;
  return std::to_string(nx * ny);
}

TMapSourceInfo ReadMapSource(const std::string& path, int tileWidth, int tileHeight, const TMapSourceInfo* previous) {
  TMapSourceInfo s;
  if (previous) s.ImageWidth = previous->ImageWidth, s.ImageHeight = previous->ImageHeight;
  const std::string ext = LowerAscii(ExtensionOf(path));
  if (ext == ".tar") {
    TTarArchive tar(path);
    TTarDirRec rec;
    bool haveMap = false, haveSet = false;
    while (tar.NextEntry(rec) && !(haveMap && haveSet)) {
      const std::string entryExt = LowerAscii(ExtensionOf(rec.EntryName));
      std::string text;
      if (entryExt == ".map" && !haveMap) {
        tar.ExtractToString(text);
        s.MapLines = SplitLines(text);
        haveMap = true;
      } else if (entryExt == ".set" && !haveSet) {
        tar.ExtractToString(text);
        s.SetLines = SplitLines(text);
        haveSet = true;
      }
    }
    // What the tile-set export writes: a calibration and its tile list, beside the tiles.
    if (!haveMap || !haveSet)
      throw EFormatError(path + ": not an archive made by SaveTAR: it holds no " + (haveMap ? ".set" : ".map") +
                         " file");
  } else {
    s.MapLines = ReadLines(path);
    const std::string set = ChangeExtension(path, ".set");
    if (FileExists(set)) s.SetLines = ReadLines(set);
  }
  s.TileCount = std::to_string(s.SetLines.size());
  s.ProductName = Line(s.MapLines, 2);
  s.Memo.push_back(Line(s.MapLines, 3));
  s.Memo.push_back(TrimBlanks(BeforeComma(Line(s.MapLines, 5))));

  std::size_t n = 0;
  std::vector<std::size_t> pixelLines;  // line numbers of the MMPXY lines read
  for (std::size_t number = 6; number <= s.MapLines.size(); ++number) {
    const std::string& raw = s.MapLines[number - 1];
    if (raw.find("Map Projection") != std::string::npos) s.Memo.push_back(TrimBlanks(BeforeComma(AfterComma(raw))));
    if (raw.find("MMPNUM") != std::string::npos) {
      const int count = ToInt(AfterComma(RemoveBlanks(raw)));
      n = count > 0 ? static_cast<std::size_t>(std::min(count, 1000)) : 0;
      s.Points.assign(n, {});
    }
    if (raw.find("MMP") != std::string::npos) {
      const std::string line = RemoveBlanks(raw);
      for (std::size_t i = 1; i <= n; ++i) {
        const std::string number_ = std::to_string(i);
        const bool pixel = line.find("XY," + number_) != std::string::npos;
        if (!pixel && line.find("LL," + number_) == std::string::npos) continue;
        const std::string rest = AfterComma(AfterComma(line));
        TCalibrationPoint& p = s.Points[i - 1];
        std::string& summary = s.PointSummaries[std::min<std::size_t>(i - 1, 3)];
        if (pixel) {
          pixelLines.push_back(number);
          p.X = ToInt(BeforeComma(rest));
          p.Y = ToInt(AfterComma(rest));
          if (i <= 4) summary = Format("MMP%zu XY%6d%6d", i, p.X, p.Y);
        } else {
          p.Lon = ParseDecimal(BeforeComma(rest));
          p.Lat = ParseDecimal(AfterComma(rest));
          if (i <= 4) {
            summary += " " + rest;
            s.Memo.push_back(summary);
          }
        }
      }
    }
    if (raw.find("IWH") != std::string::npos) {
      const std::string rest = AfterComma(raw);
      s.Memo.push_back(rest);
      const std::string size = AfterComma(rest);
      s.ImageWidth = ToInt(BeforeComma(size));
      s.ImageHeight = ToInt(AfterComma(size));
      s.Memo.push_back(Format("ImageWidth=%d ImageHeight=%d", s.ImageWidth, s.ImageHeight));
    }
  }

  // Without a pixel position there is nothing to measure: no scale is suggested.
  if (n > 0 && !pixelLines.empty()) {
    auto [minX, maxX] =
        std::minmax_element(s.Points.begin(), s.Points.end(), [](auto& a, auto& b) { return a.X < b.X; });
    auto [minY, maxY] =
        std::minmax_element(s.Points.begin(), s.Points.end(), [](auto& a, auto& b) { return a.Y < b.Y; });
    auto [minLon, maxLon] =
        std::minmax_element(s.Points.begin(), s.Points.end(), [](auto& a, auto& b) { return a.Lon < b.Lon; });
    auto [minLat, maxLat] =
        std::minmax_element(s.Points.begin(), s.Points.end(), [](auto& a, auto& b) { return a.Lat < b.Lat; });
    // Spans in 64 bits: the points may lie anywhere in the 32-bit range.
    const long long dx = static_cast<long long>(maxX->X) - minX->X, dy = static_cast<long long>(maxY->Y) - minY->Y;
    auto lines = [&] {
      std::string t;
      for (std::size_t k : pixelLines) t += (t.empty() ? "" : ", ") + std::to_string(k);
      return (pixelLines.size() == 1 ? "line " : "lines ") + t;
    };
    if (dx > INT32_MAX || dy > INT32_MAX)
      throw EFormatError(path + Format(": the MMPXY points (%s) span %lld x %lld pixels, more than a picture holds",
                                       lines().c_str(), dx, dy));
    if (dx == 0)
      throw EFormatError(path + ": the MMPXY points (" + lines() +
                         ") lie in one pixel column: the calibration gives no scale");
    s.LevelPixels = Format("%lld x %lld", dx, dy);
    const double width = DegDistanceKm(maxLat->Lat, minLon->Lon, maxLat->Lat, maxLon->Lon);
    const double height = DegDistanceKm(minLat->Lat, minLon->Lon, maxLat->Lat, minLon->Lon);
    s.LevelKilometers = Format("%.1f x %.1f", width, height);
    const double d50 = width * 50 / dx;
    s.Label2 = Format("50px=%.3fkm", d50);
    s.Label3 = Format("pmax=%.3f", 1.0 / 3);
    int i = 0;
    for (; i < 26; ++i) {
      std::string name = ScaleTable[static_cast<std::size_t>(i)].Name;
      name.erase(name.find('m'), 1);
      double multiplier = 1;
      if (std::size_t k = name.find('k'); k != std::string::npos) {
        multiplier = 1000;
        name.erase(k, 1);
      }
      const double metres = ParseDecimal(name) * multiplier;
      if (d50 * 1000 / metres < 1.0 / 3) break;
    }
    s.SuggestedScale = i;
    s.Memo.push_back(Format("lon_min=%11.6f lon_max=%11.6f", minLon->Lon, maxLon->Lon));
    s.Memo.push_back(Format("lat_min=%11.6f lat_max=%11.6f", minLat->Lat, maxLat->Lat));
  }
  s.TileSizeEnabled = s.SetLines.empty();
  if (s.TileSizeEnabled)
    s.TileCount = TileCountText(s.ImageWidth, s.ImageHeight, std::to_string(tileWidth), std::to_string(tileHeight));
  return s;
}

TCreationField FirstInvalidField(const TCreationFields& f) {
  long long v = 0;
  if (TrimBlanks(f.FileName).empty()) return TCreationField::FileName;
  if (TrimBlanks(f.ProductName).empty()) return TCreationField::ProductName;
  if (!ParseInteger(f.ProductId, v) || v < 0 || v > INT32_MAX) return TCreationField::ProductId;
  if (!ParseInteger(f.ZOrder, v) || v < 0 || v > 100) return TCreationField::ZOrder;
  if (f.ScaleIndex < 0 || f.ScaleIndex >= static_cast<int>(ScaleTable.size())) return TCreationField::Scale;
  if (!ParseInteger(f.TileWidth, v) || v <= 0 || v > 32767) return TCreationField::TileWidth;
  if (!ParseInteger(f.TileHeight, v) || v <= 0 || v > 32767) return TCreationField::TileHeight;
  if (!ParseInteger(f.TileCount, v) || v < 1 || v > 50000) return TCreationField::TileCount;
  return TCreationField::None;
}

}  // namespace brelo
