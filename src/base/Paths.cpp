// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Paths.h"

#include <filesystem>

namespace brelo {

namespace {
std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }
}  // namespace

std::string WithoutExtension(const std::string& path) {
  std::size_t slash = LastSeparator(path);
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

std::string ChangeExtension(const std::string& path, const std::string& extension) {
  return WithoutExtension(path) + extension;
}

std::string ExtensionOf(const std::string& path) { return path.substr(WithoutExtension(path).size()); }

std::string FileNameOf(const std::string& path) {
  std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

bool CreateFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::create_directories(path, ec);
}

void DeleteFolderTree(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

}  // namespace brelo
