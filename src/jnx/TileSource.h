// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stored tiles of one JNX file, read through one open file for a whole pass. Every read
// checks the tile's ImageOffset and ImageSize against the file before anything is sized by
// them, so a damaged table costs an error, never memory.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Stream.h"
#include "jnx/JnxMap.h"

namespace brelo {

class TJpegImage;

class TTileSource {
 public:
  // bufferSize suits the reading: large for whole levels in file order, small for a few tiles
  // at scattered places, where every seek would otherwise refill a large buffer.
  explicit TTileSource(const std::string& path, std::size_t bufferSize = 1 << 20);

  // The complete JPEG stream of a stored tile: FF D8 followed by its ImageSize stored bytes.
  // level and index (0-based) name the tile in messages. Raises EFormatError for a negative
  // size or data past the end of the file, EIoError for a failed read.
  void Restore(const TJnxTile& tile, int level, int index, TMemoryStream& out);
  // Restores the tile and decodes it at image.DecodeScale; raises as Restore, or EJPEG.
  void Decode(const TJnxTile& tile, int level, int index, TJpegImage& image);

  const std::string& Path() const { return in_.Path(); }
  std::uint64_t FileSize() const { return size_; }

 private:
  TFileStream in_;
  std::uint64_t size_;
  TMemoryStream buffer_;
};

// What decoding one tile gave.
struct TDecodedTile {
  int Level = 0, Tile = 0;  // 0-based
  bool Ok = false;
  int Width = 0, Height = 0;  // decoded size when Ok
  std::string Error;          // the reason otherwise
};

// Decodes every tile of one level (0-based; -1 for all levels) of the map's CurrentFile at
// scale on up to threads threads; done gets each outcome on the calling thread, in level and
// tile order, whatever the number of threads. The file is read once, in order.
void DecodeTiles(const TJnxMap& map, int level, int scaleLog2, unsigned threads,
                 const std::function<void(const TDecodedTile&)>& done);

}  // namespace brelo
