#include "jnx/TileExtraction.h"

#include "MyJpeg/JpegImage.h"
#include "jnx/JnxReader.h"
#include "jnx/Paths.h"
#include "jnx/Text.h"

namespace brelo {

int TileNumberDigits(int count) { return static_cast<int>(std::to_string(count > 1 ? count - 1 : 0).size()); }

std::string TileFileName(int number, int count, const TJnxTile& tile) {
  return Format("%.*d_T%d_R%d_B%d_L%d.jpg", TileNumberDigits(count), number, tile.Top, tile.Right, tile.Bottom,
                tile.Left);
}

std::string TilesBaseFolder(const std::string& jnxPath) { return WithoutExtension(jnxPath) + "_tiles/"; }

bool SaveTiles(const TJnxMap& map, const ProgressSink& progress, std::string& baseFolder, std::string* error) {
  baseFolder.clear();
  if (map.Levels.empty()) return true;
  const std::string base = TilesBaseFolder(map.CurrentFile);
  try {
    CreateFolder(base);
    TFileStream in(map.CurrentFile, TOpenMode::Read);
    TMemoryStream buffer;
    const int levels = static_cast<int>(map.Levels.size());
    for (int n = 0; n < levels; ++n) {
      const TJnxLevel& level = map.Levels[static_cast<std::size_t>(n)];
      const std::string folder = base + Format("level%d_%d_tiles/", n + 1, level.TileCount);
      CreateFolder(folder);
      for (int m = 0; m < level.TileCount; ++m) {
        if (progress) progress(Format("Wait... level %d/%d tile %d/%d", n + 1, levels, m + 1, level.TileCount));
        const TJnxTile& tile = level.Tiles[static_cast<std::size_t>(m)];
        const std::string file = folder + TileFileName(m + 1, level.TileCount, tile);
        RestoreTileJpeg(in, tile, buffer);
        TJpegImage image;
        image.LoadFromStream(buffer);
        image.SaveToFile(file);
      }
    }
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  baseFolder = base;
  return true;
}

}  // namespace brelo
