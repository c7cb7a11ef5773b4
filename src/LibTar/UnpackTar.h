// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "base/Progress.h"

namespace brelo {

// Unpacks archive x.tar into the folder x beside it; returns whether the folder was new.
// Entries whose names are absolute or contain ".." are refused (nothing is written outside
// the folder) and raise, as any read or write error does; a folder the run made is then
// removed again.
bool UnpackTar(const std::string& archive, const ProgressSink& info = nullptr);

// True when an entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const std::string& name);

}  // namespace brelo
