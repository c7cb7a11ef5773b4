// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The maps opened last, newest first, kept in a file of their own ("recent.ini", one
// "FileN=path" line each) beside the settings, so that brelo.ini keeps exactly its own keys.
#include <string>
#include <vector>

namespace brelo {

class TRecentFiles {
 public:
  static constexpr std::size_t kMax = 8;

  explicit TRecentFiles(std::string file) : file_(std::move(file)) {}
  // A missing or unreadable file is an empty list.
  void Read();
  // false when the file cannot be written.
  bool Write() const;
  // The path to the front; an older entry of it goes, the ninth drops off.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::string file_;
  std::vector<std::string> files_;
};

}  // namespace brelo
