#pragma once
// Small helpers shared by the verbs.
#include <string>
#include <vector>

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

}  // namespace brelo::cli
