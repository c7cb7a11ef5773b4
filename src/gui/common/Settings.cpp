// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/Settings.h"

#include <map>

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace brelo {

namespace {

class TLines {
 public:
  explicit TLines(const std::vector<std::string>& lines) {
    for (const auto& raw : lines) {
      std::string line = raw;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      values_.emplace(LowerAscii(line.substr(0, eq)), line.substr(eq + 1));  // the first one counts
    }
  }
  const std::string* Find(const std::string& key) const {
    auto it = values_.find(LowerAscii(key));
    return it == values_.end() ? nullptr : &it->second;
  }
  void Text(const std::string& key, std::string& value) const {
    if (const std::string* v = Find(key)) value = *v;
  }
  template <class Int>
  void Integer(const std::string& key, Int& value) const {
    long long v = 0;
    if (const std::string* s = Find(key); s && ParseInteger(*s, v) && v >= INT32_MIN && v <= INT32_MAX)
      value = static_cast<Int>(v);
  }
  void Boolean(const std::string& key, bool& value) const {
    int v = value ? 1 : 0;
    Integer(key, v);
    value = v != 0;
  }
  void Real(const std::string& key, double& value) const {
    const std::string* s = Find(key);
    if (!s) return;
    try {
      value = ParseDecimal(*s);
    } catch (const EFormatError&) {
    }
  }

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace

TSettings ReadSettings(const std::vector<std::string>& lines, TSettings s) {
  const TLines in(lines);
  in.Text("AutoLoadWaypoints", s.AutoLoadWaypoints);
  in.Text("LastJNXFile", s.LastJNXFile);
  in.Text("LastGPXFile", s.LastGPXFile);
  in.Real("Scale", s.Scale);
  if (!(s.Scale > 0)) s.Scale = 1;
  in.Integer("Latitude", s.Latitude);
  in.Integer("Longitude", s.Longitude);
  in.Integer("Left", s.Left);
  in.Integer("Top", s.Top);
  in.Integer("Width", s.Width);
  in.Integer("Height", s.Height);
  in.Boolean("DrawGrid", s.DrawGrid);
  in.Boolean("DrawCrosshair", s.DrawCrosshair);
  in.Boolean("DrawTrack", s.DrawTrack);
  in.Boolean("DrawWaypoints", s.DrawWaypoints);
  in.Boolean("AutoUpdateMap", s.AutoUpdateMap);
  in.Integer("TileWidth", s.TileWidth);
  in.Integer("TileHeight", s.TileHeight);
  std::vector<std::string> groups;
  for (int i = 1;; ++i) {
    const std::string* g = in.Find("Group" + std::to_string(i));
    if (!g || g->empty()) break;
    groups.push_back(*g);
  }
  if (!groups.empty()) s.Groups = std::move(groups);
  return s;
}

std::string SettingsText(const TSettings& s, bool normalWindow) {
  std::string t;
  auto line = [&](const std::string& key, const std::string& value) { t += key + "=" + value + "\r\n"; };
  line("AutoLoadWaypoints", s.AutoLoadWaypoints);
  line("LastJNXFile", s.LastJNXFile);
  line("LastGPXFile", s.LastGPXFile);
  line("Scale", ShortestNumber(s.Scale));
  line("Latitude", std::to_string(s.Latitude));
  line("Longitude", std::to_string(s.Longitude));
  line("DrawGrid", s.DrawGrid ? "1" : "0");
  line("DrawCrosshair", s.DrawCrosshair ? "1" : "0");
  line("DrawTrack", s.DrawTrack ? "1" : "0");
  line("DrawWaypoints", s.DrawWaypoints ? "1" : "0");
  line("AutoUpdateMap", s.AutoUpdateMap ? "1" : "0");
  line("TileWidth", std::to_string(s.TileWidth));
  line("TileHeight", std::to_string(s.TileHeight));
  if (normalWindow) {
    line("Left", std::to_string(s.Left));
    line("Top", std::to_string(s.Top));
    line("Width", std::to_string(s.Width));
    line("Height", std::to_string(s.Height));
  }
  for (std::size_t i = 0; i < s.Groups.size(); ++i) line("Group" + std::to_string(i + 1), s.Groups[i]);
  return t;
}

}  // namespace brelo
