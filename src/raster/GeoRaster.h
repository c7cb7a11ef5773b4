// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Georeferenced rasters: sources read onto WGS 84 grids, and files written from such grids.
// GDAL does the work in a module of its own (its libraries take longer to load than most
// commands run), reached through this interface alone: no GDAL type appears outside it.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Progress.h"

namespace brelo {

// A north-up grid in WGS 84 degrees: pixel (x, y) covers longitudes West + x * PixelLon to
// West + (x + 1) * PixelLon and latitudes North - (y + 1) * PixelLat to North - y * PixelLat.
struct TGeoGrid {
  double West = 0, North = 0;
  double PixelLon = 0, PixelLat = 0;  // degrees per pixel, both positive
  int Width = 0, Height = 0;

  double East() const { return West + Width * PixelLon; }
  double South() const { return North - Height * PixelLat; }
  double Lon(double x) const { return West + x * PixelLon; }
  double Lat(double y) const { return North - y * PixelLat; }
  bool operator==(const TGeoGrid&) const = default;
};

// Metres per degree of latitude and of longitude at a latitude (WGS 84 ellipsoid).
double MetresPerDegreeLat(double lat);
double MetresPerDegreeLon(double lat);

enum class TResampling { Nearest, Bilinear, Cubic, Lanczos, Average };
const char* ResamplingName(TResampling r);  // "near", "bilinear", ...
// false for a name that is none of them
bool ParseResampling(const std::string& name, TResampling& r);

struct TRasterSourceInfo {
  std::string Summary;             // "a.tif: 8192 x 8192, RGB, WGS 84 / UTM zone 33N"
  std::vector<std::string> Notes;  // what was assumed, one line each
  // The source on WGS 84 at its own resolution: a geographic source's own grid, any other
  // with square ground pixels of the source's size at its centre.
  TGeoGrid Grid;
  double MetresPerPixel = 0;  // ground resolution of Grid at its centre
};

class TRasterSource {
 public:
  virtual ~TRasterSource() = default;
  virtual const TRasterSourceInfo& Info() const = 0;
  // The window (x, y, width, height) of grid as RGBA, 4 bytes a pixel, alpha 0 where the
  // source has no valid pixel (outside it, nodata, its own alpha). Work is spread over the
  // cores; one call at a time.
  virtual void Read(const TGeoGrid& grid, int x, int y, int width, int height, TResampling resampling,
                    std::vector<std::uint8_t>& rgba) = 0;
};

enum class TRasterCompression { Jpeg, Deflate };

struct TRasterFileOptions {
  TRasterCompression Compression = TRasterCompression::Deflate;  // GeoTIFF
  bool Overviews = false;                                        // GeoTIFF
  int JpegQuality = 90;
  // Whether pixels can be transparent: an alpha band (a mask with JPEG). Without it the
  // alpha of the rows written is ignored.
  bool Alpha = true;
};

// A raster file written in bands of rows from north to south: GeoTIFF (.tif, tiled), PNG
// with a world file (.png) or MBTiles (.mbtiles, reprojected to web Mercator with its zoom
// levels), by the path's extension. Alpha is kept. Nothing is in place under the path until
// Finish; an earlier file of that name stays until then.
class TRasterFileWriter {
 public:
  virtual ~TRasterFileWriter() = default;
  // rows rows of RGBA from row y, the next rows of the grid.
  virtual void WriteRows(int y, int rows, const std::uint8_t* rgba) = 0;
  virtual void Finish(const TWorkMeter* meter) = 0;
};

class TRasterDriver {
 public:
  virtual ~TRasterDriver() = default;
  // One source of one or more files (several form one mosaic). Raises EFormatError with a
  // one-line reason for a raster that cannot be placed on WGS 84 (no georeference, a
  // coordinate system that does not transform, pixels that are not 8-bit, files that do not
  // share their bands, a file that is not a regular file).
  virtual std::unique_ptr<TRasterSource> Open(const std::vector<std::string>& paths) = 0;
  virtual std::unique_ptr<TRasterFileWriter> Create(const std::string& path, const TGeoGrid& grid,
                                                    const TRasterFileOptions& options) = 0;
  // Whether the path's extension names a format Create writes.
  virtual bool Writes(const std::string& path) const = 0;
  // The file name patterns of the raster formats Open reads, for file dialogs.
  virtual std::vector<std::string> Patterns() const = 0;
};

// The driver, its module loaded on first use. Raises EIoError when the module is missing.
TRasterDriver& RasterDriver();

// The module's entry point, "BreloRasterDriver".
using TRasterDriverEntry = TRasterDriver& (*)();
constexpr char kRasterModule[] = "brelo-gdal.so";
constexpr char kRasterEntry[] = "BreloRasterDriver";

}  // namespace brelo
