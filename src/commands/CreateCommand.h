// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a new one-level JNX from a calibrated source: a ".map" with its tile set, a single
// calibrated picture, or an archive made by the export.
#include <string>

#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "uMapCreation/CreationParams.h"
#include "uMapCreation/MapSource.h"

namespace brelo {

// The dialog's caption and control name of a field: "Product Name", "leProductName".
const char* CreationFieldCaption(TCreationField field);
const char* CreationFieldControl(TCreationField field);

struct TCreateResult : TCommandResult {
  TCreationField Invalid = TCreationField::None;  // the first field that did not pass
};

// The file a build from source writes: SOURCE with ".jnx" for its extension.
std::string CreatedMapName(const std::string& source);

// fields are the dialog's texts as "Start" checks them; params the texts of the new map. A
// ".map" without a ".set" beside it is cut from its picture at tileWidth x tileHeight, an
// archive is unpacked first. An existing file of the new map's name is refused unless
// params.Overwrite. Ok: "NAME.jnx saved in Nms.", Path the new file. Stopped through the meter:
// Cancelled, nothing written or replaced.
TCreateResult CreateMapCommand(const TCreationFields& fields, const TCreationParams& params, int tileWidth,
                               int tileHeight, const ProgressSink& info, const TWorkMeter* meter = nullptr);

}  // namespace brelo
