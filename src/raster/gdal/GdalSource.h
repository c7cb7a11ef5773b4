// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A raster source through GDAL: one file or a mosaic of several, palettes expanded, placed on
// WGS 84 by GDAL's transformer and read by its warper (or directly, for a source that is on
// WGS 84 already and read on its own grid).
#include <string>
#include <vector>

#include <gdal.h>

#include "raster/GeoRaster.h"

namespace brelo::gdal {

class TGdalSource final : public TRasterSource {
 public:
  explicit TGdalSource(const std::vector<std::string>& paths);
  ~TGdalSource() override;
  TGdalSource(const TGdalSource&) = delete;
  TGdalSource& operator=(const TGdalSource&) = delete;

  const TRasterSourceInfo& Info() const override { return info_; }
  void Read(const TGeoGrid& grid, int x, int y, int width, int height, TResampling resampling,
            std::vector<std::uint8_t>& rgba) override;

 private:
  void PlaceOnWgs84(const std::vector<std::string>& paths, int layout, const std::string& crs);
  void ReadDirect(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba);

  std::vector<GDALDatasetH> owned_;  // in the order they were made
  GDALDatasetH dataset_ = nullptr;   // what is read: the file, its expansion or the mosaic
  bool geographic_ = false;          // on WGS 84 already, north up
  TRasterSourceInfo info_;
};

}  // namespace brelo::gdal
