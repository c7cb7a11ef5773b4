#include "jnx/FolderScan.h"

#include <dirent.h>

#include "jnx/Errors.h"
#include "jnx/JnxReader.h"
#include "jnx/Paths.h"

namespace brelo {

std::vector<TScannedMap> ScanJnxFolder(const std::string& folder) {
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir.push_back('/');
  DIR* d = opendir(dir.c_str());
  if (!d) throw EIoError(folder + ": cannot open the folder");
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jnx") == 0) names.push_back(name);
  }
  closedir(d);
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
