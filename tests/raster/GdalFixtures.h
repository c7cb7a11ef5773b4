// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Georeferenced rasters for the tests, written with GDAL directly, and positions moved between
// coordinate systems.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brelo::test {

struct TFixtureRaster {
  int Width = 0, Height = 0;
  int Bands = 3;                                    // 1 gray, 2 gray and alpha, 3 RGB, 4 RGBA
  std::string Srs = "EPSG:32633";                   // "" for none
  std::optional<std::vector<double>> GeoTransform;  // none: not georeferenced
  // The pixel's band values, Bands bytes.
  std::function<void(int x, int y, std::uint8_t* value)> Pixel;
  std::optional<double> NoData;  // on every band
  bool Palette = false;          // one band of indices into a 256-colour table (index i: i, 255 - i, 0)
  bool SixteenBit = false;
};

// Writes through a GDAL driver ("GTiff", "PNG" with a world file, "MBTiles", "VRT"...), by way
// of a dataset in memory and CreateCopy.
void WriteRaster(const std::string& path, const TFixtureRaster& raster, const std::string& driver = "GTiff",
                 const std::vector<std::string>& options = {});

// A raster as GDAL reads it back: its size, geotransform, coordinate system and pixels
// (band-interleaved by pixel, Bands bytes a pixel).
struct TReadRaster {
  int Width = 0, Height = 0, Bands = 0;
  std::vector<double> GeoTransform;
  std::string Wkt, Driver;
  std::vector<std::uint8_t> Pixels;
  const std::uint8_t* At(int x, int y) const { return Pixels.data() + (std::size_t(y) * Width + x) * Bands; }
};
TReadRaster ReadRaster(const std::string& path);

// Longitude and latitude (WGS 84) of a position in srs, and back.
void ToWgs84(const std::string& srs, double x, double y, double& lon, double& lat);
void FromWgs84(const std::string& srs, double lon, double lat, double& x, double& y);

}  // namespace brelo::test
