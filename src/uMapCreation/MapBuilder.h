// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a one-level JNX file from a calibrated tile set (a ".map", a ".set" and set/).
#include <string>

#include "base/Progress.h"
#include "base/Stream.h"
#include "uMapCreation/CreationParams.h"

namespace brelo {

// Where a run works: for an archive the folder it unpacks into; for a ".map" its own folder
// when a ".set" lies beside it, else the folder S without extension.
std::string WorkingFolder(const std::string& source);
// The folder an archive x.tar unpacks into: "x/".
std::string UnpackFolder(const std::string& archive);

// A white tile with a black frame and both diagonals, as JPEG.
void PlaceholderTile(TMemoryStream& out, int width, int height);

// Writes S with ".jnx" from the tile set in the working folder; progress lines go to info.
// Raises on failure; the file is written through a temporary file, so a failed run leaves an
// earlier file of that name as it was. folderCreated says that unpacking the archive S made
// its folder, which is then deleted on every path; no other folder ever is. A stop asked
// through the meter raises ECancelled and leaves the same.
void BuildJnxFromMap(const TCreationParams& params, bool folderCreated, const ProgressSink& info = nullptr,
                     const TWorkMeter* meter = nullptr);

}  // namespace brelo
