// SPDX-License-Identifier: GPL-3.0-or-later
// export: one level of a map as a GeoTIFF, a PNG with a world file or MBTiles.
#include <iostream>
#include <memory>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/GisExportCommand.h"

namespace brelo::cli {

void RegisterGisCommands(CLI::App& app) {
  auto* cmd = app.add_subcommand(
      "export",
      "Export one level as a georeferenced raster: OUT.tif (GeoTIFF), OUT.png (with a world file) or "
      "OUT.mbtiles, on WGS 84 at the level's finest tile resolution");
  struct TOptions {
    std::string File, Out, Compress = "deflate", Background;
    int Level = 0, Quality = 90;
    bool Overviews = false, Overwrite = false;
  };
  auto o = std::make_shared<TOptions>();
  cmd->add_option("FILE", o->File, "JNX file")->required();
  cmd->add_option("LEVEL", o->Level, "level number, from 1")->required();
  cmd->add_option("OUT", o->Out, "the raster to write: .tif, .png or .mbtiles")->required();
  cmd->add_option("--compress", o->Compress, "GeoTIFF compression: deflate (lossless, default) or jpeg")
      ->check(CLI::IsMember({"deflate", "jpeg"}));
  cmd->add_option("--quality", o->Quality, "JPEG quality of --compress jpeg, 1 to 100 (default 90)")
      ->check(CLI::Range(1, 100));
  cmd->add_flag("--overviews", o->Overviews, "GeoTIFF: add overviews");
  cmd->add_option("--background", o->Background,
                  "fill gaps with this colour (white, black, #RRGGBB, R,G,B) "
                  "instead of leaving them transparent");
  cmd->add_flag("--overwrite", o->Overwrite, "replace an existing OUT (refused otherwise)");
  cmd->callback([o] {
    TGisExportOptions options;
    options.File.Compression = o->Compress == "jpeg" ? TRasterCompression::Jpeg : TRasterCompression::Deflate;
    options.File.JpegQuality = o->Quality;
    options.File.Overviews = o->Overviews;
    options.Overwrite = o->Overwrite;
    if (!o->Background.empty()) {
      ParseColour("--background", o->Background, options.Background);
      options.UseBackground = true;
    }
    const TJnxMap map = LoadMap(o->File);
    if (o->Level < 1 || o->Level > static_cast<int>(map.Levels.size()))
      throw ECommandFailed(o->File + ": no level " + std::to_string(o->Level));
    const TCommandResult r = ExportGisCommand(map, o->Level, o->Out, options, PrintProgress, nullptr);
    if (r.Ok)
      for (const auto& note : r.Earlier) std::cout << "note: " << note << '\n';
    Report(r);
  });
}

}  // namespace brelo::cli
