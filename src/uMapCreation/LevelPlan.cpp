// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/LevelPlan.h"

#include <algorithm>
#include <cmath>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {

// A level fits "one screen" when neither side passes this many pixels.
constexpr int kScreenPixels = 1024;
// Room kept under 4 GiB for the estimate's error.
constexpr std::uint64_t kVolumeBudget = kMaxJnxBytes / 8 * 7;

int CeilDiv(std::int64_t a, std::int64_t b) { return static_cast<int>((a + b - 1) / b); }

std::vector<int> ChooseFactors(const TGeoGrid& grid, const TLevelOptions& o) {
  if (!o.Factors.empty()) {
    if (o.Levels && o.Levels != static_cast<int>(o.Factors.size()))
      throw EFormatError(Format("--levels %d and %zu level factors disagree", o.Levels, o.Factors.size()));
    for (std::size_t i = 0; i < o.Factors.size(); ++i) {
      const int f = o.Factors[i];
      if (f < 1 || f > 4096) throw EFormatError(Format("level factor %d: factors run from 1 to 4096", f));
      if (i > 0 && (f <= o.Factors[i - 1] || f % o.Factors[i - 1] != 0))
        throw EFormatError(Format("level factors %d and %d: each factor must be a larger multiple of the one before",
                                  o.Factors[i - 1], f));
    }
    return o.Factors;
  }
  std::vector<int> factors{1};
  if (o.Levels > 0) {
    while (static_cast<int>(factors.size()) < o.Levels) factors.push_back(factors.back() * 2);
    return factors;
  }
  // Halving until a level fits one screen.
  while (static_cast<int>(factors.size()) < kMaxLevels) {
    const int f = factors.back();
    if (CeilDiv(grid.Width, f) <= kScreenPixels && CeilDiv(grid.Height, f) <= kScreenPixels) break;
    factors.push_back(f * 2);
  }
  return factors;
}

// The index of the table value nearest target, by ratio.
std::size_t NearestScale(double target) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < ScaleTable.size(); ++i)
    if (std::abs(std::log(ScaleTable[i].Value / target)) < std::abs(std::log(ScaleTable[best].Value / target)))
      best = i;
  return best;
}

void ChooseScales(TLevelPlan& plan, const TLevelOptions& o) {
  std::vector<std::size_t> chosen;
  if (!o.ScaleNames.empty()) {
    if (o.ScaleNames.size() != plan.Levels.size())
      throw EFormatError(Format("%zu scale names for %zu levels", o.ScaleNames.size(), plan.Levels.size()));
    for (const auto& name : o.ScaleNames) {
      const int i = ScaleIndex(name);
      if (i < 0) throw EFormatError("unknown eTrex scale name \"" + name + "\"");
      chosen.push_back(static_cast<std::size_t>(i));
    }
  } else {
    for (const auto& level : plan.Levels) chosen.push_back(NearestScale(1000 * level.MetresPerPixel * o.ScaleFactor));
  }
  // Distinct and rising from the most detailed level: a clash moves to the next value.
  for (std::size_t l = 1; l < chosen.size(); ++l) {
    if (chosen[l] > chosen[l - 1]) continue;
    const std::size_t moved = chosen[l - 1] + 1;
    if (moved >= ScaleTable.size())
      throw EFormatError(Format("level of reduction %d: no scale is left above %s", plan.Levels[l].Factor,
                                ScaleTable[chosen[l - 1]].Name));
    plan.Notes.push_back(Format("the level of reduction %d takes scale %s, as %s is taken by a more detailed level",
                                plan.Levels[l].Factor, ScaleTable[moved].Name, ScaleTable[chosen[l]].Name));
    chosen[l] = moved;
  }
  for (std::size_t l = 0; l < chosen.size(); ++l) {
    plan.Levels[l].Scale = ScaleTable[chosen[l]].Value;
    plan.Levels[l].ScaleName = ScaleTable[chosen[l]].Name;
  }
}

// Tiles of level l inside a block of coarsest tiles [c0, c0 + cn) x [r0, r0 + rn).
std::int64_t BlockTiles(const TLevelPlan& plan, std::size_t l, int c0, int cn, int r0, int rn) {
  const int per = plan.Levels.back().Factor / plan.Levels[l].Factor;
  const int cols = std::min(plan.Levels[l].Columns, (c0 + cn) * per) - c0 * per;
  const int rows = std::min(plan.Levels[l].Rows, (r0 + rn) * per) - r0 * per;
  return std::int64_t(std::max(cols, 0)) * std::max(rows, 0);
}

std::uint64_t BlockBytes(const TLevelPlan& plan, int c0, int cn, int r0, int rn, int quality) {
  std::uint64_t bytes = 4096;
  for (std::size_t l = 0; l < plan.Levels.size(); ++l) {
    const std::int64_t tiles = BlockTiles(plan, l, c0, cn, r0, rn);
    bytes += std::uint64_t(tiles) * (EstimateTileBytes(std::int64_t(plan.TileSize) * plan.TileSize, quality) + 28);
  }
  return bytes;
}

void SplitIntoVolumes(TLevelPlan& plan, const TLevelOptions& o, const std::string& output) {
  const int cols = plan.Levels.back().Columns, rows = plan.Levels.back().Rows;
  auto fits = [&](int bc, int br) {
    for (int r = 0; r < rows; r += br)
      for (int c = 0; c < cols; c += bc) {
        for (std::size_t l = 0; l < plan.Levels.size(); ++l)
          if (BlockTiles(plan, l, c, bc, r, br) > o.MaxTiles) return false;
        if (BlockBytes(plan, c, bc, r, br, o.Quality) > kVolumeBudget) return false;
      }
    return true;
  };
  int bestCols = cols, bestRows = rows;
  if (!fits(cols, rows)) {
    std::int64_t bestCount = -1;
    double bestShape = 0;
    for (int vc = 1; vc <= cols; ++vc)
      for (int vr = 1; vr <= rows; ++vr) {
        const int bc = CeilDiv(cols, vc), br = CeilDiv(rows, vr);
        const std::int64_t count = std::int64_t(CeilDiv(cols, bc)) * CeilDiv(rows, br);
        if (bestCount >= 0 && count > bestCount) continue;
        const double shape = std::abs(std::log(double(bc) / br));
        if (bestCount == count && shape >= bestShape) continue;
        if (!fits(bc, br)) continue;
        bestCount = count, bestShape = shape, bestCols = bc, bestRows = br;
      }
    if (bestCount < 0)
      throw EFormatError(
          "even a block of one tile of the least detailed level breaks a limit; "
          "use fewer levels or smaller level factors");
    const std::string reason = Format("a level over %d tiles or a file near 4 GiB", o.MaxTiles);
    if (o.NoSplit)
      throw EFormatError(
          Format("the map would hold %s; --no-split forbids splitting it into %lld volumes "
                 "(a larger --tile-size is the other way)",
                 reason.c_str(), static_cast<long long>(bestCount)));
    plan.Notes.push_back(
        Format("split into %lld volumes to avoid %s", static_cast<long long>(bestCount), reason.c_str()));
  }
  const int vcount = CeilDiv(cols, bestCols) * CeilDiv(rows, bestRows);
  const std::string stem = WithoutExtension(output);
  int n = 0;
  for (int r = 0; r < rows; r += bestRows)
    for (int c = 0; c < cols; c += bestCols) {
      TVolumeBlock v{c, r, std::min(bestCols, cols - c), std::min(bestRows, rows - r), output};
      if (vcount > 1) v.Path = stem + Format(vcount > 99 ? "_Part%03d.jnx" : "_Part%02d.jnx", ++n);
      plan.Volumes.push_back(v);
    }
}

}  // namespace

std::uint64_t EstimateTileBytes(std::int64_t pixels, int quality) {
  // Photographic tiles: about a third of a byte a pixel at quality 85, on the safe side.
  const double perPixel = 0.06 + 0.32 * std::clamp(quality, 1, 100) / 100.0;
  return static_cast<std::uint64_t>(double(pixels) * perPixel) + 600;
}

TLevelPlan PlanLevels(const TGeoGrid& grid, double metresPerPixel, const TLevelOptions& o, const std::string& output) {
  if (o.TileSize < 16 || o.TileSize > 1024) throw EFormatError(Format("tile size %d: 16 to 1024", o.TileSize));
  if (o.Levels < 0 || o.Levels > kMaxLevels)
    throw EFormatError(Format("%d levels: receivers load 1 to %d", o.Levels, kMaxLevels));
  if (o.Factors.size() > std::size_t(kMaxLevels))
    throw EFormatError(Format("%zu level factors: receivers load 1 to %d levels", o.Factors.size(), kMaxLevels));
  if (!(o.ScaleFactor > 0)) throw EFormatError("the scale factor must be above 0");
  if (grid.Width <= 0 || grid.Height <= 0) throw EFormatError("an empty raster");
  TLevelPlan plan;
  plan.TileSize = o.TileSize;
  for (int f : ChooseFactors(grid, o)) {
    TPlannedLevel l;
    l.Factor = f;
    l.Grid = {
        grid.West, grid.North, grid.PixelLon * f, grid.PixelLat * f, CeilDiv(grid.Width, f), CeilDiv(grid.Height, f)};
    l.MetresPerPixel = metresPerPixel * f;
    l.Columns = CeilDiv(l.Grid.Width, o.TileSize);
    l.Rows = CeilDiv(l.Grid.Height, o.TileSize);
    l.EstimatedBytes =
        std::uint64_t(l.Columns) * l.Rows * EstimateTileBytes(std::int64_t(o.TileSize) * o.TileSize, o.Quality);
    plan.EstimatedBytes += l.EstimatedBytes;
    plan.Levels.push_back(l);
  }
  ChooseScales(plan, o);
  SplitIntoVolumes(plan, o, output);
  return plan;
}

std::vector<std::string> TLevelPlan::Describe() const {
  std::vector<std::string> lines;
  lines.push_back(Format("%-6s %-13s %-9s %-7s %-10s %s", "level", "pixels", "m/pixel", "scale", "tiles", "size"));
  // Printed as the file lists them: the least detailed first.
  for (std::size_t i = Levels.size(); i-- > 0;) {
    const TPlannedLevel& l = Levels[i];
    lines.push_back(Format("%-6zu %-13s %-9.2f %-7s %-10lld ~%.1f MB", Levels.size() - i,
                           Format("%dx%d", l.Grid.Width, l.Grid.Height).c_str(), l.MetresPerPixel, l.ScaleName.c_str(),
                           static_cast<long long>(std::int64_t(l.Columns) * l.Rows), l.EstimatedBytes / 1048576.0));
  }
  lines.push_back(Format("%zu volume%s, about %.1f MB", Volumes.size(), Volumes.size() == 1 ? "" : "s",
                         EstimatedBytes / 1048576.0));
  for (const auto& n : Notes) lines.push_back("note: " + n);
  return lines;
}

}  // namespace brelo
