// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpx/OutlineFile.h"

#include <string_view>
#include <vector>

#include "base/Text.h"
#include "gpx/GarminColors.h"
#include "gpx/GpxWriter.h"

namespace brelo {

namespace {

struct TPoint {
  std::string_view Lat, Lon;
};

// "   <trkpt lat="49.300000" lon="19.800000"/>" as its two numbers' texts.
bool ParsePoint(std::string_view line, TPoint& p) {
  constexpr std::string_view head = "   <trkpt lat=\"", mid = "\" lon=\"", tail = "\"/>";
  if (line.substr(0, head.size()) != head || line.size() < head.size() + mid.size() + tail.size() ||
      line.substr(line.size() - tail.size()) != tail)
    return false;
  line = line.substr(head.size(), line.size() - head.size() - tail.size());
  const std::size_t at = line.find(mid);
  if (at == std::string_view::npos) return false;
  p.Lat = line.substr(0, at), p.Lon = line.substr(at + mid.size());
  return !p.Lat.empty() && !p.Lon.empty() && p.Lon.find('"') == std::string_view::npos;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

bool IsBreloOutlineText(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  std::size_t i = 0;
  auto next = [&](std::string_view want) { return i < lines.size() && lines[i++] == want; };
  if (!next("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>")) return false;
  if (i >= lines.size() || !StartsWith(lines[i++], "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" creator=\"brelo "))
    return false;
  if (i < lines.size() && lines[i] == " <metadata>") {
    ++i;
    if (!next(std::string("  <desc>") + kMapsGpxDescription + "</desc>") || !next(" </metadata>")) return false;
  }
  for (std::size_t r = 0; i < lines.size() && lines[i] == " <trk>"; ++r) {
    ++i;
    if (i >= lines.size() || !StartsWith(lines[i], "  <name>") || !EndsWith(lines[i], "</name>")) return false;
    ++i;
    const std::string colour = GarminColors[r % GarminColors.size()].Name;
    if (!next("  <extensions>") ||
        !next("   <gpxx:TrackExtension xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\">") ||
        !next("    <gpxx:DisplayColor>" + colour + "</gpxx:DisplayColor>") || !next("   </gpxx:TrackExtension>") ||
        !next("  </extensions>") || !next("  <trkseg>"))
      return false;
    // North-west, north-east, south-east, south-west and north-west again.
    TPoint p[5];
    for (auto& point : p)
      if (i >= lines.size() || !ParsePoint(lines[i++], point)) return false;
    if (p[0].Lat != p[1].Lat || p[1].Lon != p[2].Lon || p[2].Lat != p[3].Lat || p[3].Lon != p[0].Lon ||
        p[4].Lat != p[0].Lat || p[4].Lon != p[0].Lon)
      return false;
    if (!next("  </trkseg>") || !next(" </trk>")) return false;
  }
  return next("</gpx>") && i == lines.size();
}

}  // namespace brelo
