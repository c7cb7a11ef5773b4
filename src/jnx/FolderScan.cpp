// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/FolderScan.h"

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

#include "base/Errors.h"
#include "base/Text.h"
#include "jnx/JnxReader.h"

namespace brelo {

std::string FolderPath(const std::string& folder) {
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

std::string JnxFolderSignature(const std::string& folder) {
  const std::string dir = FolderPath(folder);
  std::error_code ec;
  std::vector<std::string> lines;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = e.path().filename().string();
    if (name.size() <= 4 || LowerAscii(name.substr(name.size() - 4)) != ".jnx") continue;
    struct stat st {};
    if (::lstat((dir + name).c_str(), &st) != 0) continue;
    lines.push_back(Format("%s/%o/%lld/%lld.%09ld/%llu", name.c_str(), static_cast<unsigned>(st.st_mode),
                           static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
                           st.st_mtim.tv_nsec, static_cast<unsigned long long>(st.st_ino)));
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const auto& l : lines) text += l + '\n';
  return text;
}

TFolderScan ScanJnxFolder(const std::string& folder, unsigned threads) {
  const std::string dir = FolderPath(folder);
  std::error_code ec;
  std::filesystem::directory_iterator it(dir, ec);
  if (ec) throw EIoError(folder + ": cannot open the folder: " + ec.message());
  std::vector<std::string> names;
  for (const auto& e : it) {
    // A folder named like a map is not one.
    if (e.is_directory(ec)) continue;
    std::string name = e.path().filename().string();
    if (name.size() > 4 && LowerAscii(name.substr(name.size() - 4)) == ".jnx") names.push_back(name);
  }
  // The listing does not depend on the file system's order.
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (auto& n : names) keyed.emplace_back(LowerAscii(n), std::move(n));
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  names.clear();
  for (auto& k : keyed) names.push_back(std::move(k.second));
  // Header reads are system calls more than parsing: on a large folder they share the cores.
  std::vector<TScannedMap> loaded(names.size());
  std::vector<std::string> reasons(names.size());
  std::vector<char> failed(names.size(), 0);
  ParallelFor(names.size(), names.size() >= 32 ? threads : 1, [&](std::size_t i) {
    TScannedMap& m = loaded[i];
    m.Path = dir + names[i];
    m.Header.CurrentFile = m.Path;
    try {
      ReadJnx(m.Header, m.Path, false);
    } catch (const EBreloError& e) {
      reasons[i] = e.what();
      failed[i] = 1;
    }
  });
  TFolderScan scan;
  scan.Maps.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    if (failed[i])
      scan.Unreadable.push_back({std::move(loaded[i].Path), std::move(reasons[i])});
    else
      scan.Maps.push_back(std::move(loaded[i]));
  return scan;
}

}  // namespace brelo
