// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a multi-level JNX (or several volumes of one) from georeferenced rasters: read and
// warped once onto WGS 84 in bands, each coarser level averaged from the finer one, tiles
// encoded on every core and written in order.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "raster/GeoRaster.h"
#include "uMapCreation/LevelPlan.h"
#include "uMapCreation/VolumeWriter.h"

namespace brelo {

struct TRasterBuildOptions {
  std::vector<std::string> Sources;  // one raster, or several forming a mosaic
  std::string Output;                // empty: the first source with ".jnx"
  TLevelOptions Levels;
  TResampling Resampling = TResampling::Cubic;
  std::uint8_t Background[3] = {255, 255, 255};
  bool FullChroma = false;  // 4:4:4 instead of 4:2:0
  TMapTexts Texts;
  bool Overwrite = false;
  int StripPixels = 8192;  // widest strip worked at once (memory)
};

// The file a build writes when no output is named.
std::string RasterMapName(const TRasterBuildOptions& options);

struct TRasterPlan {
  std::unique_ptr<TRasterSource> Source;
  TLevelPlan Plan;
};

// Opens the sources and plans the levels and volumes; writes nothing.
TRasterPlan PlanRasterMap(const TRasterBuildOptions& options);

struct TRasterBuildResult {
  std::vector<std::string> Files;  // the volumes written
  TLevelPlan Plan;
  std::vector<std::string> Notes;  // of the source and of the plan
};

// The whole build: the plan's lines go to info first. Refuses before writing anything when a
// file of a volume's name exists (unless Overwrite) or the destination lacks room. A failed or
// cancelled build leaves no partial file and any earlier file of a volume's name as it was.
TRasterBuildResult BuildRasterMap(const TRasterBuildOptions& options, const ProgressSink& info,
                                  const TWorkMeter* meter);

}  // namespace brelo
