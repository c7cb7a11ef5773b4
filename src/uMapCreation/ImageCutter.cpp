#include "uMapCreation/ImageCutter.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "MyJpeg/JpegImage.h"
#include "jnx/Errors.h"
#include "jnx/Paths.h"
#include "jnx/Pipeline.h"
#include "jnx/Stream.h"
#include "jnx/Text.h"
#include "uMapCreation/MapSource.h"
#include "uMapCreation/PictureReader.h"

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

bool CutImageToTiles(const std::string& mapPath, int tileWidth, int tileHeight, const TCreationSinks& sinks,
                     bool& folderCreated) {
  folderCreated = false;
  if (tileWidth <= 0 || tileHeight <= 0) throw EFormatError(Format("bad tile size %d x %d", tileWidth, tileHeight));
  const auto mapBytes = ReadFileBytes(mapPath);
  const auto lines = SplitLines(std::string(mapBytes.begin(), mapBytes.end()));
  const std::string written = lines.size() >= 3 ? TrimControls(lines[2]) : std::string();
  std::string image = written;
  if (image.empty() || !FileExists(image)) image = FolderOf(mapPath) + FileNameOf(written);
  if (written.empty() || !FileExists(image)) {
    if (sinks.ShowError) sinks.ShowError("Image file\n" + FileNameOf(written) + "\nnot found!");
    return false;
  }
  std::string base = FileNameOf(WithoutExtension(mapPath));
  std::replace(base.begin(), base.end(), '_', '-');
  const std::string folder = WithoutExtension(mapPath) + "/";
  folderCreated = CreateFolder(folder);
  CreateFolder(folder + "set/");
  const std::string imageName = FileNameOf(image);
  if (sinks.Info) sinks.Info(imageName + ": Loading...");

  auto picture = OpenPicture(image, tileHeight);
  const int iw = picture->Width(), ih = picture->Height();
  const std::vector<TCutTile> layout = CutLayout(iw, ih, tileWidth, tileHeight);
  const int total = static_cast<int>(layout.size());

  // The tiles of each band of rows, cut and encoded in parallel; numbering stays column-wise.
  std::atomic<int> done{0};
  TPixelBuffer band;
  const unsigned threads = PipelineThreads();
  for (int top = 0; top < ih; top += tileHeight) {
    const int rows = std::min(tileHeight, ih - top);
    picture->ReadRows(rows, band);
    std::vector<const TCutTile*> inBand;
    for (const auto& t : layout)
      if (t.Y == top) inBand.push_back(&t);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto work = [&] {
      TPixelBuffer tile;
      std::vector<std::uint8_t> jpeg;
      for (std::size_t i; (i = next++) < inBand.size();) {
        const TCutTile& t = *inBand[i];
        try {
          if (tile.Width != t.Width || tile.Height != t.Height) tile = TPixelBuffer(t.Width, t.Height, 3);
          for (int y = 0; y < t.Height; ++y)
            std::copy_n(band.Row(y) + static_cast<std::size_t>(t.X) * 3, static_cast<std::size_t>(t.Width) * 3,
                        tile.Row(y));
          jpeg.clear();
          EncodeJpeg(tile, 90, false, false, jpeg);
          WriteFileBytes(folder + "set/" + CutTileName(base, t), jpeg.data(), jpeg.size());
        } catch (...) {
          std::lock_guard lock(failureMutex);
          if (!failure) failure = std::current_exception();
        }
        ++done;
      }
    };
    std::vector<std::thread> workers;
    for (unsigned w = 1; w < std::min<std::size_t>(threads, inBand.size()); ++w) workers.emplace_back(work);
    work();
    for (auto& w : workers) w.join();
    if (failure) std::rethrow_exception(failure);
    if (sinks.Info) sinks.Info(Format("%s: Cutting %d/%d", imageName.c_str(), done.load(), total));
  }

  std::string set;
  for (const auto& t : layout) set += CutTileName(base, t) + "\r\n";
  WriteFileBytes(folder + FileNameOf(ChangeExtension(mapPath, ".set")), set.data(), set.size());
  WriteFileBytes(folder + FileNameOf(mapPath), mapBytes.data(), mapBytes.size());
  if (sinks.Info) sinks.Info(Format("%s: Cutting %d/%d finished.", imageName.c_str(), total, total));
  return true;
}

}  // namespace brelo
