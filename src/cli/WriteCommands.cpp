// SPDX-License-Identifier: GPL-3.0-or-later
// save-map, save-level, save-tiles: writing new files from a JNX map.
#include <memory>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/SaveCommands.h"

namespace brelo::cli {

void RegisterWriteCommands(CLI::App& app) {
  {
    auto* cmd = app.add_subcommand("save-map", "Write the whole map as FILE_saved.jnx");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->callback([file] {
      TJnxMap map = LoadMap(*file);
      Report(SaveMapCommand(map, nullptr, PrintProgress));
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
      Report(SaveLevelCommand(map, *level, PrintProgress));
    });
  }
  {
    auto* cmd = app.add_subcommand("save-tiles", "Write every tile as a JPEG file beside FILE");
    auto file = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->callback([file] {
      TJnxMap map = LoadMap(*file);
      Report(SaveTilesCommand(map, PrintProgress));
    });
  }
}

}  // namespace brelo::cli
