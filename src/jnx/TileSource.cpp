// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/TileSource.h"

#include "MyJpeg/JpegImage.h"
#include "base/Errors.h"
#include "base/Pipeline.h"
#include "base/Text.h"

namespace brelo {

TTileSource::TTileSource(const std::string& path, std::size_t bufferSize)
    : in_(path, TOpenMode::Read, bufferSize), size_(in_.Size()) {}

void TTileSource::Restore(const TJnxTile& tile, int level, int index, TMemoryStream& out) {
  if (tile.ImageSize < 0)
    throw EFormatError(Path() +
                       Format(": negative ImageSize %d in tile %d of level %d", tile.ImageSize, index + 1, level + 1));
  const std::uint64_t stored = static_cast<std::uint32_t>(tile.ImageSize);
  if (tile.ImageOffset + stored > size_)
    throw EFormatError(Path() +
                       Format(": data of tile %d of level %d lies past the end of the file", index + 1, level + 1));
  out.Clear();
  auto& data = out.Data();
  data.resize(2 + static_cast<std::size_t>(stored));
  data[0] = 0xFF;
  data[1] = 0xD8;
  in_.Seek(tile.ImageOffset);
  in_.ReadExact(data.data() + 2, static_cast<std::size_t>(stored), "tile data");
  out.Seek(0);
}

void TTileSource::Decode(const TJnxTile& tile, int level, int index, TJpegImage& image) {
  Restore(tile, level, index, buffer_);
  image.LoadFromStream(buffer_);
  image.Decode();
}

void DecodeTiles(const TJnxMap& map, int level, int scaleLog2, unsigned threads,
                 const std::function<void(const TDecodedTile&)>& done) {
  std::vector<std::pair<int, int>> items;
  for (int l = 0; l < static_cast<int>(map.Levels.size()); ++l)
    if (level < 0 || l == level)
      for (int t = 0; t < static_cast<int>(map.Levels[static_cast<std::size_t>(l)].Tiles.size()); ++t)
        items.emplace_back(l, t);
  TTileSource source(map.CurrentFile);
  struct TRead {
    std::vector<std::uint8_t> Jpeg;
    std::string Error;
  };
  std::function<TRead(std::size_t)> produce = [&](std::size_t i) {
    const auto [l, t] = items[i];
    TRead read;
    TMemoryStream buffer;
    try {
      source.Restore(map.Levels[static_cast<std::size_t>(l)].Tiles[static_cast<std::size_t>(t)], l, t, buffer);
      read.Jpeg = std::move(buffer.Data());
    } catch (const EBreloError& e) {
      read.Error = e.what();
    }
    return read;
  };
  // Decoding never throws out of a worker: every outcome is kept, and reported in order once
  // every tile before it is done (reached(i) says items before i are).
  std::vector<TDecodedTile> outcomes(items.size());
  std::function<void(TRead&, std::size_t)> consume = [&](TRead& read, std::size_t i) {
    TDecodedTile& out = outcomes[i];
    out.Level = items[i].first, out.Tile = items[i].second;
    if (!read.Error.empty()) {
      out.Error = std::move(read.Error);
      return;
    }
    try {
      TJpegImage image;
      image.DecodeScale = static_cast<TDecodeScale>(scaleLog2);
      image.LoadFromBytes(std::move(read.Jpeg));
      image.Decode();
      out.Ok = true;
      out.Width = image.Width(), out.Height = image.Height();
    } catch (const std::exception& e) {
      out.Error = e.what();
    }
  };
  std::size_t reported = 0;
  std::function<void(std::size_t)> reached = [&](std::size_t i) {
    for (; reported < i; ++reported) done(outcomes[reported]);
  };
  RunPipeline<TRead>(items.size(), produce, consume, threads, reached);
  for (; reported < items.size(); ++reported) done(outcomes[reported]);
}

}  // namespace brelo
