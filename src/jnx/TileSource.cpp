#include "jnx/TileSource.h"

#include "MyJpeg/JpegImage.h"
#include "jnx/Errors.h"
#include "jnx/Text.h"

namespace brelo {

TTileSource::TTileSource(const std::string& path) : in_(path, TOpenMode::Read), size_(in_.Size()) {}

void TTileSource::Restore(const TJnxTile& tile, int level, int index, TMemoryStream& out) {
  if (tile.ImageSize < 0)
    throw EFormatError(Path() + Format(": negative ImageSize %d in tile %d of level %d", tile.ImageSize, index + 1,
                                       level + 1));
  const std::uint64_t stored = static_cast<std::uint32_t>(tile.ImageSize);
  if (tile.ImageOffset + stored > size_)
    throw EFormatError(Path() + Format(": data of tile %d of level %d lies past the end of the file", index + 1,
                                       level + 1));
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

}  // namespace brelo
