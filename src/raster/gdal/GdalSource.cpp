// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/gdal/GdalSource.h"

#include <algorithm>
#include <cmath>

#include <cpl_conv.h>
#include <cpl_string.h>
#include <gdal.h>
#include <gdal_alg.h>
#include <gdal_utils.h>
#include <ogr_srs_api.h>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "raster/gdal/GdalSupport.h"

namespace brelo::gdal {

namespace {

std::string Number(double v) { return Format("%.17g", v); }

enum class TLayout { Gray, GrayAlpha, Rgb, Rgba, Palette };

const char* LayoutName(TLayout l) {
  switch (l) {
    case TLayout::Gray: return "gray";
    case TLayout::GrayAlpha: return "gray with alpha";
    case TLayout::Rgb: return "RGB";
    case TLayout::Rgba: return "RGBA";
    case TLayout::Palette: return "palette";
  }
  return "";
}

// The band layout of an opened file; refuses what is not 8-bit gray, RGB, RGBA or palette.
TLayout LayoutOf(GDALDatasetH ds, const std::string& path) {
  const int n = GDALGetRasterCount(ds);
  for (int b = 1; b <= n; ++b) {
    const GDALDataType type = GDALGetRasterDataType(GDALGetRasterBand(ds, b));
    if (type != GDT_Byte)
      throw EFormatError(
          path + Format(": its pixels are %s, not 8-bit: only 8-bit rasters are read", GDALGetDataTypeName(type)));
  }
  auto interp = [&](int b) { return GDALGetRasterColorInterpretation(GDALGetRasterBand(ds, b)); };
  if (n == 1) return GDALGetRasterColorTable(GDALGetRasterBand(ds, 1)) ? TLayout::Palette : TLayout::Gray;
  if (n == 2 && interp(2) == GCI_AlphaBand) return TLayout::GrayAlpha;
  if (n == 3) return TLayout::Rgb;
  if (n == 4) return TLayout::Rgba;
  throw EFormatError(path + Format(": %d bands: only gray, RGB, RGBA and palette rasters are read", n));
}

bool HasGeoTransform(GDALDatasetH ds, double gt[6]) {
  return GDALGetGeoTransform(ds, gt) == CE_None &&
         !(gt[0] == 0 && gt[1] == 1 && gt[2] == 0 && gt[3] == 0 && gt[4] == 0 && gt[5] == 1);
}

// A VRT around ds made with GDALTranslate's arguments; raises with GDAL's reason.
GDALDatasetH Translated(GDALDatasetH ds, TArgs args, const std::string& path) {
  GDALTranslateOptions* options = GDALTranslateOptionsNew(args.Add({"-of", "VRT", "-q"}).Get(), nullptr);
  int usageError = 0;
  GDALDatasetH out = GDALTranslate("", ds, options, &usageError);
  GDALTranslateOptionsFree(options);
  if (!out) throw EFormatError(path + ": " + LastError("cannot be read as a raster"));
  return out;
}

bool SameCrs(const std::string& a, const std::string& b) {
  if (a == b) return true;
  OGRSpatialReferenceH sa = OSRNewSpatialReference(a.c_str()), sb = OSRNewSpatialReference(b.c_str());
  const char* options[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};
  const bool same = sa && sb && OSRIsSameEx(sa, sb, options);
  if (sa) OSRDestroySpatialReference(sa);
  if (sb) OSRDestroySpatialReference(sb);
  return same;
}

bool IsWgs84Geographic(const std::string& wkt) {
  if (wkt.empty()) return false;
  OGRSpatialReferenceH wgs = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(wgs, 4326);
  char* w = nullptr;
  OSRExportToWkt(wgs, &w);
  const bool same = SameCrs(wkt, w ? w : "");
  CPLFree(w);
  OSRDestroySpatialReference(wgs);
  return same;
}

struct TBox {
  double MinX, MinY, MaxX, MaxY;
};

TBox FootprintOf(GDALDatasetH ds) {
  double gt[6];
  GDALGetGeoTransform(ds, gt);
  const double w = GDALGetRasterXSize(ds), h = GDALGetRasterYSize(ds);
  TBox b{1e300, 1e300, -1e300, -1e300};
  for (double px : {0.0, w})
    for (double py : {0.0, h}) {
      const double x = gt[0] + px * gt[1] + py * gt[2], y = gt[3] + px * gt[4] + py * gt[5];
      b.MinX = std::min(b.MinX, x), b.MaxX = std::max(b.MaxX, x);
      b.MinY = std::min(b.MinY, y), b.MaxY = std::max(b.MaxY, y);
    }
  return b;
}

// Every file of a mosaic touches or overlaps another: a stray file would spread the map over
// empty country.
void RequireConnected(const std::vector<TBox>& boxes, const std::vector<std::string>& paths) {
  const std::size_t n = boxes.size();
  std::vector<bool> reached(n, false);
  std::vector<std::size_t> todo{0};
  reached[0] = true;
  auto touch = [&](const TBox& a, const TBox& b) {
    const double slack = 1e-9 * std::max({std::abs(a.MaxX), std::abs(a.MaxY), 1.0});
    return a.MinX <= b.MaxX + slack && b.MinX <= a.MaxX + slack && a.MinY <= b.MaxY + slack && b.MinY <= a.MaxY + slack;
  };
  while (!todo.empty()) {
    const std::size_t i = todo.back();
    todo.pop_back();
    for (std::size_t j = 0; j < n; ++j)
      if (!reached[j] && touch(boxes[i], boxes[j])) reached[j] = true, todo.push_back(j);
  }
  for (std::size_t j = 0; j < n; ++j)
    if (!reached[j]) throw EFormatError(paths[j] + ": it neither touches nor overlaps the other files of the mosaic");
}

}  // namespace

TGdalSource::TGdalSource(const std::vector<std::string>& paths) {
  Initialise();
  if (paths.empty()) throw EFormatError("no raster named");
  const std::string& first = paths.front();
  std::vector<GDALDatasetH> files;
  TLayout layout = TLayout::Rgb;
  std::string crs;
  std::vector<TBox> boxes;
  for (const auto& path : paths) {
    RequireRegularFiles(path);
    CPLErrorReset();
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (!ds) throw EFormatError(path + ": " + LastError("not a raster GDAL reads"));
    owned_.push_back(ds);
    const TLayout l = LayoutOf(ds, path);
    const std::string wkt = GDALGetProjectionRef(ds) ? GDALGetProjectionRef(ds) : "";
    const std::string gcpWkt = GDALGetGCPProjection(ds) ? GDALGetGCPProjection(ds) : "";
    double gt[6];
    const bool transform = HasGeoTransform(ds, gt);
    const bool gcps = GDALGetGCPCount(ds) > 0 && !gcpWkt.empty();
    GDALDatasetH use = ds;
    std::string fileCrs = wkt;
    if (wkt.empty() && !gcps) {
      if (!transform)
        throw EFormatError(path + (LowerAscii(ExtensionOf(path)) == ".map"
                                       ? ": it has no georeference GDAL reads (an OziExplorer map needs Point lines)"
                                       : ": it has no georeference (no coordinate system, no geotransform, no world "
                                         "file)"));
      const TBox b = FootprintOf(ds);
      if (b.MinX < -180.5 || b.MaxX > 360.5 || b.MinY < -90.5 || b.MaxY > 90.5)
        throw EFormatError(path +
                           ": it has a geotransform but no coordinate system, and its coordinates are "
                           "not degrees (add a .prj, .aux.xml or an embedded coordinate system)");
      use = Translated(ds, TArgs().Add({"-a_srs", "EPSG:4326"}), path);
      owned_.push_back(use);
      fileCrs = GDALGetProjectionRef(use);
      info_.Notes.push_back(FileNameOf(path) + ": no coordinate system given; taken as WGS 84 latitude/longitude");
    }
    if (gcps && !transform) fileCrs = gcpWkt;
    if (l == TLayout::Palette) {
      use = Translated(use, TArgs().Add({"-expand", "rgba"}), path);
      owned_.push_back(use);
    }
    if (files.empty()) {
      layout = l;
      crs = fileCrs;
    } else {
      if (l != layout)
        throw EFormatError(path + Format(": its bands (%s) differ from those of %s (%s): a mosaic needs one layout",
                                         LayoutName(l), first.c_str(), LayoutName(layout)));
      if (gcps && !transform) throw EFormatError(path + ": a file placed by control points alone cannot join a mosaic");
      if (!SameCrs(fileCrs, crs))
        throw EFormatError(path + ": its coordinate system (" + CrsName(fileCrs) + ") differs from that of " + first +
                           " (" + CrsName(crs) + "): a mosaic needs one");
    }
    files.push_back(use);
    if (paths.size() > 1) boxes.push_back(FootprintOf(use));
  }

  if (files.size() == 1) {
    dataset_ = files.front();
  } else {
    RequireConnected(boxes, paths);
    TArgs args;
    // Gaps between the files read as transparent rather than black.
    if (layout == TLayout::Gray || layout == TLayout::Rgb) args.Add("-addalpha");
    GDALBuildVRTOptions* options = GDALBuildVRTOptionsNew(args.Add("-q").Get(), nullptr);
    int usageError = 0;
    dataset_ = GDALBuildVRT("", static_cast<int>(files.size()), files.data(), nullptr, options, &usageError);
    GDALBuildVRTOptionsFree(options);
    if (!dataset_) throw EFormatError(first + ": " + LastError("the files do not form a mosaic"));
    owned_.push_back(dataset_);
  }
  PlaceOnWgs84(paths, static_cast<int>(layout), crs);
}

TGdalSource::~TGdalSource() {
  // Derived datasets first: each holds a reference to the one it was made from.
  for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) GDALClose(*it);
}

void TGdalSource::PlaceOnWgs84(const std::vector<std::string>& paths, int layout, const std::string& crs) {
  const std::string& first = paths.front();
  const int w = GDALGetRasterXSize(dataset_), h = GDALGetRasterYSize(dataset_);
  double gt[6];
  const bool transform = HasGeoTransform(dataset_, gt);
  geographic_ = transform && IsWgs84Geographic(crs) && gt[2] == 0 && gt[4] == 0 && gt[1] > 0 && gt[5] < 0;

  char** options = CSLSetNameValue(nullptr, "DST_SRS", "EPSG:4326");
  CPLErrorReset();
  void* transformer = GDALCreateGenImgProjTransformer2(dataset_, nullptr, options);
  CSLDestroy(options);
  if (!transformer)
    throw EFormatError(first + ": its coordinate system (" + CrsName(crs) +
                       ") cannot be transformed to WGS 84: " + LastError("no transformation is known"));
  double suggested[6], extent[4];
  int pixels = 0, lines = 0;
  const CPLErr suggestion =
      GDALSuggestedWarpOutput2(dataset_, GDALGenImgProjTransform, transformer, suggested, &pixels, &lines, extent, 0);
  // Ground size of one source pixel at the centre.
  double x[3] = {w / 2.0, w / 2.0 + 1, w / 2.0}, y[3] = {h / 2.0, h / 2.0, h / 2.0 + 1}, z[3] = {0, 0, 0};
  int ok[3] = {0, 0, 0};
  const bool centred = GDALGenImgProjTransform(transformer, FALSE, 3, x, y, z, ok) && ok[0] && ok[1] && ok[2];
  GDALDestroyGenImgProjTransformer(transformer);
  if (suggestion != CE_None || !centred)
    throw EFormatError(first + ": it cannot be placed on WGS 84: " + LastError("the transformation fails"));

  const double west = extent[0], south = extent[1], east = extent[2], north = extent[3];
  if (!(west >= -180.0 - 1e-9 && east <= 180.0 + 1e-9 && east - west < 180 && south >= -90 && north <= 90))
    throw EFormatError(first + Format(": its area (%.6f to %.6f E) crosses the antimeridian or leaves the globe; "
                                      "make a map of each side separately",
                                      west, east));
  const double lat = y[0];
  const double ax = (x[1] - x[0]) * MetresPerDegreeLon(lat), ay = (y[1] - y[0]) * MetresPerDegreeLat(lat);
  const double bx = (x[2] - x[0]) * MetresPerDegreeLon(lat), by = (y[2] - y[0]) * MetresPerDegreeLat(lat);
  // The side of a square of the pixel's ground area.
  info_.MetresPerPixel = std::sqrt(std::abs(ax * by - ay * bx));
  if (!(info_.MetresPerPixel > 0)) throw EFormatError(first + ": its pixels have no ground size");

  TGeoGrid& g = info_.Grid;
  if (geographic_) {
    g = {gt[0], gt[3], gt[1], -gt[5], w, h};
  } else {
    g.West = west, g.North = north;
    g.PixelLon = info_.MetresPerPixel / MetresPerDegreeLon(lat);
    g.PixelLat = info_.MetresPerPixel / MetresPerDegreeLat(lat);
    g.Width = std::max(1, static_cast<int>(std::ceil((east - west) / g.PixelLon - 1e-6)));
    g.Height = std::max(1, static_cast<int>(std::ceil((north - south) / g.PixelLat - 1e-6)));
  }
  std::string crsName = CrsName(crs);
  info_.Summary =
      (paths.size() > 1 ? Format("%zu files from %s", paths.size(), FileNameOf(first).c_str()) : FileNameOf(first)) +
      Format(": %d x %d, %s, ", w, h, LayoutName(static_cast<TLayout>(layout))) +
      (crsName.empty() ? "placed by control points" : crsName);
}

void TGdalSource::Read(const TGeoGrid& grid, int x, int y, int width, int height, TResampling resampling,
                       std::vector<std::uint8_t>& rgba) {
  rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
  if (width <= 0 || height <= 0) return;
  double gt[6];
  GDALGetGeoTransform(dataset_, gt);
  const double ox = (grid.West - gt[0]) / gt[1] + x, oy = (grid.North - gt[3]) / gt[5] + y;
  if (geographic_ && std::abs(grid.PixelLon - gt[1]) < 1e-12 * gt[1] &&
      std::abs(grid.PixelLat + gt[5]) < 1e-12 * -gt[5] && std::abs(ox - std::round(ox)) < 1e-6 &&
      std::abs(oy - std::round(oy)) < 1e-6) {
    ReadDirect(static_cast<int>(std::lround(ox)), static_cast<int>(std::lround(oy)), width, height, rgba);
    return;
  }
  TArgs args;
  args.Add({"-of", "MEM", "-t_srs", "EPSG:4326", "-r", ResamplingName(resampling), "-dstalpha", "-multi", "-wo",
            "NUM_THREADS=ALL_CPUS", "-wm", "16", "-q"});
  args.Add(
      {"-te", Number(grid.Lon(x)), Number(grid.Lat(y + height)), Number(grid.Lon(x + width)), Number(grid.Lat(y))});
  args.Add({"-ts", std::to_string(width), std::to_string(height)});
  GDALWarpAppOptions* options = GDALWarpAppOptionsNew(args.Get(), nullptr);
  int usageError = 0;
  CPLErrorReset();
  GDALDatasetH source = dataset_;
  GDALDatasetH warped = GDALWarp("", nullptr, 1, &source, options, &usageError);
  GDALWarpAppOptionsFree(options);
  if (!warped) throw EFormatError(info_.Summary + ": " + LastError("warping failed"));
  const int bands = GDALGetRasterCount(warped);
  CPLErr err = CE_None;
  // The last band is the alpha band; one colour band is gray.
  for (int c = 0; c < 4 && err == CE_None; ++c) {
    const int band = c == 3 ? bands : bands - 1 == 1 ? 1 : c + 1;
    err = GDALRasterIO(GDALGetRasterBand(warped, band), GF_Read, 0, 0, width, height, rgba.data() + c, width, height,
                       GDT_Byte, 4, static_cast<GSpacing>(width) * 4);
  }
  GDALClose(warped);
  if (err != CE_None) throw EFormatError(info_.Summary + ": " + LastError("reading failed"));
}

void TGdalSource::ReadDirect(int ox, int oy, int width, int height, std::vector<std::uint8_t>& rgba) {
  const int w = GDALGetRasterXSize(dataset_), h = GDALGetRasterYSize(dataset_);
  // The part of the window inside the raster; the rest stays transparent.
  const int x0 = std::max(0, ox), y0 = std::max(0, oy), x1 = std::min(w, ox + width), y1 = std::min(h, oy + height);
  if (x1 <= x0 || y1 <= y0) return;
  const int cw = x1 - x0, ch = y1 - y0;
  std::uint8_t* at = rgba.data() + (static_cast<std::size_t>(y0 - oy) * width + (x0 - ox)) * 4;
  const GSpacing line = static_cast<GSpacing>(width) * 4;
  const int bands = GDALGetRasterCount(dataset_);
  const int colours = bands >= 3 ? 3 : 1;
  GDALRasterBandH first = GDALGetRasterBand(dataset_, 1);
  CPLErr err = CE_None;
  for (int c = 0; c < 3 && err == CE_None; ++c)
    err = GDALRasterIO(GDALGetRasterBand(dataset_, colours == 3 ? c + 1 : 1), GF_Read, x0, y0, cw, ch, at + c, cw, ch,
                       GDT_Byte, 4, line);
  // The mask band covers an alpha band, nodata values and a dataset's own mask alike.
  if (err == CE_None)
    err = GDALRasterIO(GDALGetMaskBand(first), GF_Read, x0, y0, cw, ch, at + 3, cw, ch, GDT_Byte, 4, line);
  if (err != CE_None) throw EFormatError(info_.Summary + ": " + LastError("reading failed"));
}

}  // namespace brelo::gdal
