// export-tar, map-info, create: between JNX maps and OziExplorer calibrated tile sets.
#include <iostream>
#include <memory>
#include <random>

#include "base/Numbers.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/CreateCommand.h"
#include "commands/ExportCommand.h"
#include "base/Paths.h"
#include "jnx/ScaleTable.h"
#include "base/Text.h"
#include "uMapCreation/ImageCutter.h"
#include "uMapCreation/MapSource.h"

namespace brelo::cli {

namespace {

struct TCreateOptions {
  std::string Source, ProductName, Scale, ProductId, ZOrder = "30", Detail, LevelName, LevelDescription,
      LevelCopyright, TileWidth = "256", TileHeight = "256";
  bool Overwrite = false;
};

void Create(const TCreateOptions& o) {
  long long tw = 0, th = 0, id = 0, z = 0;
  ParseInteger(o.TileWidth, tw);
  ParseInteger(o.TileHeight, th);
  ParseInteger(o.ProductId, id);
  ParseInteger(o.ZOrder, z);
  TMapSourceInfo info = ReadMapSource(o.Source, static_cast<int>(tw), static_cast<int>(th));
  TCreationFields fields{o.Source, o.ProductName, o.ProductId, o.ZOrder, ScaleIndex(o.Scale), o.TileWidth,
                         o.TileHeight, info.TileSizeEnabled
                                           ? TileCountText(info.ImageWidth, info.ImageHeight, o.TileWidth, o.TileHeight)
                                           : info.TileCount};
  TCreationParams params{o.Source, static_cast<std::int32_t>(id), o.ProductName, static_cast<std::int32_t>(z),
                         o.Scale, o.Detail, o.LevelName, o.LevelDescription, o.LevelCopyright, o.Overwrite};
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
    auto* cmd = app.add_subcommand("create", "Build SOURCE.jnx from a calibrated .map or .tar");
    auto o = std::make_shared<TCreateOptions>();
    o->ProductId = std::to_string(std::random_device()() % 100);
    cmd->add_option("SOURCE", o->Source, ".map or .tar file")->required();
    cmd->add_option("--product-name", o->ProductName, "product name (required)")->required();
    cmd->add_option("--scale", o->Scale, "eTrex scale name (required)")->required();
    cmd->add_option("--product-id", o->ProductId, "product ID, 0 or more (default: random 0..99)");
    cmd->add_option("--zorder", o->ZOrder, "Z order, 0..100 (default 30)");
    cmd->add_option("--detail", o->Detail, "detail level text");
    cmd->add_option("--level-name", o->LevelName, "level name");
    cmd->add_option("--level-description", o->LevelDescription, "level description");
    cmd->add_option("--level-copyright", o->LevelCopyright, "level copyright");
    cmd->add_option("--tile-width", o->TileWidth, "tile width for cutting (default 256)");
    cmd->add_option("--tile-height", o->TileHeight, "tile height for cutting (default 256)");
    cmd->add_flag("--overwrite", o->Overwrite, "replace an existing SOURCE.jnx (refused otherwise)");
    cmd->callback([o] { Create(*o); });
  }
}

}  // namespace brelo::cli
