// SPDX-License-Identifier: GPL-3.0-or-later
// The source tree's two layers: the core (every folder outside src/gui and src/cli) includes
// no Qt and nothing of the window, its folders depend on each other in one direction only;
// the window's parts (src/gui) include the core, their small common folder and what they are
// built from, but never the main window's folder.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

// What each folder may include besides itself, by its path below src.
const std::set<std::string> kCore = {"resources", "base",         "MyJpeg", "pictures", "LibTar", "gpx",   "jnx",
                                     "view",      "uMapCreation", "check",  "commands", "export", "raster"};
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"resources", {}},
    {"base", {}},
    {"MyJpeg", {"base"}},
    {"pictures", {"base", "MyJpeg"}},
    {"LibTar", {"base"}},
    {"gpx", {"base"}},
    {"jnx", {"base", "MyJpeg"}},
    {"view", {"base", "jnx", "MyJpeg", "gpx"}},
    {"export", {"base", "jnx", "MyJpeg", "pictures", "LibTar", "view", "resources", "raster"}},
    {"raster", {"base"}},
    {"uMapCreation", {"base", "jnx", "MyJpeg", "pictures", "LibTar", "raster"}},
    {"check", {"base", "jnx", "MyJpeg"}},
    {"commands",
     {"base", "jnx", "MyJpeg", "pictures", "LibTar", "gpx", "view", "export", "uMapCreation", "check", "resources",
      "raster"}},
    {"render", {"core"}},
    {"gui/common", {"core"}},
    {"gui/session", {"core", "gui/common"}},
    {"gui/StringGridEx", {"core", "gui/common"}},
    {"gui/OpenSaveDialog", {"core", "gui/common"}},
    {"gui/mappage", {"core", "render", "gui/common", "gui/session"}},
    {"gui/tables", {"core", "gui/common", "gui/session", "gui/StringGridEx"}},
    {"gui/uMapCreation", {"core", "gui/common", "gui/OpenSaveDialog"}},
    {"gui/export", {"core", "gui/common"}},
    {"gui/app",
     {"core", "gui/common", "gui/session", "gui/StringGridEx", "gui/OpenSaveDialog", "gui/mappage", "gui/tables",
      "gui/uMapCreation", "gui/export"}},
};

// The folder a path below src belongs to: its first part, or "gui/" and the second.
std::string FolderOf(const std::string& relative) {
  const std::size_t slash = relative.find('/');
  if (slash == std::string::npos) return "";
  const std::string first = relative.substr(0, slash);
  if (first != "gui") return first;
  const std::size_t next = relative.find('/', slash + 1);
  return next == std::string::npos ? "" : relative.substr(0, next);
}

// GDAL's C headers: only the raster module's own folder may include them.
bool IsGdal(const std::string& name) {
  return name.rfind("gdal", 0) == 0 || name.rfind("cpl_", 0) == 0 || name.rfind("ogr_", 0) == 0;
}

bool IsQt(const std::string& name) {
  return (name.size() > 1 && name[0] == 'Q' && std::isupper(static_cast<unsigned char>(name[1]))) ||
         name.rfind("Qt", 0) == 0;
}

}  // namespace

TEST(Layering, TheCoreAndTheWindowIncludeDownwardsOnly) {
  const std::filesystem::path src = std::filesystem::path(BRELO_SOURCE_DIR) / "src";
  const std::regex include(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
  int coreFiles = 0, guiFiles = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    const std::string relative = std::filesystem::relative(entry.path(), src).generic_string();
    const std::string folder = FolderOf(relative);
    if (folder == "cli" || folder.empty()) continue;  // the other front end
    const bool core = kCore.count(folder) > 0;
    ASSERT_TRUE(core || kAllowed.count(folder)) << relative << ": a folder of neither layer";
    (core ? coreFiles : guiFiles)++;
    const auto& allowed = kAllowed.at(folder);
    std::ifstream in(entry.path());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      const std::string where = relative + ":" + std::to_string(number) + ": " + line;
      const std::string name = m[2];
      if (core) {
        EXPECT_FALSE(IsQt(name)) << "Qt in the core: " << where;
      }
      if (relative.rfind("raster/gdal/", 0) != 0) {
        EXPECT_FALSE(IsGdal(name)) << "GDAL outside raster/gdal: " << where;
      }
      if (m[1] != "\"" || name.find('/') == std::string::npos) continue;
      const std::string target = FolderOf(name);
      if (target == folder || (target.empty() && name.rfind("gui/", 0) != 0)) continue;
      const bool targetCore = kCore.count(target) > 0;
      EXPECT_TRUE(allowed.count(target) || (targetCore && allowed.count("core")))
          << folder << " may not include " << target << ": " << where;
    }
  }
  EXPECT_GT(coreFiles, 50);
  EXPECT_GT(guiFiles, 20);
}
