// SPDX-License-Identifier: GPL-3.0-or-later
// edit, delete-tiles, add-dummy-level: changing a JNX file in place.
#include <iostream>
#include <memory>

#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/UpdateCommands.h"
#include "jnx/MapEdits.h"
#include "jnx/ScaleTable.h"

namespace brelo::cli {

namespace {

// Sets the cell named by key ("ProductName", "L2.Name", ...) to value.
void SetCell(TMapEditCells& cells, const std::string& file, const std::string& key, const std::string& value) {
  if (key == "Version") return void(cells.Version = value);
  if (key == "ProductId") return void(cells.ProductId = value);
  if (key == "ProductName") return void(cells.ProductName = value);
  if (key == "ZOrder") return void(cells.ZOrder = value);
  if (key == "DetailLevel") return void(cells.DetailLevel = value);
  std::size_t dot = key.find('.');
  if (key.size() > 1 && key[0] == 'L' && dot != std::string::npos) {
    int level = 0;
    try {
      level = static_cast<int>(StrictInt(key.substr(1, dot - 1)));
    } catch (const EFormatError&) {
    }
    if (level < 1 || level > static_cast<int>(cells.Levels.size()))
      throw ECommandFailed(file + ": no level for the key " + key);
    TLevelEditCells& l = cells.Levels[static_cast<std::size_t>(level - 1)];
    const std::string field = key.substr(dot + 1);
    if (field == "Scale") {
      std::int64_t v = ScaleValue(value);
      if (v < 0) throw ECommandFailed(file + ": unknown eTrex scale name \"" + value + "\"");
      return void(l.Scale = std::to_string(v));
    }
    if (field == "Copyright") return void(l.Copyright = value);
    if (field == "Name") return void(l.Name = value);
    if (field == "Description") return void(l.Description = value);
  }
  throw ECommandFailed(file + ": unknown key " + key);
}

}  // namespace

void RegisterEditCommands(CLI::App& app) {
  {
    auto* cmd = app.add_subcommand("edit", "Change header and level fields in place");
    auto file = std::make_shared<std::string>();
    auto edits = std::make_shared<std::vector<std::string>>();
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("EDITS", *edits,
                    "KEY=VALUE: Version, ProductId, ProductName, ZOrder, DetailLevel, "
                    "Ln.Scale (eTrex name), Ln.Copyright, Ln.Name, Ln.Description")
        ->required();
    cmd->callback([file, edits] {
      TJnxMap map = LoadMap(*file);
      TMapEditCells cells = EditCellsFromMap(map);
      for (const auto& e : *edits) {
        std::size_t eq = e.find('=');
        if (eq == std::string::npos) throw ECommandFailed(*file + ": \"" + e + "\" is not KEY=VALUE");
        SetCell(cells, *file, e.substr(0, eq), e.substr(eq + 1));
      }
      Report(UpdateNowCommand(map, &cells));
    });
  }
  {
    auto* cmd = app.add_subcommand("delete-tiles", "Remove tiles from a level in place");
    auto file = std::make_shared<std::string>(), list = std::make_shared<std::string>();
    auto level = std::make_shared<int>(0);
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("LEVEL", *level, "level number, from 1")->required();
    cmd->add_option("TILES", *list, "tile numbers from 1, separated by commas")->required();
    cmd->callback([=] {
      TJnxMap map = LoadMap(*file);
      CheckLevel(map, *level);
      std::vector<int> selected;
      for (int n : ParseNumberList(*list)) {
        if (n < 1 || n > map.Levels[static_cast<std::size_t>(*level - 1)].TileCount)
          throw ECommandFailed(*file + Format(": no tile %d in level %d", n, *level));
        selected.push_back(n - 1);
      }
      Report(DeleteTilesCommand(map, *level - 1, selected));
    });
  }
  {
    auto* cmd = app.add_subcommand("add-dummy-level", "Append a placeholder level of one tiny tile");
    auto file = std::make_shared<std::string>(), scale = std::make_shared<std::string>();
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("SCALENAME", *scale, "eTrex scale name of the new level")->required();
    cmd->callback([=] {
      TJnxMap map = LoadMap(*file);
      Report(AddPlaceholderLevelCommand(map, *scale));
    });
  }
}

}  // namespace brelo::cli
