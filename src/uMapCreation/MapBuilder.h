// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a one-level JNX file from a calibrated tile set (a ".map", a ".set" and set/).
#include <string>

#include "base/Progress.h"
#include "base/Stream.h"
#include "uMapCreation/CreationParams.h"

namespace brelo {

// Where a run from a ".map" works: its own folder when a ".set" lies beside it, else the folder
// S without extension. An archive is built from a private folder it is unpacked into.
std::string WorkingFolder(const std::string& source);

// A white tile with a black frame and both diagonals, as JPEG.
void PlaceholderTile(TMemoryStream& out, int width, int height);

// Writes S with ".jnx" from the tile set in folder (with a trailing "/": the ".map" and ".set"
// named after S, and set/); progress lines go to info. Raises on failure; the file is written
// through a temporary file, so a failed run leaves an earlier file of that name as it was.
// Nothing in folder is changed. A stop asked through the meter raises ECancelled and leaves the
// same.
void BuildJnxFromMap(const TCreationParams& params, const std::string& folder, const ProgressSink& info = nullptr,
                     const TWorkMeter* meter = nullptr);

}  // namespace brelo
