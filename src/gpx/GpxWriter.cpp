// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpx/GpxWriter.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "gpx/GarminColors.h"

namespace brelo {

namespace {

// The five XML special characters escaped.
std::string EscapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

void Line(TStream& out, int indent, std::string_view text) {
  static constexpr char kBlanks[] = "        ";
  out.Write(kBlanks, static_cast<std::size_t>(std::min(indent, 8)));
  out.Write(text.data(), text.size());
  out.Write("\r\n", 2);
}

void WriteRoot(TStream& out) {
  Line(out, 0, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>");
  Line(out, 0,
       "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" creator=\"brelo " BRELO_VERSION
       "\" version=\"1.1\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
       "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">");
}

struct TLatLon {
  double Lat, Lon;
};

void WriteTrack(TStream& out, const std::string& name, int colour, const std::vector<TLatLon>& points) {
  Line(out, 1, "<trk>");
  Line(out, 2, "<name>" + EscapeXmlText(name) + "</name>");
  if (colour >= 0 && colour < static_cast<int>(GarminColors.size())) {
    Line(out, 2, "<extensions>");
    Line(out, 3, "<gpxx:TrackExtension xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\">");
    Line(out, 4,
         std::string("<gpxx:DisplayColor>") + GarminColors[static_cast<std::size_t>(colour)].Name +
             "</gpxx:DisplayColor>");
    Line(out, 3, "</gpxx:TrackExtension>");
    Line(out, 2, "</extensions>");
  }
  Line(out, 2, "<trkseg>");
  for (const auto& p : points) WriteTrackPoint(p.Lat, p.Lon, out);
  Line(out, 2, "</trkseg>");
  Line(out, 1, "</trk>");
}

}  // namespace

void WriteTrackPoint(double latitude, double longitude, TStream& out) {
  // to_chars writes what "%.6f" writes, without printf's multiprecision arithmetic: an
  // overview of 250 maps has 2,500 such numbers.
  char line[96] = "   <trkpt lat=\"";
  char* p = line + 15;
  p = std::to_chars(p, line + 40, latitude, std::chars_format::fixed, 6).ptr;
  const char mid[] = "\" lon=\"";
  p = std::copy(mid, mid + 7, p);
  p = std::to_chars(p, line + 80, longitude, std::chars_format::fixed, 6).ptr;
  const char end[] = "\"/>\r\n";
  p = std::copy(end, end + 5, p);
  out.Write(line, static_cast<std::size_t>(p - line));
}

void WriteTrackGpx(const std::string& path, const std::vector<TWpt>& track, int colour) {
  std::vector<TLatLon> points;
  points.reserve(track.size());
  for (const auto& p : track) points.push_back({JnxToDeg(p.Latitude), JnxToDeg(p.Longitude)});
  TSafeFile file(path);
  TFileStream& out = file.Stream();
  WriteRoot(out);
  WriteTrack(out, FileNameOf(WithoutExtension(path)), colour, points);
  Line(out, 0, "</gpx>");
  file.Commit();
}

std::string MapsGpxText(const std::vector<TMapOutlineRow>& rows) {
  TMemoryStream text;
  WriteRoot(text);
  Line(text, 1, "<metadata>");
  Line(text, 2, std::string("<desc>") + kMapsGpxDescription + "</desc>");
  Line(text, 1, "</metadata>");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const auto& row = rows[r];
    auto deg = [](const std::string& cell) { return JnxToDeg(static_cast<std::int32_t>(StrictInt(cell))); };
    const double west = deg(row.West), north = deg(row.North), east = deg(row.East), south = deg(row.South);
    WriteTrack(text, row.Name, static_cast<int>(r % GarminColors.size()),
               {{north, west}, {north, east}, {south, east}, {south, west}, {north, west}});
  }
  Line(text, 0, "</gpx>");
  return {text.Data().begin(), text.Data().end()};
}

void WriteMapsGpx(const std::string& path, const std::vector<TMapOutlineRow>& rows) {
  const std::string text = MapsGpxText(rows);
  WriteFileBytes(path, text.data(), text.size());
}

}  // namespace brelo
