#include "gpx/GpxReader.h"
#include "base/Numbers.h"

#include "gpx/GarminColors.h"
#include "gpx/GpxScanner.h"
#include "base/Coordinates.h"
#include "base/Paths.h"
#include "base/Stream.h"
#include "base/Text.h"

namespace brelo {

namespace {

// lat and lon from a tag's attribute text with its blanks removed; double quotes only.
TWpt PointFromAttributes(const std::string& attributes) {
  std::string lat, lon;
  std::size_t p = 1;
  ExtractBetween(attributes, "lat=\"", "\"", lat, p);
  p = 1;
  ExtractBetween(attributes, "lon=\"", "\"", lon, p);
  TWpt w;
  w.Latitude = DegToJnx(ParseDecimal(lat));
  w.Longitude = DegToJnx(ParseDecimal(lon));
  return w;
}

}  // namespace

void ReadGpxTrack(const std::string& text, TGpxData& data) {
  std::string colour;
  std::size_t p = 1;
  ExtractBetween(text, "<gpxx:DisplayColor>", "<", colour, p);
  if (int i = GarminColorIndex(colour); i >= 0) data.CheckedTrackColor = i;

  p = 1;
  std::string a;
  ExtractBetween(text, "<trkpt", ">", a, p);
  if (a.empty()) return;
  data.Track.clear();
  TTrackBounds& b = data.TrackBounds;
  b = {DegToJnx(90), DegToJnx(180), DegToJnx(-90), DegToJnx(-180)};
  while (!a.empty()) {
    TWpt point = PointFromAttributes(RemoveBlanks(a));
    data.Track.push_back(point);
    if (point.Latitude < b.MinLat) b.MinLat = point.Latitude;
    if (point.Latitude > b.MaxLat) b.MaxLat = point.Latitude;
    if (point.Longitude < b.MinLon) b.MinLon = point.Longitude;
    if (point.Longitude > b.MaxLon) b.MaxLon = point.Longitude;
    ExtractBetween(text, "<trkpt", ">", a, p);
  }
}

void ReadGpxWaypoints(const std::string& text, TGpxData& data) {
  std::size_t p = 1;
  std::string w;
  ExtractBetween(text, "<wpt", "</wpt>", w, p);
  if (w.empty()) return;
  data.Waypoints.clear();
  int unnamed = 0;
  while (!w.empty()) {
    std::size_t q = 1;
    std::string a;
    ExtractBetween(w, "", ">", a, q);
    TWpt point = PointFromAttributes(RemoveBlanks(a));
    q = 1;
    std::string name;
    ExtractBetween(w, "<name>", "</name>", name, q);
    if (name.empty()) name = Format("noname_%d", ++unnamed);
    // Names are shown decoded; text that is not UTF-8 is kept byte for byte.
    point.Name = DecodeXmlText(name);
    data.Waypoints.push_back(std::move(point));
    ExtractBetween(text, "<wpt", "</wpt>", w, p);
  }
}

void ReadGpxText(const std::string& text, TGpxData& data) {
  ReadGpxTrack(text, data);
  ReadGpxWaypoints(text, data);
}

void ReadGpx(const std::string& path, TGpxData& data) {
  if (!FileExists(path)) return;
  auto bytes = ReadFileBytes(path);
  ReadGpxText(std::string(bytes.begin(), bytes.end()), data);
}

}  // namespace brelo
