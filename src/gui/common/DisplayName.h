// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file name or path as the window shows it. Names are bytes; one that is not UTF-8 (a
// Latin-1 name from an older system) is shown as Latin-1 rather than as replacement marks.
// Code that opens files keeps the bytes; this text is only shown.
#include <QString>
#include <string>

#include "base/Text.h"

namespace brelo {

inline QString DisplayName(const std::string& bytes) {
  return IsWellFormedUtf8(bytes) ? QString::fromStdString(bytes)
                                 : QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The folder of a path as the caption shows it: without its trailing "/".
inline std::string CaptionFolder(const std::string& folder) {
  return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
}

}  // namespace brelo
