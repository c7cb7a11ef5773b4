// SPDX-License-Identifier: GPL-3.0-or-later
// merge: one map from several with the same level scales.
#include <chrono>
#include <iostream>
#include <memory>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "commands/CommandResult.h"
#include "jnx/MapMerge.h"

namespace brelo::cli {

void RegisterMergeCommands(CLI::App& app) {
  auto* cmd = app.add_subcommand("merge",
                                 "Merge maps whose levels have the same scales into OUT: tiles copied as they are, "
                                 "the header and level texts of the first map");
  auto out = std::make_shared<std::string>();
  auto inputs = std::make_shared<std::vector<std::string>>();
  auto overwrite = std::make_shared<bool>(false);
  cmd->add_option("OUT", *out, "the map to write")->required();
  cmd->add_option("IN", *inputs, "the maps to merge, two or more")->required()->expected(2, -1);
  cmd->add_flag("--overwrite", *overwrite, "replace an existing OUT (refused otherwise)");
  cmd->callback([=] {
    const auto start = std::chrono::steady_clock::now();
    TCommandResult r;
    try {
      const TMergeResult merged = MergeMaps(*inputs, *out, *overwrite, PrintProgress);
      std::string levels;
      for (int n : merged.Tiles) levels += (levels.empty() ? "" : ", ") + std::to_string(n);
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
      r = Done(Format("%s saved in %dms: %zu maps, tiles per level %s.", FileNameOf(*out).c_str(),
                      static_cast<int>(ms.count()), inputs->size(), levels.c_str()),
               *out);
      AddChecks(r, {*out});
    } catch (const ERefused& e) {
      r = Failed(e.what());
    } catch (const EBreloError& e) {
      r = Failed(*out + ": the maps were not merged", e.what());
    }
    Report(r);
  });
}

}  // namespace brelo::cli
