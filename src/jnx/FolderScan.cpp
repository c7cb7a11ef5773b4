#include "jnx/FolderScan.h"

#include <filesystem>

#include "jnx/Errors.h"
#include "jnx/JnxReader.h"
#include "jnx/Paths.h"

namespace brelo {

std::string FolderPath(const std::string& folder) {
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

std::vector<TScannedMap> ScanJnxFolder(const std::string& folder) {
  const std::string dir = FolderPath(folder);
  std::error_code ec;
  std::filesystem::directory_iterator it(dir, ec);
  if (ec) throw EIoError(folder + ": cannot open the folder: " + ec.message());
  std::vector<std::string> names;
  for (const auto& e : it) {
    // A folder named like a map is not one.
    if (e.is_directory(ec)) continue;
    std::string name = e.path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jnx") == 0) names.push_back(name);
  }
  std::vector<TScannedMap> maps;
  for (const auto& name : names) {
    TScannedMap m;
    m.Path = dir + name;
    m.Header.CurrentFile = m.Path;
    ReadJnx(m.Header, m.Path, false);
    maps.push_back(std::move(m));
  }
  return maps;
}

TMapOutlineRow OutlineRow(const std::string& path, const TJnxMap& h) {
  return {FileNameOf(WithoutExtension(path)), std::to_string(h.West), std::to_string(h.North), std::to_string(h.East),
          std::to_string(h.South)};
}

}  // namespace brelo
