// SPDX-License-Identifier: GPL-3.0-or-later
// export-tar, map-info, create: between JNX maps and OziExplorer calibrated tile sets.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>

#include "base/Numbers.h"
#include "base/Paths.h"
#include "base/Platform.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/CreateCommand.h"
#include "commands/ExportCommand.h"
#include "commands/RasterCreateCommand.h"
#include "jnx/DeviceLimits.h"
#include "jnx/ScaleTable.h"
#include "uMapCreation/ImageCutter.h"
#include "uMapCreation/MapSource.h"

namespace brelo::cli {

namespace {

struct TCreateOptions {
  std::vector<std::string> Sources;
  std::string ProductName, Scale, ProductId, ZOrder = "30", Detail, LevelName, LevelDescription, LevelCopyright,
                                             TileWidth = "256", TileHeight = "256";
  bool Overwrite = false;
  // Raster sources
  std::string Output, Factors, Scales, Resampling = "cubic", Background = "white";
  int Levels = 0, TileSize = 256, Quality = 85, Subsampling = 420, MaxTiles = kMaxTilesPerLevel;
  double ScaleFactor = 1;
  bool NoSplit = false, PlanOnly = false;
};

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  for (auto& item : SplitText(text, ','))
    if (!TrimBlanks(item).empty()) items.push_back(TrimBlanks(item));
  return items;
}

TRasterBuildOptions RasterOptions(const TCreateOptions& o) {
  TRasterBuildOptions r;
  r.Sources = o.Sources;
  r.Output = o.Output;
  r.Overwrite = o.Overwrite;
  r.Levels.Levels = o.Levels;
  for (const auto& f : SplitList(o.Factors)) {
    long long v = 0;
    if (!ParseInteger(f, v) || v < 1 || v > 4096) throw ECommandFailed("--level-factors: '" + f + "' is not a factor");
    r.Levels.Factors.push_back(static_cast<int>(v));
  }
  r.Levels.ScaleNames = SplitList(o.Scales);
  if (!o.Scale.empty()) {
    // One level at the scale given, as for a calibrated picture.
    if (!r.Levels.ScaleNames.empty() || o.Levels > 1 || r.Levels.Factors.size() > 1)
      throw ECommandFailed("--scale names the scale of a one-level map; use --scales for several levels");
    r.Levels.ScaleNames = {o.Scale};
    if (r.Levels.Factors.empty()) r.Levels.Levels = 1;
  }
  r.Levels.ScaleFactor = o.ScaleFactor;
  r.Levels.TileSize = o.TileSize;
  r.Levels.Quality = o.Quality;
  r.Levels.MaxTiles = o.MaxTiles;
  r.Levels.NoSplit = o.NoSplit;
  if (!ParseResampling(o.Resampling, r.Resampling))
    throw ECommandFailed("--resampling " + o.Resampling + ": give near, bilinear, cubic, lanczos or average");
  ParseColour("--background", o.Background, r.Background);
  r.FullChroma = o.Subsampling == 444;
  long long id = 0, z = 30;
  if (!o.ProductId.empty() && (!ParseInteger(o.ProductId, id) || id < 0 || id > INT32_MAX))
    throw ECommandFailed("--product-id " + o.ProductId + ": give a number from 0");
  if (!ParseInteger(o.ZOrder, z) || z < 0 || z > 100) throw ECommandFailed("--zorder " + o.ZOrder + ": give 0 to 100");
  r.Texts.ProductId = static_cast<std::int32_t>(id);
  r.Texts.ProductName = o.ProductName.empty() ? FileNameOf(WithoutExtension(RasterMapName(r))) : o.ProductName;
  r.Texts.ZOrder = static_cast<std::int32_t>(z);
  r.Texts.DetailLevel = o.Detail;
  r.Texts.LevelName = o.LevelName, r.Texts.LevelDescription = o.LevelDescription;
  r.Texts.LevelCopyright = o.LevelCopyright;
  return r;
}

void CreateFromRaster(const TCreateOptions& o) {
  platform::ReturnFreedMemory();
  const TRasterBuildOptions options = RasterOptions(o);
  if (o.PlanOnly) {
    const TRasterPlan p = PlanRasterMap(options);
    std::cout << p.Source->Info().Summary << '\n';
    for (const auto& n : p.Source->Info().Notes) std::cout << "note: " << n << '\n';
    for (const auto& line : p.Plan.Describe()) std::cout << line << '\n';
    for (const auto& v : p.Plan.Volumes) std::cout << "volume: " << v.Path << '\n';
    return;
  }
  Report(CreateRasterMapCommand(options, PrintProgress));
}

void Create(const TCreateOptions& o) {
  if (IsRasterSource(o.Sources)) return CreateFromRaster(o);
  if (!o.Output.empty()) throw ECommandFailed("--output: a map from a .map or .tar is written as SOURCE.jnx");
  // Usage errors, as a missing required option is.
  if (o.ProductName.empty()) throw CLI::RequiredError("--product-name (for a .map or .tar source)");
  if (o.Scale.empty()) throw CLI::RequiredError("--scale (for a .map or .tar source)");
  const std::string& source = o.Sources.front();
  long long tw = 0, th = 0, id = 0, z = 0;
  ParseInteger(o.TileWidth, tw);
  ParseInteger(o.TileHeight, th);
  ParseInteger(o.ProductId, id);
  ParseInteger(o.ZOrder, z);
  TMapSourceInfo info = ReadMapSource(source, static_cast<int>(tw), static_cast<int>(th));
  TCreationFields fields{source,
                         o.ProductName,
                         o.ProductId,
                         o.ZOrder,
                         ScaleIndex(o.Scale),
                         o.TileWidth,
                         o.TileHeight,
                         info.TileSizeEnabled
                             ? TileCountText(info.ImageWidth, info.ImageHeight, o.TileWidth, o.TileHeight)
                             : info.TileCount};
  TCreationParams params{source,           static_cast<std::int32_t>(id),
                         o.ProductName,    static_cast<std::int32_t>(z),
                         o.Scale,          o.Detail,
                         o.LevelName,      o.LevelDescription,
                         o.LevelCopyright, o.Overwrite};
  Report(CreateMapCommand(fields, params, static_cast<int>(tw), static_cast<int>(th), PrintProgress));
}

}  // namespace

void RegisterCreationCommands(CLI::App& app) {
  {
    auto* cmd = app.add_subcommand("export-tar", "Export a level as an OziExplorer tile set in FILE.tar");
    auto file = std::make_shared<std::string>();
    auto level = std::make_shared<int>(0);
    auto memo = std::make_shared<bool>(false);
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("LEVEL", *level, "level number, from 1")->required();
    cmd->add_flag("--memo", *memo, "Also print the diagnostic lines");
    cmd->callback([=] {
      TJnxMap map = LoadMap(*file);
      std::vector<std::string> lines;
      const TCommandResult r = ExportLevelCommand(map, *level, {PrintProgress, &lines});
      if (r.Ok && *memo)
        for (const auto& l : lines) std::cout << l << '\n';
      if (!r.Ok) Report(r);
    });
  }
  {
    auto* cmd = app.add_subcommand("map-info", "Show what the map creation dialog reads from a .map or .tar");
    auto source = std::make_shared<std::string>();
    auto tw = std::make_shared<int>(256), th = std::make_shared<int>(256);
    cmd->add_option("SOURCE", *source, ".map or .tar file")->required();
    cmd->add_option("--tile-width", *tw, "tile width for cutting");
    cmd->add_option("--tile-height", *th, "tile height for cutting");
    cmd->callback([=] {
      TMapSourceInfo s = ReadMapSource(*source, *tw, *th);
      std::cout << "Product name:       " << s.ProductName << '\n'
                << "Image size:         " << s.ImageWidth << " x " << s.ImageHeight << '\n'
                << "Size in pixels:     " << s.LevelPixels << '\n'
                << "Size in kilometers: " << s.LevelKilometers << '\n'
                << "Distance:           " << s.Label2 << ' ' << s.Label3 << '\n';
      for (const auto& p : s.PointSummaries)
        if (!p.empty()) std::cout << "Point:              " << p << '\n';
      std::cout << "Suggested scale:    "
                << (s.SuggestedScale >= 0 ? ScaleTable[static_cast<std::size_t>(s.SuggestedScale)].Name : "") << '\n'
                << "Tile count:         " << s.TileCount << (s.TileSizeEnabled ? " (the image will be cut)" : "")
                << '\n';
    });
  }
  {
    auto* cmd = app.add_subcommand("cut", "Cut the picture of a .map into an OziExplorer tile set beside it");
    auto source = std::make_shared<std::string>();
    auto tw = std::make_shared<int>(256), th = std::make_shared<int>(256);
    cmd->add_option("MAP", *source, ".map file naming the picture")->required();
    cmd->add_option("--tile-width", *tw, "tile width (default 256)")->check(CLI::Range(1, 32767));
    cmd->add_option("--tile-height", *th, "tile height (default 256)")->check(CLI::Range(1, 32767));
    cmd->callback([=] {
      try {
        CutImageToTiles(*source, *tw, *th, PrintProgress);
      } catch (const EPictureNotFound& e) {
        throw ECommandFailed(*source + ": " + OneLine(e.what()));
      }
    });
  }
  {
    auto* cmd = app.add_subcommand(
        "create",
        "Build a JNX from a calibrated .map or .tar (one level), or from georeferenced rasters (GeoTIFF, VRT, "
        "pictures with world files, MBTiles, OziExplorer maps in any projection: up to five levels)");
    auto o = std::make_shared<TCreateOptions>();
    o->ProductId = std::to_string(std::random_device()() % 100);
    cmd->add_option("SOURCE", o->Sources, ".map or .tar file, or raster files (several form one mosaic)")->required();
    cmd->add_option("--output", o->Output, "the map to write (default SOURCE.jnx; volumes NAME_Part01.jnx, ...)");
    cmd->add_option("--product-name", o->ProductName, "product name (required for .map and .tar)");
    cmd->add_option("--scale", o->Scale, "eTrex scale name (required for .map and .tar; a raster: one level)");
    cmd->add_option("--product-id", o->ProductId, "product ID, 0 or more (default: random 0..99)");
    cmd->add_option("--zorder", o->ZOrder, "Z order, 0..100 (default 30)");
    cmd->add_option("--detail", o->Detail, "detail level text");
    cmd->add_option("--level-name", o->LevelName, "level name");
    cmd->add_option("--level-description", o->LevelDescription, "level description");
    cmd->add_option("--level-copyright", o->LevelCopyright, "level copyright");
    cmd->add_option("--tile-width", o->TileWidth, "tile width for cutting a .map's picture (default 256)");
    cmd->add_option("--tile-height", o->TileHeight, "tile height for cutting a .map's picture (default 256)");
    cmd->add_flag("--overwrite", o->Overwrite, "replace existing files of the new map's names (refused otherwise)");
    cmd->add_option("--levels", o->Levels, "raster: 1 to 5 levels (default: halving until one screen)")
        ->check(CLI::Range(1, 5));
    cmd->add_option("--level-factors", o->Factors, "raster: reductions of the levels, e.g. 1,2,4,8,16");
    cmd->add_option("--scales", o->Scales, "raster: eTrex scale of each level, most detailed first, e.g. 300m,1.2km");
    cmd->add_option("--scale-factor", o->ScaleFactor, "raster: shifts every level's choice of scale (default 1)");
    cmd->add_option("--resampling", o->Resampling, "raster: near, bilinear, cubic, lanczos or average (default cubic)");
    cmd->add_option("--background", o->Background, "raster: colour of uncovered pixels (default white)");
    cmd->add_option("--tile-size", o->TileSize, "raster: tile side, 16 to 1024 (default 256)")
        ->check(CLI::Range(16, 1024));
    cmd->add_option("--quality", o->Quality, "raster: JPEG quality 1 to 100 (default 85)")->check(CLI::Range(1, 100));
    cmd->add_option("--subsampling", o->Subsampling, "raster: 420 or 444 (default 420)")
        ->check(CLI::IsMember({420, 444}));
    cmd->add_flag("--no-split", o->NoSplit, "raster: refuse a map over the receivers' limits instead of splitting it");
    cmd->add_option("--max-tiles", o->MaxTiles, "raster: tiles per level before splitting (tests; default 50000)")
        ->check(CLI::Range(1, kMaxTilesPerLevel));
    cmd->add_flag("--plan", o->PlanOnly, "raster: print the levels, tiles and volumes only; write nothing");
    cmd->callback([o] { Create(*o); });
  }
}

}  // namespace brelo::cli
