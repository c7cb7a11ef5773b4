#pragma once
// The stored tiles of one JNX file, read through one open file for a whole pass. Every read
// checks the tile's ImageOffset and ImageSize against the file before anything is sized by
// them, so a damaged table costs an error, never memory.
#include <cstdint>
#include <string>
#include <vector>

#include "jnx/JnxMap.h"
#include "jnx/Stream.h"

namespace brelo {

class TJpegImage;

class TTileSource {
 public:
  explicit TTileSource(const std::string& path);

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

}  // namespace brelo
