// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Raster files through GDAL: a tiled GeoTIFF written band by band, or a part in that form
// turned into PNG or MBTiles when finished. Parts beside the destination are hidden and
// removed on every path but success.
#include <string>
#include <vector>

#include <gdal.h>

#include "raster/GeoRaster.h"

namespace brelo::gdal {

class TGdalFileWriter final : public TRasterFileWriter {
 public:
  TGdalFileWriter(const std::string& path, const TGeoGrid& grid, const TRasterFileOptions& options);
  ~TGdalFileWriter() override;
  TGdalFileWriter(const TGdalFileWriter&) = delete;
  TGdalFileWriter& operator=(const TGdalFileWriter&) = delete;

  void WriteRows(int y, int rows, const std::uint8_t* rgba) override;
  void Finish(const TWorkMeter* meter) override;

 private:
  enum class TKind { GeoTiff, Png, MbTiles };
  void WriteWorldFile(const std::string& path);
  void Commit(const std::string& part, const std::string& final);

  std::string path_;
  TGeoGrid grid_;
  TRasterFileOptions options_;
  TKind kind_ = TKind::GeoTiff;
  std::string tiff_;                // the part written band by band
  std::vector<std::string> parts_;  // removed unless put in place
  GDALDatasetH dataset_ = nullptr;
  bool alpha_ = true;
  bool mask_ = false;  // alpha kept in an internal mask (JPEG)
};

}  // namespace brelo::gdal
