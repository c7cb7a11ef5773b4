// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/RasterMapBuilder.h"

#include <algorithm>
#include <cstdio>

#include "MyJpeg/JpegImage.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/OrderedWorkers.h"
#include "base/Paths.h"
#include "base/Pipeline.h"
#include "base/Platform.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "uMapCreation/LevelPyramid.h"

namespace brelo {

namespace {

struct TTileJob {
  int Level = 0, Column = 0, Row = 0;
  TPixelBuffer Pixels;
  std::vector<std::uint8_t> Jpeg;
};

// Strips of the most detailed level, each a multiple of the coarsest tile's width: one strip
// unless the raster is much wider than the widest strip.
std::vector<std::pair<int, int>> Strips(const TLevelPlan& plan, int stripPixels) {
  const int width = plan.Levels.front().Grid.Width, block = plan.BlockPixels();
  const int strip = std::max(block, stripPixels / block * block);
  std::vector<std::pair<int, int>> strips;
  if (width <= strip + strip / 4) return {{0, width}};
  for (int x = 0; x < width; x += strip) strips.emplace_back(x, std::min(strip, width - x));
  return strips;
}

TJnxTileEntry TileBounds(const TGeoGrid& g, int tileSize, int column, int row, int width, int height) {
  TJnxTileEntry e;
  const int x = column * tileSize, y = row * tileSize;
  e.Left = DegToJnx(g.Lon(x)), e.Right = DegToJnx(g.Lon(x + width));
  e.Top = DegToJnx(g.Lat(y)), e.Bottom = DegToJnx(g.Lat(y + height));
  e.Width = static_cast<std::int16_t>(width), e.Height = static_cast<std::int16_t>(height);
  return e;
}

void RequireRoom(const TLevelPlan& plan, const std::string& output) {
  const std::int64_t free = platform::FreeBytes(FolderOf(output));
  // Tiles wait beside the destination until their volume is written: twice its size at the end.
  const std::uint64_t needed = plan.EstimatedBytes / plan.Volumes.size() + plan.EstimatedBytes;
  if (free >= 0 && std::uint64_t(free) < needed)
    throw EFormatError(Format("%s: %.0f MB free; the build needs about %.0f MB", FolderOf(output).c_str(),
                              free / 1048576.0, needed / 1048576.0));
}

}  // namespace

std::string RasterMapName(const TRasterBuildOptions& o) {
  if (!o.Output.empty()) return o.Output;
  return o.Sources.empty() ? std::string() : ChangeExtension(o.Sources.front(), ".jnx");
}

TRasterPlan PlanRasterMap(const TRasterBuildOptions& o) {
  TRasterPlan p;
  p.Source = RasterDriver().Open(o.Sources);
  const TRasterSourceInfo& info = p.Source->Info();
  p.Plan = PlanLevels(info.Grid, info.MetresPerPixel, o.Levels, RasterMapName(o));
  return p;
}

TRasterBuildResult BuildRasterMap(const TRasterBuildOptions& o, const ProgressSink& info, const TWorkMeter* meter) {
  TRasterPlan planned = PlanRasterMap(o);
  TRasterSource& source = *planned.Source;
  TRasterBuildResult result;
  result.Plan = planned.Plan;
  const TLevelPlan& plan = result.Plan;
  result.Notes = source.Info().Notes;
  result.Notes.insert(result.Notes.end(), plan.Notes.begin(), plan.Notes.end());
  const std::string output = RasterMapName(o);
  for (const auto& v : plan.Volumes) RefuseToReplace(v.Path, o.Overwrite);
  RequireRoom(plan, output);
  if (info) {
    info(source.Info().Summary);
    for (const auto& n : source.Info().Notes) info("note: " + n);
    for (const auto& line : plan.Describe()) info(line);
  }

  // Levels in file order: the least detailed first.
  const std::size_t levels = plan.Levels.size();
  std::vector<std::uint32_t> scales;
  for (std::size_t l = levels; l-- > 0;) scales.push_back(plan.Levels[l].Scale);
  std::vector<std::unique_ptr<TVolumeWriter>> volumes;
  for (const auto& v : plan.Volumes) volumes.push_back(std::make_unique<TVolumeWriter>(v.Path, o.Texts, scales));
  auto volumeOf = [&](int level, int column, int row) -> std::size_t {
    const int per = plan.Levels.back().Factor / plan.Levels[static_cast<std::size_t>(level)].Factor;
    const int c = column / per, r = row / per;
    for (std::size_t i = 0; i < plan.Volumes.size(); ++i) {
      const TVolumeBlock& b = plan.Volumes[i];
      if (c >= b.Column && c < b.Column + b.Columns && r >= b.Row && r < b.Row + b.Rows) return i;
    }
    return 0;
  };

  const int quality = o.Levels.Quality;
  const bool fullChroma = o.FullChroma;
  TOrderedWorkers<TTileJob, TTileJob> encoder(
      PipelineThreads(), 4 * PipelineThreads() + 8,
      [quality, fullChroma](TTileJob& job) {
        EncodeJpeg(job.Pixels, quality, false, false, job.Jpeg, fullChroma);
        job.Pixels = TPixelBuffer();
        return std::move(job);
      },
      [&](TTileJob& job) {
        const TPlannedLevel& l = plan.Levels[static_cast<std::size_t>(job.Level)];
        const int w = std::min(plan.TileSize, l.Grid.Width - job.Column * plan.TileSize);
        const int h = std::min(plan.TileSize, l.Grid.Height - job.Row * plan.TileSize);
        volumes[volumeOf(job.Level, job.Column, job.Row)]->Add(
            static_cast<int>(levels) - 1 - job.Level, TileBounds(l.Grid, plan.TileSize, job.Column, job.Row, w, h),
            job.Jpeg);
      });
  TLevelPyramid pyramid(plan, o.Background, [&](int level, int column, int row, TPixelBuffer&& tile) {
    encoder.Submit(TTileJob{level, column, row, std::move(tile), {}});
  });

  const TGeoGrid& grid = plan.Levels.front().Grid;
  const auto strips = Strips(plan, o.StripPixels);
  const std::uint64_t total = std::uint64_t(grid.Height) * strips.size();
  std::uint64_t done = 0;
  std::vector<std::uint8_t> rgba;
  const std::string name = FileNameOf(output);
  // Volumes are written under hidden names and put in place together at the end: a failed or
  // cancelled build leaves none of them.
  struct TParts {
    std::vector<std::pair<std::string, std::string>> Names;  // written, final
    ~TParts() {
      for (const auto& [part, final] : Names) std::remove(part.c_str());
    }
  } parts;
  auto writeVolume = [&](std::size_t i) {
    const std::string final = plan.Volumes[i].Path;
    const std::string part = FolderOf(final) + "." + FileNameOf(final) + ".part";
    if (info) info(Format("%s: writing", FileNameOf(final).c_str()));
    if (volumes[i]->Finish(part)) parts.Names.emplace_back(part, final);
    volumes[i].reset();
  };
  for (const auto& [x, width] : strips) {
    pyramid.BeginStrip(x, width);
    for (int y = 0; y < grid.Height; y += plan.TileSize) {
      if (meter && meter->Cancelled()) throw ECancelled();
      const int rows = std::min(plan.TileSize, grid.Height - y);
      source.Read(grid, x, y, width, rows, o.Resampling, rgba);
      pyramid.AddRows(rgba.data(), rows);
      done += static_cast<std::uint64_t>(rows);
      if (meter) meter->Advance(done, total);
      if (info)
        info(Format("%s: row %llu/%llu", name.c_str(), static_cast<unsigned long long>(done),
                    static_cast<unsigned long long>(total)));
    }
    pyramid.EndStrip();
    encoder.Finish();
    // Volumes whose columns all lie left of the strip's end are complete: written now, so
    // their waiting tiles do not take room until the end.
    const int stripEnd = (x + width) / plan.Levels.back().Factor;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
      const TVolumeBlock& b = plan.Volumes[i];
      if (!volumes[i] || (b.Column + b.Columns) * plan.TileSize > stripEnd) continue;
      if (meter && meter->Cancelled()) throw ECancelled();
      writeVolume(i);
    }
  }
  for (std::size_t i = 0; i < volumes.size(); ++i)
    if (volumes[i]) writeVolume(i);
  if (parts.Names.empty()) throw EFormatError(output + ": the source has no pixel to show: no tile was made");
  if (meter && meter->Cancelled()) throw ECancelled();
  for (const auto& [part, final] : parts.Names) {
    if (std::rename(part.c_str(), final.c_str()) != 0) throw EIoError(final + ": cannot be put in place");
    result.Files.push_back(final);
  }
  parts.Names.clear();
  return result;
}

}  // namespace brelo
