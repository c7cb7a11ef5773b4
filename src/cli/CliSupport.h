// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the verbs.
#include <string>
#include <vector>

#include "commands/CommandResult.h"
#include "jnx/JnxMap.h"

namespace brelo::cli {

// A detailed load of a file as the current map.
TJnxMap LoadMap(const std::string& file);
// Raises unless level (from 1) exists.
void CheckLevel(const TJnxMap& map, int level);
// Line feeds turned into spaces, as the information line shows messages.
std::string OneLine(std::string text);
// "1,3,7" to {1, 3, 7}; raises on anything else.
std::vector<int> ParseNumberList(const std::string& text);
// A command's result: its text on stdout, or one line naming the failure raised as
// ECommandFailed (the earlier messages, the text, then the core's words in brackets).
void Report(const TCommandResult& result);
// A colour option: "white", "black", "#RRGGBB" or "R,G,B"; raises ECommandFailed naming option.
void ParseColour(const std::string& option, const std::string& text, std::uint8_t rgb[3]);

}  // namespace brelo::cli
