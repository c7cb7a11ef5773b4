// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/TileExtraction.h"

#include <cstdio>
#include <functional>

#include <unistd.h>

#include "MyJpeg/JpegImage.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Pipeline.h"
#include "base/Text.h"
#include "jnx/JnxReader.h"
#include "jnx/TileSource.h"

namespace brelo {

int TileNumberDigits(int count) { return static_cast<int>(std::to_string(count > 1 ? count - 1 : 0).size()); }

std::string TileFileName(int number, int count, const TJnxTile& tile) {
  return Format("%.*d_T%d_R%d_B%d_L%d.jpg", TileNumberDigits(count), number, tile.Top, tile.Right, tile.Bottom,
                tile.Left);
}

std::string TilesBaseFolder(const std::string& jnxPath) { return WithoutExtension(jnxPath) + "_tiles/"; }

std::string SaveTiles(const TJnxMap& map, const ProgressSink& progress, const TWorkMeter* meter) {
  if (map.Levels.empty()) return "";
  const std::string base = TilesBaseFolder(map.CurrentFile);
  struct TJob {
    std::string File;
    std::vector<std::uint8_t> Jpeg;
  };
  // Items in level and tile order; the level folders are made as the walk reaches them.
  std::vector<std::pair<int, int>> items;
  for (int n = 0; n < static_cast<int>(map.Levels.size()); ++n)
    for (int m = 0; m < map.Levels[static_cast<std::size_t>(n)].TileCount; ++m) items.emplace_back(n, m);
  const int levels = static_cast<int>(map.Levels.size());
  int foldersMade = 0;
  auto folderOf = [&](int n) {
    return base + Format("level%d_%d_tiles/", n + 1, map.Levels[static_cast<std::size_t>(n)].TileCount);
  };
  std::vector<std::string> madeFolders;  // by this run, for a stop to take back
  auto make = [&](const std::string& folder) {
    if (!FolderExists(folder)) madeFolders.push_back(folder);
    CreateFolder(folder);
  };
  auto makeFoldersUpTo = [&](int n) {
    for (; foldersMade <= n && foldersMade < levels; ++foldersMade) make(folderOf(foldersMade));
  };
  std::vector<char> written(items.size(), 0);
  auto fileOf = [&](std::size_t i) {
    const auto [n, m] = items[i];
    const TJnxLevel& level = map.Levels[static_cast<std::size_t>(n)];
    return folderOf(n) + TileFileName(m + 1, level.TileCount, level.Tiles[static_cast<std::size_t>(m)]);
  };
  {
    make(base);
    TTileSource source(map.CurrentFile);
    TMemoryStream buffer;
    std::function<TJob(std::size_t)> produce = [&](std::size_t i) {
      if (meter) {
        meter->Advance(i, items.size());
        if (meter->Cancelled()) throw ECancelled();
      }
      const auto [n, m] = items[i];
      makeFoldersUpTo(n);
      source.Restore(map.Levels[static_cast<std::size_t>(n)].Tiles[static_cast<std::size_t>(m)], n, m, buffer);
      return TJob{fileOf(i), std::move(buffer.Data())};
    };
    // Decoding and encoding run on the worker threads; each tile is its own file.
    std::function<void(TJob&, std::size_t)> consume = [&](TJob& job, std::size_t i) {
      try {
        TJpegImage image;
        image.LoadFromBytes(std::move(job.Jpeg));
        image.SaveToFile(job.File);
      } catch (const EBreloError& e) {
        const auto [n, m] = items[i];
        throw EFormatError(map.CurrentFile + Format(": level %d tile %d: ", n + 1, m + 1) + e.what());
      }
      written[i] = 1;
    };
    // Progress lines in the order and up to the tile a one-thread run would reach.
    std::function<void(std::size_t)> reached = [&](std::size_t i) {
      const auto [n, m] = items[i];
      if (progress)
        progress(Format("Wait... level %d/%d tile %d/%d", n + 1, levels, m + 1,
                        map.Levels[static_cast<std::size_t>(n)].TileCount));
    };
    TPipelineResult result = RunPipeline<TJob>(items.size(), produce, consume, PipelineThreads(), reached);
    if (!result.Ok() && meter && meter->Cancelled()) {
      for (std::size_t i = 0; i < items.size(); ++i)
        if (written[i]) std::remove(fileOf(i).c_str());
      for (auto f = madeFolders.rbegin(); f != madeFolders.rend(); ++f) ::rmdir(f->c_str());
      throw ECancelled();
    }
    if (!result.Ok()) {
      // As a sequential run would: tiles after the failing one are not left behind.
      for (std::size_t i = result.FailedItem + 1; i < items.size(); ++i)
        if (written[i]) std::remove(fileOf(i).c_str());
      throw EFormatError(result.Error);
    }
    makeFoldersUpTo(levels - 1);
  }
  return base;
}

}  // namespace brelo
