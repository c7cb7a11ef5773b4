// The core's folders depend on each other in one direction only, and none of them on Qt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "TestSupport.h"

namespace {

// What each core folder may include besides itself.
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"resources", {}},
    {"base", {}},
    {"MyJpeg", {"base"}},
    {"LibTar", {"base"}},
    {"gpx", {"base"}},
    {"jnx", {"base", "MyJpeg"}},
    {"view", {"base", "jnx", "MyJpeg", "gpx"}},
    {"export", {"base", "jnx", "MyJpeg", "LibTar", "view", "resources"}},
    {"uMapCreation", {"base", "jnx", "MyJpeg", "LibTar"}},
    {"commands", {"base", "jnx", "MyJpeg", "LibTar", "gpx", "view", "export", "uMapCreation", "resources"}},
};

}  // namespace

TEST(Layering, CoreFoldersIncludeDownwardsOnlyAndNoQt) {
  const std::filesystem::path src = std::filesystem::path(BRELO_SOURCE_DIR) / "src";
  const std::regex include(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
  int files = 0;
  for (const auto& [folder, allowed] : kAllowed) {
    if (!std::filesystem::exists(src / folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(src / folder)) {
      ++files;
      std::ifstream in(entry.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) continue;
        const std::string where = entry.path().filename().string() + ":" + std::to_string(number) + ": " + line;
        const std::string name = m[2];
        EXPECT_FALSE(name.size() > 1 && name[0] == 'Q' && std::isupper(static_cast<unsigned char>(name[1])))
            << "Qt in the core: " << where;
        EXPECT_EQ(name.rfind("Qt", 0), std::string::npos) << "Qt in the core: " << where;
        if (m[1] != "\"") continue;
        const std::string target = name.substr(0, name.find('/'));
        if (target == folder || name.find('/') == std::string::npos) continue;
        EXPECT_TRUE(allowed.count(target)) << folder << " may not include " << target << ": " << where;
      }
    }
  }
  EXPECT_GT(files, 50);
}
