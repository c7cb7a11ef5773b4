// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the map creation dialog reads from a calibrated source (an OziExplorer ".map", with
// its ".set" beside it or not, or a ".tar" made by the export), and the checks of "Start".
#include <array>
#include <string>
#include <vector>

namespace brelo {

struct TCalibrationPoint {
  int X = 0, Y = 0;         // [px]
  double Lon = 0, Lat = 0;  // [degrees]
};

struct TMapSourceInfo {
  std::vector<std::string> MapLines, SetLines;
  int ImageWidth = 0, ImageHeight = 0;  // kept from the previous source without an "IWH" line
  std::vector<TCalibrationPoint> Points;
  std::array<std::string, 4> PointSummaries;
  std::string ProductName;                   // map line 2
  std::string LevelPixels, LevelKilometers;  // leLevelPixels, leLevelKilometers
  std::string Label2, Label3;                // "50px=%.3fkm", "pmax=%.3f"
  int SuggestedScale = -1;                   // index into ScaleTable, -1 without points
  std::string TileCount;                     // leTileCount
  bool TileSizeEnabled = false;              // the image will be cut
  std::vector<std::string> Memo;
};

// Reads the source. previous supplies ImageWidth and ImageHeight for a source without "IWH".
// A number that does not convert raises EFormatError naming the text.
TMapSourceInfo ReadMapSource(const std::string& path, int tileWidth, int tileHeight,
                             const TMapSourceInfo* previous = nullptr);
// ceil(ImageWidth / w) x ceil(ImageHeight / h), or "?" when a text is not a positive integer.
std::string TileCountText(int imageWidth, int imageHeight, const std::string& tileWidth, const std::string& tileHeight);

// The texts of the dialog's fields, as "Start" checks them.
struct TCreationFields {
  std::string FileName, ProductName, ProductId, ZOrder;
  int ScaleIndex = -1;
  std::string TileWidth, TileHeight, TileCount;
};
enum class TCreationField { None, FileName, ProductName, ProductId, ZOrder, Scale, TileWidth, TileHeight, TileCount };
// The first invalid field in the order "Start" checks them, or None when all are valid.
TCreationField FirstInvalidField(const TCreationFields& fields);

}  // namespace brelo
