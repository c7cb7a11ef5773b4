// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/OpenSaveDialog/FileListing.h"

#include <array>
#include <cstdio>

#include "base/Paths.h"
#include "base/Text.h"

namespace brelo {

std::vector<std::string> FilterItems(const std::string& filter) {
  std::vector<std::string> items = SplitText(filter, '|');
  if (filter.find("*.*") == std::string::npos) items.emplace_back("*.*");
  return items;
}

bool MaskMatches(const std::string& rawMask, const std::string& fileName) {
  const std::string mask = LowerAscii(rawMask), n = LowerAscii(fileName);
  if (mask.size() == 1) return !n.empty() && n[0] == mask[0];
  if (mask == "*.*") return true;
  if (mask.size() > 1) {
    const std::string e = ExtensionOf(n);
    return (!e.empty() && mask.find(e) != std::string::npos) || n.find(mask) != std::string::npos;
  }
  return false;
}

int FileIcon(const std::string& fileName) {
  static const std::array<const char*, 11> groups = {".bmp.gif.jpg.png.swf.ico.jpeg",
                                                     ".txt.csv",
                                                     ".avi.mpg.mpeg.wmv.flv.rmvb.mp4.mov",
                                                     ".rar.zip.7z.tar",
                                                     ".mp3.mid.wav.wma.ogg",
                                                     ".exe.com.bat.pif.lnk.dll.vbs",
                                                     ".doc",
                                                     ".xls",
                                                     ".gpx",
                                                     ".pdf",
                                                     ".xhtml"};
  const std::string ext = LowerAscii(ExtensionOf(fileName));
  if (ext.size() < 2) return 1;
  const std::string bare = ext.substr(1);
  for (std::size_t i = 0; i < groups.size(); ++i)
    if (std::string(groups[i]).find(bare) != std::string::npos) return static_cast<int>(i) + 2;
  return 1;
}

std::string FormatSize(std::uint64_t bytes) {
  static const char* const units[] = {"", "K", "M", "G", "T"};
  double x = static_cast<double>(bytes);
  int u = 0;
  while (x >= 999.5 && u < 4) x /= 1024, ++u;
  char text[32];
  std::snprintf(text, sizeof text, "%.*f%sB", x >= 100 ? 0 : x >= 10 ? 1 : 2, x, units[u]);
  return text;
}

std::vector<std::pair<std::string, std::string>> ParseDirMenu(const std::vector<std::string>& lines) {
  std::vector<std::pair<std::string, std::string>> items;
  std::size_t i = 0;
  while (i < lines.size() && TrimControls(lines[i]) != "[DirMenu]") ++i;
  std::string caption;
  for (++i; i < lines.size(); ++i) {
    const std::string line = TrimControls(lines[i]);
    if (!line.empty() && line[0] == '[') break;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = LowerAscii(line.substr(0, 4));
    if (key.rfind("menu", 0) == 0)
      caption = line.substr(eq + 1);
    else if (key.rfind("cmd", 0) == 0 && line.size() > eq + 4)
      items.emplace_back(caption, line.substr(eq + 4));  // past "=" and "cd "
  }
  return items;
}

}  // namespace brelo
