// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/MapMerge.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "jnx/DeviceLimits.h"
#include "jnx/JnxMap.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "jnx/TileSource.h"

namespace brelo {

namespace {

std::string Scales(const TJnxMap& m) {
  std::string text;
  for (const auto& l : m.Levels) text += (text.empty() ? "" : ", ") + std::to_string(l.Scale);
  return text;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

TMergeResult MergeMaps(const std::vector<std::string>& inputs, const std::string& out, bool overwrite,
                       const ProgressSink& info) {
  if (inputs.size() < 2) throw ERefused("give at least two maps to merge");
  for (const auto& in : inputs)
    if (SameFile(in, out)) throw ERefused(out + ": it is one of the maps merged; name another file");
  RefuseToReplace(out, overwrite);
  std::vector<TJnxMap> maps(inputs.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    maps[i].CurrentFile = inputs[i];
    ReadJnx(maps[i], inputs[i], true);
  }
  const TJnxMap& first = maps.front();
  for (std::size_t i = 1; i < maps.size(); ++i)
    if (maps[i].Levels.size() != first.Levels.size() ||
        !std::equal(first.Levels.begin(), first.Levels.end(), maps[i].Levels.begin(),
                    [](const TJnxLevel& a, const TJnxLevel& b) { return a.Scale == b.Scale; }))
      throw ERefused(Format("the levels do not match by scale: %s has %s, %s has %s", FileNameOf(inputs[0]).c_str(),
                            Scales(first).c_str(), FileNameOf(inputs[i]).c_str(), Scales(maps[i]).c_str()));

  // The merged model: the first map's header and level texts, every map's tiles.
  TJnxMap merged = first;
  merged.CurrentFile.clear();
  merged.Loaded = {};
  struct TSourceTile {
    std::size_t Map;
    int Level, Index;
  };
  std::vector<TSourceTile> sources;
  TMergeResult result;
  for (std::size_t l = 0; l < merged.Levels.size(); ++l) {
    TJnxLevel& level = merged.Levels[l];
    level.Tiles.clear();
    for (std::size_t m = 0; m < maps.size(); ++m) {
      const auto& tiles = maps[m].Levels[l].Tiles;
      for (std::size_t i = 0; i < tiles.size(); ++i) {
        TJnxTile t;
        static_cast<TJnxTileEntry&>(t) = tiles[i];
        level.Tiles.push_back(t);
        sources.push_back({m, static_cast<int>(l), static_cast<int>(i)});
      }
    }
    if (level.Tiles.size() > static_cast<std::size_t>(kMaxTilesPerLevel))
      throw ERefused(Format("level %zu would hold %zu tiles; receivers show at most %d in a level", l + 1,
                            level.Tiles.size(), kMaxTilesPerLevel));
    level.TileCount = static_cast<std::int32_t>(level.Tiles.size());
    result.Tiles.push_back(level.TileCount);
  }
  bool any = false;
  for (const auto& m : maps) {
    if (!any) merged.North = m.North, merged.South = m.South, merged.East = m.East, merged.West = m.West;
    merged.North = std::max(merged.North, m.North), merged.South = std::min(merged.South, m.South);
    merged.East = std::max(merged.East, m.East), merged.West = std::min(merged.West, m.West);
    any = true;
  }

  std::vector<std::unique_ptr<TTileSource>> files;
  for (const auto& in : inputs) files.push_back(std::make_unique<TTileSource>(in));
  std::size_t written = 0;
  auto writer = [&](TFileStream& stream, std::uint32_t) {
    TMemoryStream jpeg;
    for (const auto& s : sources) {
      jpeg.Clear();
      files[s.Map]->Restore(
          maps[s.Map].Levels[static_cast<std::size_t>(s.Level)].Tiles[static_cast<std::size_t>(s.Index)], s.Level,
          s.Index, jpeg);
      // Stored without the FF D8 that restoring puts in front.
      stream.Write(jpeg.Data().data() + 2, jpeg.Data().size() - 2);
      if (info && ++written % 1000 == 0)
        info(Format("%s: %zu/%zu tiles", FileNameOf(out).c_str(), written, sources.size()));
    }
  };
  WriteJnx(merged, out, -1, writer, nullptr);
  return result;
}

}  // namespace brelo
