// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/RecentFiles.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"

namespace brelo {

void TRecentFiles::Read() {
  files_.clear();
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileBytes(file_);
  } catch (const EBreloError&) {
    return;
  }
  for (const std::string& line : SplitLines(std::string(bytes.begin(), bytes.end()))) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || line.compare(0, 4, "File") != 0 || eq + 1 >= line.size()) continue;
    if (files_.size() < kMax && std::find(files_.begin(), files_.end(), line.substr(eq + 1)) == files_.end())
      files_.push_back(line.substr(eq + 1));
  }
}

bool TRecentFiles::Write() const {
  std::string text;
  for (std::size_t i = 0; i < files_.size(); ++i) text += "File" + std::to_string(i + 1) + "=" + files_[i] + "\r\n";
  try {
    WriteFileBytes(file_, text.data(), text.size());
  } catch (const EBreloError&) {
    return false;
  }
  return true;
}

void TRecentFiles::Add(const std::string& path) {
  Remove(path);
  files_.insert(files_.begin(), path);
  if (files_.size() > kMax) files_.resize(kMax);
}

void TRecentFiles::Remove(const std::string& path) { std::erase(files_, path); }

}  // namespace brelo
