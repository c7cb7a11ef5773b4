// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/gdal/GdalFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include <cpl_conv.h>
#include <cpl_string.h>
#include <gdal_utils.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Platform.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "raster/gdal/GdalSupport.h"

namespace brelo::gdal {

namespace {

struct TDatasetCloser {
  void operator()(void* ds) const { GDALClose(ds); }
};
// A dataset closed on every path; one whose close must be checked is released to Close.
using TDataset = std::unique_ptr<void, TDatasetCloser>;

std::string Number(double v) { return Format("%.17g", v); }

// A name beside path for a file being made: hidden, unique, removed unless renamed.
std::string PartName(const std::string& path, const std::string& ext) {
  std::string name = FolderOf(path) + "." + FileNameOf(path) + ".brelo-XXXXXX";
  const int fd = platform::CreateUniqueFile(name);
  if (fd < 0) throw EIoError(path + ": cannot create a file beside it");
  ::close(fd);
  std::remove(name.c_str());
  return name + ext;
}

void RemoveFiles(const std::vector<std::string>& paths) {
  for (const auto& p : paths) std::remove(p.c_str());
}

// Overview factors 2, 4, ... until the smaller side is at most 256 pixels.
std::vector<int> OverviewFactors(int width, int height) {
  std::vector<int> factors;
  for (int f = 2; std::min(width, height) / (f / 2) > 256; f *= 2) factors.push_back(f);
  return factors;
}

// The system's reason for the first failure GDAL reports on this thread while it lives: the
// drivers put a full disk in their own words ("TIFFRewriteDirectory: Error fetching directory
// count", "database disk image is malformed"), but errno still holds the write's reason when
// they report it.
class TSystemReason {
 public:
  TSystemReason() { CPLPushErrorHandlerEx(&TSystemReason::Handler, this); }
  ~TSystemReason() { CPLPopErrorHandler(); }
  TSystemReason(const TSystemReason&) = delete;
  TSystemReason& operator=(const TSystemReason&) = delete;
  // The reason for a failed write: the system's, else GDAL's last error, else fallback.
  std::string Text(const std::string& fallback) const {
    return errno_ ? std::string(std::strerror(errno_)) : LastError(fallback);
  }

 private:
  static void CPL_STDCALL Handler(CPLErr kind, CPLErrorNum, const char*) {
    const int e = errno;
    auto* self = static_cast<TSystemReason*>(CPLGetErrorHandlerUserData());
    if (kind >= CE_Failure && self->errno_ == 0 && (e == ENOSPC || e == EDQUOT || e == EFBIG || e == EIO || e == EROFS))
      self->errno_ = e;
  }
  int errno_ = 0;
};

// Closes ds, which writes what GDAL still holds of it; a failure of the close raises EIoError.
void Close(GDALDatasetH ds, const std::string& path, const TSystemReason& reason) {
  CPLErrorReset();
  GDALClose(ds);
  if (CPLGetLastErrorType() >= CE_Failure) throw EIoError(path + ": " + reason.Text("writing failed"));
}

void BuildOverviews(GDALDatasetH ds, const std::string& path, const TWorkMeter* meter, const TSystemReason& reason) {
  std::vector<int> factors = OverviewFactors(GDALGetRasterXSize(ds), GDALGetRasterYSize(ds));
  if (factors.empty()) return;
  auto progress = [](double done, const char*, void* arg) -> int {
    const auto* m = static_cast<const TWorkMeter*>(arg);
    if (!m) return TRUE;
    m->Advance(static_cast<std::uint64_t>(done * 1000), 1000);
    return m->Cancelled() ? FALSE : TRUE;
  };
  if (GDALBuildOverviews(ds, "AVERAGE", static_cast<int>(factors.size()), factors.data(), 0, nullptr, progress,
                         const_cast<TWorkMeter*>(meter)) != CE_None) {
    if (meter && meter->Cancelled()) throw ECancelled();
    throw EIoError(path + ": " + reason.Text("building overviews failed"));
  }
}

}  // namespace

TGdalFileWriter::TGdalFileWriter(const std::string& path, const TGeoGrid& grid, const TRasterFileOptions& options)
    : path_(path), grid_(grid), options_(options) {
  Initialise();
  const std::string ext = LowerAscii(ExtensionOf(path));
  kind_ = ext == ".png" ? TKind::Png : ext == ".mbtiles" ? TKind::MbTiles : TKind::GeoTiff;
  if (ext != ".tif" && ext != ".tiff" && ext != ".png" && ext != ".mbtiles")
    throw EFormatError(path + ": the extension names no format written here (.tif, .png, .mbtiles)");
  if (grid.Width <= 0 || grid.Height <= 0) throw EFormatError(path + ": an empty raster");
  // A GeoTIFF is written in place of its final name; the others go through one first.
  const bool jpeg = kind_ == TKind::GeoTiff && options.Compression == TRasterCompression::Jpeg;
  tiff_ = PartName(path, ".tif");
  parts_.push_back(tiff_);
  TArgs co;
  // Blocks are compressed on every core.
  co.Add({"TILED=YES", "BLOCKXSIZE=256", "BLOCKYSIZE=256", "BIGTIFF=IF_SAFER", "NUM_THREADS=ALL_CPUS"});
  // PNG and MBTiles keep their alpha; the GeoTIFF only when it can have gaps.
  alpha_ = kind_ != TKind::GeoTiff || options.Alpha;
  if (kind_ != TKind::GeoTiff) {
    co.Add({"COMPRESS=DEFLATE", "ZLEVEL=1"});
  } else if (jpeg) {
    co.Add({"COMPRESS=JPEG", "PHOTOMETRIC=YCBCR", Format("JPEG_QUALITY=%d", options.JpegQuality)});
  } else {
    // Level 3 of libdeflate: nearly the size of the default at twice its speed.
    co.Add({"COMPRESS=DEFLATE", "ZLEVEL=1"});
  }
  if (alpha_ && !jpeg) co.Add("ALPHA=YES");
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  // JPEG in TIFF holds three bands; the alpha goes into an internal mask.
  CPLSetThreadLocalConfigOption("GDAL_TIFF_INTERNAL_MASK", "YES");
  dataset_ = GDALCreate(driver, tiff_.c_str(), grid.Width, grid.Height, jpeg || !alpha_ ? 3 : 4, GDT_Byte, co.Get());
  if (!dataset_) throw EIoError(path + ": " + LastError("cannot be created"));
  const double gt[6] = {grid.West, grid.PixelLon, 0, grid.North, 0, -grid.PixelLat};
  GDALSetGeoTransform(dataset_, const_cast<double*>(gt));
  GDALSetProjection(dataset_, "EPSG:4326");
  if (jpeg && alpha_) {
    if (GDALCreateDatasetMaskBand(dataset_, GMF_PER_DATASET) != CE_None)
      throw EIoError(path + ": " + LastError("cannot hold a mask"));
    mask_ = true;
  } else if (alpha_ && !jpeg) {
    GDALSetRasterColorInterpretation(GDALGetRasterBand(dataset_, 4), GCI_AlphaBand);
  }
}

TGdalFileWriter::~TGdalFileWriter() {
  if (dataset_) GDALClose(dataset_);
  RemoveFiles(parts_);
}

void TGdalFileWriter::WriteRows(int y, int rows, const std::uint8_t* rgba) {
  const TSystemReason reason;
  const GSpacing line = static_cast<GSpacing>(grid_.Width) * 4;
  const int colours = mask_ || !alpha_ ? 3 : 4;
  CPLErr err = CE_None;
  err = GDALDatasetRasterIO(dataset_, GF_Write, 0, y, grid_.Width, rows, const_cast<std::uint8_t*>(rgba), grid_.Width,
                            rows, GDT_Byte, colours, nullptr, 4, line, 1);
  if (err == CE_None && mask_) {
    // The mask takes 0 or 255.
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(grid_.Width) * rows);
    for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = rgba[i * 4 + 3] ? 255 : 0;
    err = GDALRasterIO(GDALGetMaskBand(GDALGetRasterBand(dataset_, 1)), GF_Write, 0, y, grid_.Width, rows, mask.data(),
                       grid_.Width, rows, GDT_Byte, 1, grid_.Width);
  }
  if (err != CE_None) throw EIoError(path_ + ": " + reason.Text("writing failed"));
}

void TGdalFileWriter::Finish(const TWorkMeter* meter) {
  const TSystemReason reason;
  if (kind_ == TKind::GeoTiff) {
    if (options_.Overviews) BuildOverviews(dataset_, path_, meter, reason);
    // The handle is given up before closing: a close that fails is not followed by another.
    Close(std::exchange(dataset_, nullptr), path_, reason);
    Commit(tiff_, path_);
    return;
  }
  Close(std::exchange(dataset_, nullptr), path_, reason);
  TDataset tiff(GDALOpen(tiff_.c_str(), GA_ReadOnly));
  if (!tiff) throw EIoError(path_ + ": " + LastError("the part written cannot be read back"));
  const std::string out = PartName(path_, LowerAscii(ExtensionOf(path_)));
  parts_.push_back(out);
  parts_.push_back(out + ".aux.xml");
  auto progress = [](double done, const char*, void* arg) -> int {
    const auto* m = static_cast<const TWorkMeter*>(arg);
    if (!m) return TRUE;
    m->Advance(static_cast<std::uint64_t>(done * 1000), 1000);
    return m->Cancelled() ? FALSE : TRUE;
  };
  TDataset made;
  if (kind_ == TKind::Png) {
    made.reset(GDALCreateCopy(GDALGetDriverByName("PNG"), out.c_str(), tiff.get(), FALSE, nullptr, progress,
                              const_cast<TWorkMeter*>(meter)));
  } else {
    // Web Mercator on a warped view of the part, copied into the tiles of a zoom level.
    TArgs args;
    args.Add({"-of", "VRT", "-t_srs", "EPSG:3857", "-r", "cubic", "-q"});
    GDALWarpAppOptions* options = GDALWarpAppOptionsNew(args.Get(), nullptr);
    int usageError = 0;
    GDALDatasetH source = tiff.get();
    TDataset mercator(GDALWarp("", nullptr, 1, &source, options, &usageError));
    GDALWarpAppOptionsFree(options);
    if (mercator) {
      TArgs co;
      co.Add({"TILE_FORMAT=PNG", "ZOOM_LEVEL_STRATEGY=UPPER", "NAME=" + FileNameOf(WithoutExtension(path_))});
      made.reset(GDALCreateCopy(GDALGetDriverByName("MBTiles"), out.c_str(), mercator.get(), FALSE, co.Get(), progress,
                                const_cast<TWorkMeter*>(meter)));
    }
    mercator.reset();
    tiff.reset();
    if (made) {
      Close(made.release(), path_, reason);
      made.reset(GDALOpenEx(out.c_str(), GDAL_OF_RASTER | GDAL_OF_UPDATE, nullptr, nullptr, nullptr));
      if (made) BuildOverviews(made.get(), path_, meter, reason);
    }
  }
  tiff.reset();
  if (!made) {
    if (meter && meter->Cancelled()) throw ECancelled();
    throw EIoError(path_ + ": " + reason.Text("cannot be written"));
  }
  Close(made.release(), path_, reason);
  if (kind_ == TKind::Png) WriteWorldFile(ChangeExtension(out, ".pgw"));
  Commit(out, path_);
  if (FileExists(out + ".aux.xml")) Commit(out + ".aux.xml", path_ + ".aux.xml");
  if (kind_ == TKind::Png) Commit(ChangeExtension(out, ".pgw"), ChangeExtension(path_, ".pgw"));
}

void TGdalFileWriter::WriteWorldFile(const std::string& path) {
  // Pixel sizes and the centre of the top-left pixel.
  const std::string text = Number(grid_.PixelLon) + "\n0\n0\n" + Number(-grid_.PixelLat) + "\n" +
                           Number(grid_.West + grid_.PixelLon / 2) + "\n" + Number(grid_.North - grid_.PixelLat / 2) +
                           "\n";
  parts_.push_back(path);
  WriteFileBytes(path, text.data(), text.size());
}

void TGdalFileWriter::Commit(const std::string& part, const std::string& final) {
  if (std::rename(part.c_str(), final.c_str()) != 0) throw EIoError(final + ": cannot be put in place");
  std::erase(parts_, part);
}

}  // namespace brelo::gdal
