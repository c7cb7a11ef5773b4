// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Synthetic inputs for the benchmarks, made once per run in the system's temporary folder.
#include <cstdint>
#include <string>
#include <vector>

namespace brelo::bench {

std::string TempPath(const std::string& name);
// A colour tile with some texture, encoded at quality 85.
std::vector<std::uint8_t> TextureJpeg(int width, int height, int seed);
// A one-level JNX of count tiles (the given JPEG repeated, or varied when vary is set)
// written to path unless it already exists with that many tiles.
void MakeJnx(const std::string& path, int count, const std::vector<std::uint8_t>& jpeg);
// The same with the given tiles, one each.
void MakeJnxOfTiles(const std::string& path, const std::vector<std::vector<std::uint8_t>>& jpegs);
// A one-level JNX of count tiles cycling through `distinct` different textures, written tile
// by tile (a 50,000-tile map is never held in memory); kept when it exists with that many.
std::string CyclingJnx(const std::string& name, int count, int distinct);
// MakeJnx in the temporary folder with square texture tiles of the given side; returns the path.
std::string SyntheticJnx(const std::string& name, int count, int tileSide, int seed);

}  // namespace brelo::bench
