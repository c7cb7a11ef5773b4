// save-map, save-level, save-tiles: writing new files from a JNX map.
#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "cli/CliSupport.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "jnx/MapEdits.h"
#include "jnx/Paths.h"
#include "jnx/Text.h"
#include "jnx/TileExtraction.h"

namespace brelo::cli {

namespace {

void SaveJnx(TJnxMap& map, const std::string& destination, int level) {
  auto writer = [&map](TFileStream& out, std::uint32_t first) { CopyTileData(map, out, first, PrintProgress); };
  std::string error;
  if (!WriteJnx(map, destination, level, writer, PrintProgress, &error))
    throw ECommandFailed(OneLine(destination + "\n\nWrite error.") + " (" + error + ")");
  std::cout << destination << " saved.\n";
}

}  // namespace

void RegisterWriteCommands(CLI::App& app) {
  {
    auto* cmd = app.add_subcommand("save-map", "Write the whole map as FILE_saved.jnx");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->callback([file] {
      TJnxMap map = LoadMap(*file);
      // The rules the window applies to its cells before saving, over the cells as shown.
      TMapEditCells cells = EditCellsFromMap(map);
      ApplyMapEdits(map, cells);
      SaveJnx(map, WithoutExtension(*file) + "_saved.jnx", -1);
    });
  }
  {
    auto* cmd = app.add_subcommand("save-level", "Write one level as FILE_levelN.jnx");
    auto file = std::make_shared<std::string>();
    auto level = std::make_shared<int>(0);
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("LEVEL", *level, "level number, from 1")->required();
    cmd->callback([file, level] {
      TJnxMap map = LoadMap(*file);
      CheckLevel(map, *level);
      SaveJnx(map, WithoutExtension(*file) + Format("_level%d.jnx", *level), *level - 1);
    });
  }
  {
    auto* cmd = app.add_subcommand("save-tiles", "Write every tile as a JPEG file beside FILE");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->callback([file] {
      TJnxMap map = LoadMap(*file);
      std::string base, error;
      if (!SaveTiles(map, PrintProgress, base, &error)) throw ECommandFailed("Błąd zapisu kafelków. (" + error + ")");
      std::cout << "Kafelki zapisane do " << base << '\n';
    });
  }
}

}  // namespace brelo::cli
