// SPDX-License-Identifier: GPL-3.0-or-later
// check: will the maps work on a receiver? Exit status 3 when a finding is an error.
#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "base/Text.h"
#include "check/DeviceCheck.h"
#include "cli/Commands.h"

namespace brelo::cli {

namespace {

struct TCheckOptions {
  std::vector<std::string> Paths;
  bool Json = false, Quick = false, Decode = false;
};

nlohmann::ordered_json FindingsToJson(const std::vector<TFinding>& findings) {
  auto out = nlohmann::ordered_json::array();
  for (const auto& f : findings) {
    nlohmann::ordered_json j;
    j["severity"] = SeverityName(f.Severity);
    j["code"] = f.Code;
    j["level"] = f.Level;
    j["tile"] = f.Tile;
    j["message"] = f.Message;
    out.push_back(std::move(j));
  }
  return out;
}

void Print(const std::string& name, const std::vector<TFinding>& findings, const std::string& summary) {
  std::cout << name << ": " << summary << '\n';
  for (const auto& f : findings) std::cout << "  " << SeverityName(f.Severity) << ": " << f.Message << '\n';
}

void Check(const TCheckOptions& o) {
  int errors = 0;
  auto maps = nlohmann::ordered_json::array(), folders = nlohmann::ordered_json::array();
  auto map = [&](const TMapCheck& m) {
    errors += m.Count(TSeverity::Error);
    if (o.Json) {
      nlohmann::ordered_json j;
      j["path"] = m.Path;
      j["summary"] = m.Summary();
      j["findings"] = FindingsToJson(m.Findings);
      maps.push_back(std::move(j));
    } else {
      Print(m.Path, m.Findings, m.Summary());
    }
  };
  for (const std::string& path : o.Paths) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      // A folder reads headers, tables and each tile's first bytes; --decode decodes as well.
      const TFolderCheck folder = CheckFolder(path, o.Decode ? TCheckDepth::Decode : TCheckDepth::Tiles);
      for (const auto& m : folder.Maps) map(m);
      for (const auto& f : folder.Folder) errors += f.Severity == TSeverity::Error;
      if (o.Json) {
        nlohmann::ordered_json j;
        j["path"] = path;
        j["maps"] = folder.Maps.size();
        j["findings"] = FindingsToJson(folder.Folder);
        folders.push_back(std::move(j));
      } else if (!folder.Folder.empty()) {
        Print(path + " (the folder)", folder.Folder, Format("%zu findings", folder.Folder.size()));
      }
    } else {
      // A file is decoded as well unless --quick.
      map(CheckMapFile(path, o.Quick ? TCheckDepth::Tiles : TCheckDepth::Decode));
    }
  }
  if (o.Json) {
    nlohmann::ordered_json j;
    j["errors"] = errors;
    j["maps"] = std::move(maps);
    j["folders"] = std::move(folders);
    std::cout << j.dump(2) << '\n';
  }
  if (errors > 0) throw EExitStatus{3};
}

}  // namespace

void RegisterCheckCommands(CLI::App& app) {
  auto* cmd = app.add_subcommand(
      "check", "Will the maps work on a receiver? Findings per map and folder; exit status 3 when any is an error");
  auto o = std::make_shared<TCheckOptions>();
  cmd->add_option("PATH", o->Paths, "JNX files and folders of them")->required();
  cmd->add_flag("--json", o->Json, "every finding as JSON");
  auto* quick = cmd->add_flag("--quick", o->Quick, "files: read each tile's first bytes only, without decoding");
  cmd->add_flag("--decode", o->Decode, "folders: decode every tile as well")->excludes(quick);
  cmd->callback([o] { Check(*o); });
}

}  // namespace brelo::cli
