// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The listing rules of the file dialog, apart from any widget.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace brelo {

// The file-type box's items: the filter's "|"-separated patterns, then "*.*" unless present.
std::vector<std::string> FilterItems(const std::string& filter);
// Whether a file of this name is listed under the mask (both compared lower-cased): a
// one-character mask matches first letters; "*.*" everything; a longer mask matches when the
// name's extension occurs anywhere in it, or it occurs anywhere in the name.
bool MaskMatches(const std::string& mask, const std::string& fileName);
// Icon of a file: 1 for any file, 2 to 12 for the extension groups (0 is a folder's).
int FileIcon(const std::string& fileName);
// 512B, 1.50KB, 0.98KB, 12.3MB: base 1024, 3 significant figures, the unit letter and "B".
std::string FormatSize(std::uint64_t bytes);
// The favourites of an external file manager's configuration: the "menu"/"cmd" pairs of its
// "[DirMenu]" section as (caption, folder).
std::vector<std::pair<std::string, std::string>> ParseDirMenu(const std::vector<std::string>& lines);

}  // namespace brelo
