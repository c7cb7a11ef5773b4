// SPDX-License-Identifier: GPL-3.0-or-later
// The GDAL module's entry point: the raster driver brelo's core reaches through GeoRaster.h.
#include <gdal.h>

#include "base/Paths.h"
#include "base/Text.h"
#include "raster/GeoRaster.h"
#include "raster/gdal/GdalFileWriter.h"
#include "raster/gdal/GdalSource.h"
#include "raster/gdal/GdalSupport.h"

namespace brelo::gdal {

namespace {

class TGdalDriver final : public TRasterDriver {
 public:
  std::unique_ptr<TRasterSource> Open(const std::vector<std::string>& paths) override {
    return std::make_unique<TGdalSource>(paths);
  }
  std::unique_ptr<TRasterFileWriter> Create(const std::string& path, const TGeoGrid& grid,
                                            const TRasterFileOptions& options) override {
    return std::make_unique<TGdalFileWriter>(path, grid, options);
  }
  bool Writes(const std::string& path) const override {
    const std::string ext = LowerAscii(ExtensionOf(path));
    return ext == ".tif" || ext == ".tiff" || ext == ".png" || ext == ".mbtiles";
  }
  std::vector<std::string> Patterns() const override {
    return {"*.tif",  "*.tiff", "*.vrt", "*.jpg", "*.jpeg", "*.png", "*.gif", "*.mbtiles",
            "*.gpkg", "*.jp2",  "*.img", "*.ecw", "*.sid",  "*.kap", "*.bmp"};
  }
};

}  // namespace

}  // namespace brelo::gdal

extern "C" __attribute__((visibility("default"))) brelo::TRasterDriver& BreloRasterDriver() {
  static brelo::gdal::TGdalDriver driver;
  return driver;
}
