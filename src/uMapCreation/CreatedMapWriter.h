// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one writer of new one-level maps, for builds from a tile set and from a single picture:
// header, room for the tile table, the tiles' data as they come, then the trailer, the table
// and the TilesOffset. Written through a temporary file: until Finish an earlier file of the
// destination's name stays as it was.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/SafeFile.h"
#include "jnx/JnxMap.h"
#include "uMapCreation/Calibration.h"
#include "uMapCreation/CreationParams.h"

namespace brelo {

// A level holds at most this many tiles on the receiver.
constexpr int kMaxCreatedTiles = 50000;

class TCreatedMapWriter {
 public:
  // Raises EFormatError for an unknown scale name or a tile count outside 1..kMaxCreatedTiles.
  TCreatedMapWriter(const std::string& destination, const TCreationParams& params, const TPixelCalibration& calibration,
                    int tileCount);
  ~TCreatedMapWriter();
  TCreatedMapWriter(const TCreatedMapWriter&) = delete;
  TCreatedMapWriter& operator=(const TCreatedMapWriter&) = delete;

  // The next tile, at picture position (x, y) [px], of width x height pixels: its entry from
  // the calibration, its JPEG stored without the FF D8 marker.
  void AddTile(std::int64_t x, std::int64_t y, int width, int height, const std::vector<std::uint8_t>& jpeg);
  // After the announced number of tiles: completes the file and puts it in place.
  void Finish();

 private:
  TPixelCalibration calibration_;
  std::string source_;
  std::unique_ptr<TSafeFile> file_;
  std::uint64_t offsetField_ = 0, tableStart_ = 0, data_ = 0;
  int count_ = 0;
  TJnxMap tables_;
};

}  // namespace brelo
