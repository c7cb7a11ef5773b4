#include "jnx/FolderScan.h"

#include <algorithm>
#include <filesystem>

#include "base/Errors.h"
#include "base/Text.h"
#include "jnx/JnxReader.h"

namespace brelo {

std::string FolderPath(const std::string& folder) {
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

TFolderScan ScanJnxFolder(const std::string& folder) {
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
  TFolderScan scan;
  scan.Maps.reserve(names.size());
  for (const auto& name : names) {
    TScannedMap m;
    m.Path = dir + name;
    m.Header.CurrentFile = m.Path;
    try {
      ReadJnx(m.Header, m.Path, false);
    } catch (const EBreloError& e) {
      scan.Unreadable.push_back({m.Path, e.what()});
      continue;
    }
    scan.Maps.push_back(std::move(m));
  }
  return scan;
}

}  // namespace brelo
