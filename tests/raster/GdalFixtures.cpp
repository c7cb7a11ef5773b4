// SPDX-License-Identifier: GPL-3.0-or-later
#include "GdalFixtures.h"

#include <stdexcept>

#include <cpl_string.h>
#include <gdal.h>
#include <ogr_srs_api.h>

namespace brelo::test {

namespace {

OGRSpatialReferenceH Srs(const std::string& definition) {
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  OSRSetAxisMappingStrategy(srs, OAMS_TRADITIONAL_GIS_ORDER);
  if (OSRSetFromUserInput(srs, definition.c_str()) != OGRERR_NONE) throw std::runtime_error("bad srs " + definition);
  return srs;
}

void Transform(const std::string& from, const std::string& to, double& x, double& y) {
  OGRSpatialReferenceH a = Srs(from), b = Srs(to);
  OGRCoordinateTransformationH t = OCTNewCoordinateTransformation(a, b);
  const bool ok = t && OCTTransform(t, 1, &x, &y, nullptr);
  if (t) OCTDestroyCoordinateTransformation(t);
  OSRDestroySpatialReference(a);
  OSRDestroySpatialReference(b);
  if (!ok) throw std::runtime_error("transform failed");
}

}  // namespace

void WriteRaster(const std::string& path, const TFixtureRaster& r, const std::string& driver,
                 const std::vector<std::string>& options) {
  GDALAllRegister();
  const int bands = r.Palette ? 1 : r.Bands;
  const GDALDataType type = r.SixteenBit ? GDT_UInt16 : GDT_Byte;
  GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", r.Width, r.Height, bands, type, nullptr);
  if (r.GeoTransform) {
    std::vector<double> gt = *r.GeoTransform;
    GDALSetGeoTransform(mem, gt.data());
  }
  if (!r.Srs.empty()) {
    OGRSpatialReferenceH srs = Srs(r.Srs);
    GDALSetSpatialRef(mem, srs);
    OSRDestroySpatialReference(srs);
  }
  // Room for four values whatever the band count: a pixel function may fill RGB for a gray raster.
  std::vector<std::uint8_t> value(4);
  std::vector<std::uint16_t> row(static_cast<std::size_t>(r.Width));
  for (int b = 0; b < bands; ++b) {
    GDALRasterBandH band = GDALGetRasterBand(mem, b + 1);
    if (r.NoData) GDALSetRasterNoDataValue(band, *r.NoData);
    if (!r.Palette && bands == 2 && b == 1) GDALSetRasterColorInterpretation(band, GCI_AlphaBand);
    if (!r.Palette && bands == 4 && b == 3) GDALSetRasterColorInterpretation(band, GCI_AlphaBand);
    for (int y = 0; y < r.Height; ++y) {
      for (int x = 0; x < r.Width; ++x) {
        r.Pixel(x, y, value.data());
        row[static_cast<std::size_t>(x)] = r.SixteenBit ? static_cast<std::uint16_t>(value[b] * 257) : value[b];
      }
      if (GDALRasterIO(band, GF_Write, 0, y, r.Width, 1, row.data(), r.Width, 1, GDT_UInt16, 0, 0) != CE_None)
        throw std::runtime_error("RasterIO failed");
    }
  }
  if (r.Palette) {
    GDALColorTableH table = GDALCreateColorTable(GPI_RGB);
    for (int i = 0; i < 256; ++i) {
      GDALColorEntry e{static_cast<short>(i), static_cast<short>(255 - i), 0, 255};
      GDALSetColorEntry(table, i, &e);
    }
    GDALSetRasterColorTable(GDALGetRasterBand(mem, 1), table);
    GDALSetRasterColorInterpretation(GDALGetRasterBand(mem, 1), GCI_PaletteIndex);
    GDALDestroyColorTable(table);
  }
  char** list = nullptr;
  for (const auto& o : options) list = CSLAddString(list, o.c_str());
  GDALDatasetH out =
      GDALCreateCopy(GDALGetDriverByName(driver.c_str()), path.c_str(), mem, FALSE, list, nullptr, nullptr);
  CSLDestroy(list);
  GDALClose(mem);
  if (!out) throw std::runtime_error("cannot write " + path + ": " + CPLGetLastErrorMsg());
  GDALClose(out);
}

TReadRaster ReadRaster(const std::string& path) {
  GDALAllRegister();
  GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
  if (!ds) throw std::runtime_error("cannot open " + path);
  TReadRaster r;
  r.Width = GDALGetRasterXSize(ds), r.Height = GDALGetRasterYSize(ds), r.Bands = GDALGetRasterCount(ds);
  r.GeoTransform.resize(6);
  GDALGetGeoTransform(ds, r.GeoTransform.data());
  r.Wkt = GDALGetProjectionRef(ds);
  r.Driver = GDALGetDriverShortName(GDALGetDatasetDriver(ds));
  r.Pixels.resize(std::size_t(r.Width) * r.Height * r.Bands);
  const CPLErr err = GDALDatasetRasterIO(ds, GF_Read, 0, 0, r.Width, r.Height, r.Pixels.data(), r.Width, r.Height,
                                         GDT_Byte, r.Bands, nullptr, r.Bands, std::int64_t(r.Width) * r.Bands, 1);
  GDALClose(ds);
  if (err != CE_None) throw std::runtime_error("cannot read " + path);
  return r;
}

void ToWgs84(const std::string& srs, double x, double y, double& lon, double& lat) {
  lon = x, lat = y;
  Transform(srs, "EPSG:4326", lon, lat);
}

void FromWgs84(const std::string& srs, double lon, double lat, double& x, double& y) {
  x = lon, y = lat;
  Transform("EPSG:4326", srs, x, y);
}

}  // namespace brelo::test
