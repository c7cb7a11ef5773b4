// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GisExport.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <memory>

#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "jnx/TileSource.h"

namespace brelo {

namespace {

constexpr int kBandRows = 256;

struct TPlaced {
  int Index = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;  // on the grid
  bool Exact = false;                       // the tile's pixels are the grid's pixels
  std::unique_ptr<TPixelBuffer> Pixels;     // decoded, at Width x Height, while in use
  bool Failed = false;
};

// A tile's rectangle on the grid: its edges rounded to the nearest grid lines.
TPlaced Place(const TGeoGrid& g, const TJnxTile& t, int index) {
  TPlaced p;
  p.Index = index;
  const double x0 = (JnxToDeg(t.Left) - g.West) / g.PixelLon, x1 = (JnxToDeg(t.Right) - g.West) / g.PixelLon;
  const double y0 = (g.North - JnxToDeg(t.Top)) / g.PixelLat, y1 = (g.North - JnxToDeg(t.Bottom)) / g.PixelLat;
  p.X = static_cast<int>(std::lround(x0)), p.Y = static_cast<int>(std::lround(y0));
  p.Width = std::max(1, static_cast<int>(std::lround(x1)) - p.X);
  p.Height = std::max(1, static_cast<int>(std::lround(y1)) - p.Y);
  p.Exact = p.Width == t.Width && p.Height == t.Height;
  return p;
}

// Whether the tiles leave no pixel of the grid uncovered: checked once per run of rows over
// which the same tiles are crossed.
bool CoversGrid(const std::vector<TPlaced>& placed, const TGeoGrid& g) {
  std::vector<int> cuts{0, g.Height};
  for (const auto& p : placed)
    cuts.push_back(std::clamp(p.Y, 0, g.Height)), cuts.push_back(std::clamp(p.Y + p.Height, 0, g.Height));
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<std::pair<int, int>> spans;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    spans.clear();
    for (const auto& p : placed)
      if (p.Y <= cuts[i] && p.Y + p.Height >= cuts[i + 1]) spans.emplace_back(p.X, p.X + p.Width);
    std::sort(spans.begin(), spans.end());
    int reached = 0;
    for (const auto& [a, b] : spans) {
      if (a > reached) break;
      reached = std::max(reached, b);
    }
    if (reached < g.Width) return false;
  }
  return true;
}

}  // namespace

TGeoGrid LevelGrid(const TJnxMap& map, int level) {
  if (level < 0 || level >= static_cast<int>(map.Levels.size()))
    throw EFormatError(Format("%s: no level %d", map.CurrentFile.c_str(), level + 1));
  const auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;
  auto usable = [](const TJnxTile& t) { return t.Width > 0 && t.Height > 0 && t.Right > t.Left && t.Top > t.Bottom; };
  double west = 0, east = 0, north = 0, south = 0, finestLon = 0, finestLat = 0;
  bool any = false;
  for (const auto& t : tiles) {
    if (!usable(t)) continue;
    const double w = JnxToDeg(t.Left), e = JnxToDeg(t.Right), n = JnxToDeg(t.Top), s = JnxToDeg(t.Bottom);
    const double lon = (e - w) / t.Width, lat = (n - s) / t.Height;
    if (!any) west = w, east = e, north = n, south = s, finestLon = lon, finestLat = lat;
    west = std::min(west, w), east = std::max(east, e), north = std::max(north, n), south = std::min(south, s);
    finestLon = std::min(finestLon, lon), finestLat = std::min(finestLat, lat);
    any = true;
  }
  if (!any) throw EFormatError(Format("%s: level %d has no tile to export", map.CurrentFile.c_str(), level + 1));
  // Tile edges are stored rounded: the pixel is the mean over the tiles of the finest resolution
  // (within half a percent), not the smallest of their slightly different quotients.
  double spanLon = 0, pixelsLon = 0, spanLat = 0, pixelsLat = 0;
  for (const auto& t : tiles) {
    if (!usable(t)) continue;
    const double w = JnxToDeg(t.Left), e = JnxToDeg(t.Right), n = JnxToDeg(t.Top), s = JnxToDeg(t.Bottom);
    if ((e - w) / t.Width <= finestLon * 1.005) spanLon += e - w, pixelsLon += t.Width;
    if ((n - s) / t.Height <= finestLat * 1.005) spanLat += n - s, pixelsLat += t.Height;
  }
  TGeoGrid g{west, north, spanLon / pixelsLon, spanLat / pixelsLat, 0, 0};
  auto pixels = [](double span, double pixel) {
    const double n = span / pixel;
    return std::max(1, static_cast<int>(std::abs(n - std::round(n)) < 0.05 ? std::round(n) : std::ceil(n)));
  };
  g.Width = pixels(east - west, g.PixelLon);
  g.Height = pixels(north - south, g.PixelLat);
  if (std::int64_t(g.Width) * g.Height > (std::int64_t(1) << 40))
    throw EFormatError(
        Format("%s: level %d would be %d x %d pixels", map.CurrentFile.c_str(), level + 1, g.Width, g.Height));
  return g;
}

TGisExportResult ExportLevelToGis(const TJnxMap& map, int level, const std::string& out,
                                  const TGisExportOptions& options, const ProgressSink& info, const TWorkMeter* meter) {
  TRasterDriver& driver = RasterDriver();
  if (!driver.Writes(out)) throw EFormatError(out + ": give a name ending in .tif, .png or .mbtiles");
  RefuseToReplace(out, options.Overwrite);
  TGisExportResult result;
  const TGeoGrid grid = LevelGrid(map, level);
  result.Grid = grid;
  const auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;
  std::vector<TPlaced> placed;
  placed.reserve(tiles.size());
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    if (tiles[i].Width <= 0 || tiles[i].Height <= 0) continue;
    TPlaced p = Place(grid, tiles[i], static_cast<int>(i));
    if (p.X >= grid.Width || p.Y >= grid.Height || p.X + p.Width <= 0 || p.Y + p.Height <= 0) continue;
    placed.push_back(std::move(p));
  }
  // By top row, so a band's tiles are a run that starts where the last band's did.
  std::stable_sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) { return a.Y < b.Y; });

  TRasterFileOptions file = options.File;
  file.Alpha = !options.UseBackground && !CoversGrid(placed, grid);
  std::unique_ptr<TRasterFileWriter> writer = driver.Create(out, grid, file);
  const unsigned threads = PipelineThreads();
  std::size_t next = 0;  // first tile not yet decoded
  // Decodes, on every core, the tiles that begin above the end of the band starting at y0.
  auto decodeBand = [&, threads](int y0) {
    std::vector<TPlaced*> fresh;
    while (next < placed.size() && placed[next].Y < y0 + kBandRows) fresh.push_back(&placed[next++]);
    ParallelFor(fresh.size(), threads, [&](std::size_t k) {
      TPlaced& p = *fresh[k];
      try {
        TTileSource source(map.CurrentFile, 1 << 16);
        TJpegImage image;
        source.Decode(tiles[static_cast<std::size_t>(p.Index)], level, p.Index, image);
        TPixelBuffer rgb = image.Pixels().Channels == 3 ? image.TakePixels() : image.Pixels().ToRgb();
        if (rgb.Width == p.Width && rgb.Height == p.Height) {
          p.Pixels = std::make_unique<TPixelBuffer>(std::move(rgb));
        } else {
          p.Pixels = std::make_unique<TPixelBuffer>(p.Width, p.Height, 3);
          StretchHalftone(rgb, *p.Pixels);
        }
      } catch (const EBreloError&) {
        p.Failed = true;
      }
    });
    return fresh;
  };
  std::vector<std::uint8_t> band;
  std::vector<TPlaced*> live;  // decoded tiles reaching into the current band or later
  // The next band's tiles decode while this band is compressed and written.
  std::future<std::vector<TPlaced*>> decoding = std::async(std::launch::async, decodeBand, 0);
  for (int y0 = 0; y0 < grid.Height; y0 += kBandRows) {
    const int rows = std::min(kBandRows, grid.Height - y0);
    const std::vector<TPlaced*> fresh = decoding.get();
    if (meter && meter->Cancelled()) throw ECancelled();
    for (TPlaced* p : fresh) {
      if (p->Failed) {
        result.Failed.push_back(Format("level %d tile %d does not decode", level + 1, p->Index + 1));
        continue;
      }
      ++result.Tiles;
      if (!p->Exact) ++result.Resampled;
      live.push_back(p);
    }
    band.assign(std::size_t(grid.Width) * rows * 4, 0);
    if (options.UseBackground)
      for (std::size_t i = 0; i < band.size(); i += 4)
        band[i] = options.Background[0], band[i + 1] = options.Background[1], band[i + 2] = options.Background[2],
        band[i + 3] = 255;
    // Later tiles in the table are drawn over earlier ones, as the map view draws them.
    std::sort(live.begin(), live.end(), [](const TPlaced* a, const TPlaced* b) { return a->Index < b->Index; });
    for (TPlaced* p : live) {
      const int top = std::max(p->Y, y0), bottom = std::min(p->Y + p->Height, y0 + rows);
      const int left = std::max(p->X, 0), right = std::min(p->X + p->Width, grid.Width);
      for (int y = top; y < bottom; ++y) {
        const std::uint8_t* s = p->Pixels->Row(y - p->Y) + 3 * (left - p->X);
        std::uint8_t* d = band.data() + (std::size_t(y - y0) * grid.Width + left) * 4;
        for (int x = left; x < right; ++x, s += 3, d += 4) d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
      }
    }
    if (y0 + rows < grid.Height) decoding = std::async(std::launch::async, decodeBand, y0 + kBandRows);
    writer->WriteRows(y0, rows, band.data());
    // Tiles that end within this band are done with.
    live.erase(std::remove_if(live.begin(), live.end(),
                              [&](TPlaced* p) {
                                if (p->Y + p->Height > y0 + rows) return false;
                                p->Pixels.reset();
                                return true;
                              }),
               live.end());
    if (info) info(Format("%s: row %d/%d", FileNameOf(out).c_str(), y0 + rows, grid.Height));
    if (meter) meter->Advance(std::uint64_t(y0 + rows), std::uint64_t(grid.Height) + grid.Height / 4);
  }
  if (info) info(FileNameOf(out) + ": writing");
  writer->Finish(meter);
  if (meter) meter->Advance(1, 1);
  return result;
}

}  // namespace brelo
