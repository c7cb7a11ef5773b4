// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a command returns to the window and to brelo-cli: done with its result text, or the
// user-facing message and whether the file may be damaged.
#include <optional>
#include <string>
#include <vector>

#include "jnx/JnxMap.h"

namespace brelo {

struct TCommandResult {
  bool Ok = false;
  // Ok: the result line for the information line. Otherwise the message for the error display.
  std::string Text;
  // Messages the error display shows before Text, in order (a missing picture, say).
  std::vector<std::string> Earlier;
  // The core's own words on a failure, when Text does not give them.
  std::string Detail;
  bool MayBeDamaged = false;
  // The loaded map's file was replaced, changed or removed since it was loaded; nothing was
  // written. The window offers to load it again.
  bool ChangedOnDisk = false;
  // The user stopped the command; nothing was written.
  bool Cancelled = false;
  // The file or folder the command wrote.
  std::string Path;
  // The device check of a written map: its summary ("ok", "1 error, 2 warnings") and its
  // findings as lines ("error: level 2: ...").
  std::string Check;
  std::vector<std::string> CheckFindings;
};

TCommandResult Done(std::string text, std::string path = "");
TCommandResult Failed(std::string text, std::string detail = "", bool mayBeDamaged = false);
// The device check of a written map into the result (tables and each tile's first bytes).
void AddCheck(TCommandResult& result, const std::string& map);
// The same for several maps (volumes of one): findings name their file, the summary adds up.
void AddChecks(TCommandResult& result, const std::vector<std::string>& maps);
// The failure for a loaded map whose file is no longer the one loaded; nullopt when it is.
std::optional<TCommandResult> ChangedOnDiskFailure(const TJnxMap& map);
TCommandResult ChangedOnDiskFailure(const std::string& message);

}  // namespace brelo
