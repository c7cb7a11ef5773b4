// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/ImageCutter.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "MyJpeg/JpegImage.h"
#include "base/Errors.h"
#include "base/OrderedWorkers.h"
#include "base/Paths.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "base/TileSpool.h"
#include "jnx/JnxMap.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"
#include "pictures/PictureReader.h"
#include "uMapCreation/Calibration.h"
#include "uMapCreation/CreatedMapWriter.h"
#include "uMapCreation/MapSource.h"

namespace brelo {

std::vector<TCutTile> CutLayout(int iw, int ih, int tw, int th) {
  const int fx = iw / tw, rx = iw % tw, fy = ih / th, ry = ih % th;
  std::vector<TCutTile> tiles;
  for (int c = 0; c < fx; ++c)
    for (int r = 0; r < fy; ++r) tiles.push_back({0, c * tw, r * th, tw, th});
  if (rx > 0)
    for (int r = 0; r < fy; ++r) tiles.push_back({0, fx * tw, r * th, rx, th});
  if (ry > 0)
    for (int c = 0; c < fx; ++c) tiles.push_back({0, c * tw, fy * th, tw, ry});
  if (rx > 0 && ry > 0) tiles.push_back({0, fx * tw, fy * th, rx, ry});
  for (std::size_t k = 0; k < tiles.size(); ++k) tiles[k].Number = static_cast<int>(k) + 1;
  return tiles;
}

std::string CutTileName(const std::string& base, const TCutTile& t) {
  return Format("%s#%.4d_%d_%d.jpg", base.c_str(), t.Number, t.X, t.Y);
}

std::string FindMapPicture(const std::string& mapPath, const std::vector<std::string>& lines) {
  const std::string written = lines.size() >= 3 ? TrimControls(lines[2]) : std::string();
  std::string image = written;
  if (image.empty() || !FileExists(image)) image = FolderOf(mapPath) + FileNameOf(written);
  if (written.empty() || !FileExists(image))
    throw EPictureNotFound("Image file\n" + FileNameOf(written) + "\nnot found!");
  return image;
}

namespace {

// Band buffers handed back by the last tile encoded from them and taken again for a later band:
// fresh buffers of a few megabytes would be faulted in page by page for every band.
class TBandPool {
 public:
  std::shared_ptr<TPixelBuffer> Take() {
    std::unique_ptr<TPixelBuffer> band;
    {
      std::lock_guard lock(mutex_);
      if (!free_.empty()) band = std::move(free_.back()), free_.pop_back();
    }
    if (!band) band = std::make_unique<TPixelBuffer>();
    return {band.release(), [this](TPixelBuffer* b) {
              std::lock_guard lock(mutex_);
              free_.emplace_back(b);
            }};
  }

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<TPixelBuffer>> free_;
};

}  // namespace

void CutPictureInBands(const std::string& picturePath, const std::vector<TCutTile>& layout, int tileHeight,
                       const std::function<void(const TCutTile&, std::vector<std::uint8_t>&)>& onTile,
                       const std::function<void(int done, int total)>& progress) {
  auto picture = OpenPicture(picturePath, tileHeight);
  const int ih = picture->Height();
  const int total = static_cast<int>(layout.size());
  // The tiles of each band, in layout order, and how many tiles the bands up to each hold.
  std::vector<std::vector<const TCutTile*>> bands(static_cast<std::size_t>((ih + tileHeight - 1) / tileHeight));
  for (const auto& t : layout) bands.at(static_cast<std::size_t>(t.Y / tileHeight)).push_back(&t);
  std::size_t widest = 0;
  for (const auto& b : bands) widest = std::max(widest, b.size());
  // A tile is encoded straight from its band, which goes back to the pool with its last tile.
  struct TJob {
    const TCutTile* Tile = nullptr;
    std::shared_ptr<TPixelBuffer> Band;
    std::vector<std::uint8_t> Jpeg;
  };
  TBandPool pool;
  // The picture is decoded band by band on this thread while the workers encode the tiles cut
  // from the bands before; tiles reach onTile in layout order, one band after another. A whole
  // band is handed in without waiting for the workers, so that decoding never stalls.
  int done = 0, bandEnd = 0;
  std::size_t band = 0;
  const unsigned threads = PipelineThreads();
  TOrderedWorkers<TJob, TJob> encoder(
      threads, widest + 2 * std::size_t(threads),
      [tileHeight](TJob& job) {
        const TCutTile& t = *job.Tile;
        EncodeJpeg(job.Band->View(t.X, t.Y % tileHeight, t.Width, t.Height), 90, false, false, job.Jpeg);
        job.Band.reset();
        return std::move(job);
      },
      [&](TJob& job) {
        onTile(*job.Tile, job.Jpeg);
        ++done;
        while (band < bands.size() && done >= bandEnd + static_cast<int>(bands[band].size())) {
          bandEnd += static_cast<int>(bands[band++].size());
          if (progress) progress(bandEnd, total);
        }
      });
  for (std::size_t b = 0; b < bands.size(); ++b) {
    const int top = static_cast<int>(b) * tileHeight;
    std::shared_ptr<TPixelBuffer> rows = pool.Take();
    picture->ReadRows(std::min(tileHeight, ih - top), *rows);
    for (const TCutTile* t : bands[b]) encoder.Submit({t, rows, {}});
  }
  encoder.Finish();
}

bool CutImageToTiles(const std::string& mapPath, int tileWidth, int tileHeight, const ProgressSink& info) {
  if (tileWidth <= 0 || tileHeight <= 0) throw EFormatError(Format("bad tile size %d x %d", tileWidth, tileHeight));
  const auto mapBytes = ReadFileBytes(mapPath);
  const std::string image = FindMapPicture(mapPath, SplitLines(std::string(mapBytes.begin(), mapBytes.end())));
  std::string base = FileNameOf(WithoutExtension(mapPath));
  std::replace(base.begin(), base.end(), '_', '-');
  const std::string folder = WithoutExtension(mapPath) + "/";
  const bool folderCreated = CreateFolder(folder);
  CreateFolder(folder + "set/");
  const std::string imageName = FileNameOf(image);
  if (info) info(imageName + ": Loading...");
  std::unique_ptr<TPictureReader> probe = OpenPicture(image, tileHeight);
  const std::vector<TCutTile> layout = CutLayout(probe->Width(), probe->Height(), tileWidth, tileHeight);
  probe.reset();
  CutPictureInBands(
      image, layout, tileHeight,
      [&](const TCutTile& t, std::vector<std::uint8_t>& jpeg) {
        WriteFileBytes(folder + "set/" + CutTileName(base, t), jpeg.data(), jpeg.size());
      },
      [&](int done, int total) {
        if (info) info(Format("%s: Cutting %d/%d", imageName.c_str(), done, total));
      });
  std::string set;
  for (const auto& t : layout) set += CutTileName(base, t) + "\r\n";
  WriteFileBytes(folder + FileNameOf(ChangeExtension(mapPath, ".set")), set.data(), set.size());
  WriteFileBytes(folder + FileNameOf(mapPath), mapBytes.data(), mapBytes.size());
  if (info)
    info(Format("%s: Cutting %d/%d finished.", imageName.c_str(), static_cast<int>(layout.size()),
                static_cast<int>(layout.size())));
  return folderCreated;
}

void BuildJnxFromPicture(const TCreationParams& p, int tileWidth, int tileHeight, const ProgressSink& info,
                         const TWorkMeter* meter) {
  // Cutting is the first half of the work, writing the second.
  auto advance = [meter](std::uint64_t done, std::uint64_t total) {
    if (!meter) return;
    meter->Advance(done, total);
    if (meter->Cancelled()) throw ECancelled();
  };
  const std::string& S = p.Source;
  const std::string title = FileNameOf(WithoutExtension(S));
  if (tileWidth <= 0 || tileHeight <= 0) throw EFormatError(Format("bad tile size %d x %d", tileWidth, tileHeight));
  if (ScaleValue(p.ScaleName) < 0) throw EFormatError("unknown eTrex scale name \"" + p.ScaleName + "\"");
  const auto mapBytes = ReadFileBytes(S);
  const auto lines = SplitLines(std::string(mapBytes.begin(), mapBytes.end()));
  const std::string image = FindMapPicture(S, lines);
  const TPixelCalibration cal = TPixelCalibration::FromMapLines(lines);
  const std::string imageName = FileNameOf(image);
  if (info) info(imageName + ": Loading...");
  std::unique_ptr<TPictureReader> probe = OpenPicture(image, tileHeight);
  const std::vector<TCutTile> layout = CutLayout(probe->Width(), probe->Height(), tileWidth, tileHeight);
  probe.reset();
  if (layout.empty() || layout.size() > static_cast<std::size_t>(kMaxCreatedTiles))
    throw EFormatError(Format("%s: %zu tiles", S.c_str(), layout.size()));

  // Tiles arrive band by band; they wait in a temporary file and go into the map in their
  // column-by-column order.
  TTileSpool spool(FolderOf(S));
  CutPictureInBands(
      image, layout, tileHeight,
      [&](const TCutTile& t, std::vector<std::uint8_t>& jpeg) { spool.Put(std::to_string(t.Number), jpeg); },
      [&](int done, int total) {
        advance(static_cast<std::uint64_t>(done), 2 * static_cast<std::uint64_t>(total));
        if (info) info(Format("%s: Cutting %d/%d", imageName.c_str(), done, total));
      });
  TCreatedMapWriter writer(ChangeExtension(S, ".jnx"), p, cal, static_cast<int>(layout.size()));
  for (std::size_t k = 0; k < layout.size(); ++k) {
    advance(layout.size() + k, 2 * layout.size());
    if (info) info(Format("%s: Writing %zu/%zu", title.c_str(), k + 1, layout.size()));
    const TCutTile& t = layout[k];
    writer.AddTile(t.X, t.Y, t.Width, t.Height, spool.Get(std::to_string(t.Number)));
  }
  writer.Finish();
}

}  // namespace brelo
