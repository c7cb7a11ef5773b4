// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpx/GpxReader.h"

#include <cstring>
#include <optional>
#include <string_view>

#include <expat.h>
#include <iconv.h>
#include <sys/stat.h>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "gpx/GarminColors.h"

namespace brelo {

namespace {

// Element names without their namespace prefix: files write "gpxx:DisplayColor" and some
// write "gpx:wpt".
std::string_view LocalName(const XML_Char* name) {
  std::string_view n(name);
  const std::size_t colon = n.rfind(':');
  return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

std::optional<std::string> Attribute(const XML_Char** attributes, std::string_view name) {
  for (int i = 0; attributes[i]; i += 2)
    if (name == attributes[i]) return std::string(attributes[i + 1]);
  return std::nullopt;
}

// What one parse collected, applied to the data when it ends (or stops at an error).
struct TReading {
  std::string Name;  // of the file, for messages
  XML_Parser Parser = nullptr;
  std::vector<TWpt> Waypoints, Track, Route;
  std::optional<int> Colour;
  bool ColourSeen = false;
  int Unnamed = 0;
  // Inside a waypoint: its point, whether its name was read, and the text being collected.
  std::optional<TWpt> Waypoint;
  bool WaypointNamed = false;
  int Depth = 0, WaypointDepth = -1;
  enum class TText { None, WaypointName, Colour } Collecting = TText::None;
  std::string Text;
  std::string Error;  // the first coordinate that did not convert, with its line

  TWpt Point(const XML_Char** attributes) {
    const std::string lat = Attribute(attributes, "lat").value_or(""), lon = Attribute(attributes, "lon").value_or("");
    TWpt w;
    try {
      w.Latitude = DegToJnx(ParseDecimal(lat));
      w.Longitude = DegToJnx(ParseDecimal(lon));
    } catch (const EFormatError& e) {
      Error = Format("%s: line %lu: %s", Name.c_str(), static_cast<unsigned long>(XML_GetCurrentLineNumber(Parser)),
                     e.what());
      XML_StopParser(Parser, XML_FALSE);
    }
    return w;
  }

  void Start(const XML_Char* element, const XML_Char** attributes) {
    ++Depth;
    const std::string_view name = LocalName(element);
    if (name == "wpt" && !Waypoint) {
      TWpt w = Point(attributes);
      if (!Error.empty()) return;
      Waypoint = w;
      WaypointNamed = false;
      WaypointDepth = Depth;
    } else if (name == "trkpt" || name == "rtept") {
      TWpt w = Point(attributes);
      if (!Error.empty()) return;
      (name == "trkpt" ? Track : Route).push_back(w);
    } else if (name == "name" && Waypoint && !WaypointNamed && Depth == WaypointDepth + 1) {
      Collecting = TText::WaypointName;
      Text.clear();
    } else if (name == "DisplayColor" && !ColourSeen) {
      Collecting = TText::Colour;
      Text.clear();
    }
  }

  void End(const XML_Char* element) {
    const std::string_view name = LocalName(element);
    if (Collecting == TText::WaypointName && name == "name") {
      Waypoint->Name = Text;
      WaypointNamed = true;
      Collecting = TText::None;
    } else if (Collecting == TText::Colour && name == "DisplayColor") {
      // The first colour of the file decides, whether or not its name is known.
      ColourSeen = true;
      if (const int i = GarminColorIndex(TrimControls(Text)); i >= 0) Colour = i;
      Collecting = TText::None;
    } else if (name == "wpt" && Waypoint && Depth == WaypointDepth) {
      if (Waypoint->Name.empty()) Waypoint->Name = Format("noname_%d", ++Unnamed);
      Waypoints.push_back(std::move(*Waypoint));
      Waypoint.reset();
    }
    --Depth;
  }

  // What was read reaches the data: each kind only when the file had some.
  void Apply(TGpxData& data) {
    if (Colour) data.CheckedTrackColor = *Colour;
    if (!Waypoints.empty()) data.Waypoints = std::move(Waypoints);
    std::vector<TWpt>& points = Track.empty() ? Route : Track;
    if (points.empty()) return;
    TTrackBounds& b = data.TrackBounds;
    b = {DegToJnx(90), DegToJnx(180), DegToJnx(-90), DegToJnx(-180)};
    for (const TWpt& p : points) {
      b.MinLat = std::min(b.MinLat, p.Latitude);
      b.MaxLat = std::max(b.MaxLat, p.Latitude);
      b.MinLon = std::min(b.MinLon, p.Longitude);
      b.MaxLon = std::max(b.MaxLon, p.Longitude);
    }
    data.Track = std::move(points);
  }
};

// A single-byte encoding that expat does not know (windows-1250, ISO-8859-2, ...), mapped
// byte by byte through iconv.
int UnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  iconv_t cd = iconv_open("UTF-32LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return XML_STATUS_ERROR;
  bool ok = true;
  for (int b = 0; b < 256 && ok; ++b) {
    char in = static_cast<char>(b);
    std::uint8_t out[8] = {};
    char* ip = &in;
    char* op = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &inLeft, &op, &outLeft) == static_cast<std::size_t>(-1) || sizeof out - outLeft != 4) {
      info->map[b] = -1;  // not a character of the encoding, or not a single byte
      if (b < 0x80) ok = false;
      continue;
    }
    info->map[b] = static_cast<int>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
  }
  iconv_close(cd);
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return ok ? XML_STATUS_OK : XML_STATUS_ERROR;
}

// One parse of the whole text; the encoding, when given, overrides the file's own.
// Returns the XML error (XML_ERROR_NONE when the text was read to its end or stopped at a
// coordinate).
XML_Error Parse(const std::string& text, const char* encoding, TReading& r) {
  XML_Parser parser = XML_ParserCreate(encoding);
  if (!parser) throw EFormatError(r.Name + ": out of memory");
  r.Parser = parser;
  XML_SetUserData(parser, &r);
  XML_SetUnknownEncodingHandler(parser, UnknownEncoding, nullptr);
  XML_SetElementHandler(
      parser, [](void* u, const XML_Char* e, const XML_Char** a) { static_cast<TReading*>(u)->Start(e, a); },
      [](void* u, const XML_Char* e) { static_cast<TReading*>(u)->End(e); });
  XML_SetCharacterDataHandler(parser, [](void* u, const XML_Char* s, int n) {
    auto* reading = static_cast<TReading*>(u);
    if (reading->Collecting != TReading::TText::None) reading->Text.append(s, static_cast<std::size_t>(n));
  });
  // No external entities, no DTD loading: a GPX file is read on its own.
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  const XML_Status status = XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE);
  XML_Error error = status == XML_STATUS_ERROR ? XML_GetErrorCode(parser) : XML_ERROR_NONE;
  if (error == XML_ERROR_ABORTED) error = XML_ERROR_NONE;  // stopped at a bad coordinate
  if (error != XML_ERROR_NONE && r.Error.empty())
    r.Error = Format("%s: line %lu: %s", r.Name.c_str(), static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)),
                     XML_ErrorString(error));
  XML_ParserFree(parser);
  r.Parser = nullptr;
  return error;
}

bool DeclaresEncoding(const std::string& text) {
  const std::size_t end = text.find("?>");
  return text.rfind("<?xml", 0) == 0 && end != std::string::npos &&
         text.substr(0, end).find("encoding") != std::string::npos;
}

}  // namespace

void ReadGpxText(const std::string& text, TGpxData& data, const std::string& name) {
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) throw EFormatError(name + ": too large for a GPX file");
  TReading r;
  r.Name = name;
  XML_Error error = Parse(text, nullptr, r);
  // Text that is not UTF-8 and says nothing of its encoding is taken as Latin-1.
  if (error == XML_ERROR_INVALID_TOKEN && !IsWellFormedUtf8(text) && !DeclaresEncoding(text)) {
    r = TReading{};
    r.Name = name;
    error = Parse(text, "ISO-8859-1", r);
  }
  const std::string message = r.Error;
  r.Apply(data);
  if (!message.empty()) throw EFormatError(message);
}

void ReadGpx(const std::string& path, TGpxData& data) {
  // Only a name that is not there at all reads nothing; a FIFO and the like are refused.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  const auto bytes = ReadFileBytes(path);
  ReadGpxText(std::string(bytes.begin(), bytes.end()), data, path);
}

}  // namespace brelo
