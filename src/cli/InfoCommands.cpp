// SPDX-License-Identifier: GPL-3.0-or-later
// info, tile, decode: reading a JNX file and its tiles.
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "MyJpeg/JpegImage.h"
#include "base/Coordinates.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "jnx/JnxReader.h"
#include "jnx/ScaleTable.h"
#include "jnx/TileSource.h"

namespace brelo::cli {

namespace {

nlohmann::ordered_json MapToJson(const TJnxMap& m) {
  nlohmann::ordered_json j;
  j["FileSize"] = m.FileSize;
  j["Version"] = m.Version;
  j["DeviceId"] = m.DeviceId;
  j["North"] = m.North;
  j["East"] = m.East;
  j["South"] = m.South;
  j["West"] = m.West;
  j["LevelCount"] = m.LevelCount;
  j["Expiration"] = m.Expiration;
  j["ProductId"] = m.ProductId;
  j["Crc32"] = m.Crc32;
  j["SignatureVersion"] = m.SignatureVersion;
  j["SignatureOffset"] = m.SignatureOffset;
  j["ZOrder"] = m.ZOrder;
  j["BlockVersion"] = m.BlockVersion;
  j["Guid"] = m.Guid;
  j["ProductName"] = m.ProductName;
  j["UnknownString"] = m.UnknownString;
  j["ProductId2"] = m.ProductId2;
  j["DetailLevel"] = m.DetailLevel;
  j["LevelCount2"] = m.LevelCount2;
  auto& levels = j["Levels"] = nlohmann::ordered_json::array();
  for (const auto& l : m.Levels) {
    nlohmann::ordered_json jl;
    jl["TileCount"] = l.TileCount;
    jl["TilesOffset"] = l.TilesOffset;
    jl["Scale"] = l.Scale;
    jl["LevelUnknown"] = l.LevelUnknown;
    jl["LevelCopyright"] = l.LevelCopyright;
    jl["Name"] = l.Name;
    jl["Description"] = l.Description;
    jl["Copyright"] = l.Copyright;
    jl["Zoom"] = l.Zoom;
    auto& tiles = jl["Tiles"] = nlohmann::ordered_json::array();
    for (const auto& t : l.Tiles)
      tiles.push_back({{"Top", t.Top},
                       {"Right", t.Right},
                       {"Bottom", t.Bottom},
                       {"Left", t.Left},
                       {"Width", t.Width},
                       {"Height", t.Height},
                       {"ImageSize", t.ImageSize},
                       {"ImageOffset", t.ImageOffset}});
    levels.push_back(std::move(jl));
  }
  return j;
}

void PrintSummary(const TJnxMap& m) {
  std::cout << "File:         " << m.CurrentFile << " (" << m.FileSize << " bytes)\n"
            << "Product:      " << m.ProductName << " (ID " << m.ProductId << ")\n"
            << "Version:      " << m.Version << ", Z order " << m.ZOrder << '\n'
            << Format("Bounds:       N %.6f  E %.6f  S %.6f  W %.6f\n", JnxToDeg(m.North), JnxToDeg(m.East),
                      JnxToDeg(m.South), JnxToDeg(m.West))
            << "GUID:         " << m.Guid << '\n'
            << "Levels:       " << m.LevelCount << '\n';
  for (std::size_t i = 0; i < m.Levels.size(); ++i) {
    const auto& l = m.Levels[i];
    std::cout << Format("  %zu: %d tiles, scale %u (%s)", i + 1, l.TileCount, l.Scale, ScaleName(l.Scale).c_str());
    if (!l.Name.empty()) std::cout << ", \"" << l.Name << '"';
    std::cout << '\n';
  }
}

int ParseScale(int denominator) {
  switch (denominator) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
  }
  return -1;
}

}  // namespace

void RegisterInfoCommands(CLI::App& app) {
  {
    auto* cmd = app.add_subcommand("info", "Show the header, levels and tiles of a JNX file");
    auto file = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_flag("--json", *json, "One JSON object with the model's fields");
    cmd->callback([file, json] {
      TJnxMap map = LoadMap(*file);
      if (*json)
        std::cout << MapToJson(map).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
      else
        PrintSummary(map);
    });
  }
  {
    auto* cmd = app.add_subcommand("tile", "Write the restored JPEG of one tile");
    auto file = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto level = std::make_shared<int>(0), tile = std::make_shared<int>(0);
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("LEVEL", *level, "level number, from 1")->required();
    cmd->add_option("TILE", *tile, "tile number, from 1")->required();
    cmd->add_option("OUT", *out, "output JPEG file")->required();
    cmd->callback([=] {
      TJnxMap map = LoadMap(*file);
      std::vector<std::uint8_t> bytes = RestoreTileJpeg(map, *level - 1, *tile - 1);
      WriteFileBytes(*out, bytes.data(), bytes.size());
    });
  }
  {
    auto* cmd = app.add_subcommand("decode", "Decode every tile and report failures");
    auto file = std::make_shared<std::string>();
    auto level = std::make_shared<int>(0), scale = std::make_shared<int>(1);
    cmd->add_option("FILE", *file, "JNX file")->required();
    cmd->add_option("--level", *level, "only this level, from 1");
    cmd->add_option("--scale", *scale, "decode at 1/SCALE size")->check(CLI::IsMember({1, 2, 4, 8}));
    cmd->callback([=] {
      TJnxMap map = LoadMap(*file);
      if (*level != 0 && (*level < 1 || *level > map.LevelCount))
        throw ECommandFailed(*file + Format(": no level %d (the map has %d)", *level, map.LevelCount));
      int decoded = 0, failed = 0;
      std::string first;
      // Decoded on every core, reported in tile order.
      DecodeTiles(map, *level - 1, ParseScale(*scale), PipelineThreads(), [&](const TDecodedTile& t) {
        if (!t.Ok) {
          ++failed;
          std::cerr << Format("brelo-cli: %s: level %d tile %d: ", file->c_str(), t.Level + 1, t.Tile + 1) << t.Error
                    << '\n';
        } else if (decoded++ == 0) {
          first = Format("%dx%d", t.Width, t.Height);
        }
      });
      std::cout << decoded << " tiles decoded";
      if (decoded) std::cout << ", first " << first;
      std::cout << '\n';
      if (failed) throw ECommandFailed(*file + Format(": %d tiles failed to decode", failed));
    });
  }
}

}  // namespace brelo::cli
