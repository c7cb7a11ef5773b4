// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "gpx/GarminColors.h"
#include "gpx/GpxReader.h"
#include "gpx/GpxWriter.h"
#include "gpx/OutlineFile.h"

using namespace brelo;
using namespace brelo::test;

TEST(GpxReader, WaypointsNamesAndUnnamedCounter) {
  TGpxData data;
  ReadGpxText(
      "<gpx><wpt lat = \"49.5\" lon = \"19.25\"><ele>1</ele></wpt>"
      "<wpt lat=\"-1\" lon=\"2\"><name>Schronisko &amp; bufet &#322;&#x105;</name></wpt>"
      "<wpt lat=\"3\" lon=\"4\"></wpt></gpx>",
      data);
  ASSERT_EQ(data.Waypoints.size(), 3u);
  EXPECT_EQ(data.Waypoints[0].Name, "noname_1");
  EXPECT_EQ(data.Waypoints[1].Name, "Schronisko & bufet \xC5\x82\xC4\x85");
  EXPECT_EQ(data.Waypoints[2].Name, "noname_2");
  EXPECT_EQ(data.Waypoints[0].Latitude, DegToJnx(49.5));
  EXPECT_EQ(data.Waypoints[1].Latitude, DegToJnx(-1));
  EXPECT_TRUE(data.Track.empty());
  // A second file starts the counter afresh; a track-only file keeps the waypoints.
  ReadGpxText("<gpx><wpt lat=\"1\" lon=\"1\"/></gpx>", data);
  EXPECT_EQ(data.Waypoints.size(), 1u);
  EXPECT_EQ(data.Waypoints[0].Name, "noname_1");
  ReadGpxText("<trkpt lat=\"1\" lon=\"1\"/>", data);
  EXPECT_EQ(data.Waypoints.size(), 1u);
}

// What other programs write, and what a marker scanner took wrongly.
TEST(GpxReader, XmlAsOtherProgramsWriteIt) {
  TGpxData data;
  ReadGpxText(
      "<?xml version='1.0'?>\n<gpx>\n"
      "<!-- <trkpt lat=\"80\" lon=\"80\"/> -->\n"
      "<wpt lat='49.25' lon='19.5'><name><![CDATA[Schronisko & H\xC3\xBCtte]]></name>"
      "<extensions><x:meta><name>not the name</name></x:meta></extensions></wpt>\n"
      "<trk><trkseg><trkpt lat='49.1' lon='19.1'></trkpt><trkpt\n lat=\"49.2\"\n lon=\"19.2\"/></trkseg></trk>\n"
      "</gpx>",
      data);
  ASSERT_EQ(data.Waypoints.size(), 1u);
  EXPECT_EQ(data.Waypoints[0].Name, "Schronisko & H\xC3\xBCtte");
  EXPECT_EQ(data.Waypoints[0].Latitude, DegToJnx(49.25));
  ASSERT_EQ(data.Track.size(), 2u);  // not the point in the comment
  EXPECT_EQ(data.Track[1].Longitude, DegToJnx(19.2));

  // A declared Latin-1 file, and one that declares nothing but is not UTF-8: both as UTF-8.
  ReadGpxText(
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx><wpt lat=\"1\" lon=\"1\"><name>H\xFCtte</name></wpt></gpx>",
      data);
  EXPECT_EQ(data.Waypoints[0].Name, "H\xC3\xBCtte");
  ReadGpxText("<gpx><wpt lat=\"1\" lon=\"1\"><name>K\xF6ln</name></wpt></gpx>", data);
  EXPECT_EQ(data.Waypoints[0].Name, "K\xC3\xB6ln");
  // A single-byte encoding expat does not know itself.
  ReadGpxText(
      "<?xml version=\"1.0\" encoding=\"windows-1250\"?><gpx><wpt lat=\"1\" "
      "lon=\"1\"><name>\xA3\xF3\x64\x9F</name></wpt></gpx>",
      data);
  EXPECT_EQ(data.Waypoints[0].Name, "\xC5\x81\xC3\xB3\x64\xC5\xBA");  // Łódź

  // A route is the track of a file without one; a file with both keeps its track.
  data = {};
  ReadGpxText("<gpx><rte><rtept lat=\"1\" lon=\"2\"/><rtept lat=\"3\" lon=\"4\"/></rte></gpx>", data);
  ASSERT_EQ(data.Track.size(), 2u);
  EXPECT_EQ(data.TrackBounds.MaxLat, DegToJnx(3));
  ReadGpxText(
      "<gpx><rte><rtept lat=\"1\" lon=\"2\"/></rte><trk><trkseg><trkpt lat=\"5\" lon=\"5\"/></trkseg></trk></gpx>",
      data);
  ASSERT_EQ(data.Track.size(), 1u);
  EXPECT_EQ(data.Track[0].Latitude, DegToJnx(5));
}

TEST(GpxReader, TracksMergeAndBoundsCoverAllPoints) {
  TGpxData data;
  ReadGpxText(
      "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"5\"/><trkpt lat=\"2\" lon=\"6\"/><trkpt lat=\"3\" lon=\"4\"/>"
      "</trkseg></trk><trk><trkseg><trkpt lat=\"-1\" lon=\"7\"></trkpt><trkpt lat=\"0\" lon=\"0\"/>"
      "<trkpt lat=\"9\" lon=\"1\"/><trkpt lat=\"4\" lon=\"2\"/></trkseg></trk></gpx>",
      data);
  ASSERT_EQ(data.Track.size(), 7u);
  EXPECT_EQ(data.TrackBounds.MinLat, DegToJnx(-1));
  EXPECT_EQ(data.TrackBounds.MaxLat, DegToJnx(9));
  EXPECT_EQ(data.TrackBounds.MinLon, DegToJnx(0));
  EXPECT_EQ(data.TrackBounds.MaxLon, DegToJnx(7));
  // Waypoints only: the track and its bounds stay.
  ReadGpxText("<wpt lat=\"50\" lon=\"50\"></wpt>", data);
  EXPECT_EQ(data.Track.size(), 7u);
  EXPECT_EQ(data.TrackBounds.MaxLat, DegToJnx(9));
}

TEST(GpxReader, DisplayColour) {
  TGpxData data;
  ReadGpxText("<wpt lat=\"1\" lon=\"1\"><gpxx:DisplayColor>darkred</gpxx:DisplayColor></wpt>", data);
  EXPECT_EQ(data.CheckedTrackColor, 8);
  ReadGpxText("<gpx><gpxx:DisplayColor>Purple</gpxx:DisplayColor><gpxx:DisplayColor>Red</gpxx:DisplayColor></gpx>",
              data);
  EXPECT_EQ(data.CheckedTrackColor, 8);  // the first colour of a file decides
  EXPECT_EQ(GarminColorIndex("LIGHTGRAY"), 6);
}

TEST(GpxReader, ErrorsNameTheLineAndKeepWhatWasRead) {
  TGpxData data;
  try {
    ReadGpxText("<gpx>\n<trkpt lat=\"1\" lon=\"1\"/>\n<trkpt lat=\"2,5\" lon=\"1\"/><trkpt lat=\"3\" lon=\"3\"/></gpx>",
                data, "t.gpx");
    FAIL();
  } catch (const EFormatError& e) {
    EXPECT_EQ(std::string(e.what()), "t.gpx: line 3: '2,5' is not a valid floating point value");
  }
  EXPECT_EQ(data.Track.size(), 1u);
  try {
    ReadGpxText("<gpx>\n<wpt lat=\"1\" lon=\"2\"></wpt>\n<wpt lat=\"1\" lon=\"2\">\n</gpx>", data, "u.gpx");
    FAIL();
  } catch (const EFormatError& e) {
    EXPECT_EQ(std::string(e.what()), "u.gpx: line 4: mismatched tag");
  }
  EXPECT_EQ(data.Waypoints.size(), 1u);
  EXPECT_THROW(ReadGpxText("<wpt lat=\"1\"></wpt>", data), EFormatError);  // no lon
  EXPECT_THROW(ReadGpxText("", data), EFormatError);
  EXPECT_THROW(ParseDecimal(""), EFormatError);
  EXPECT_THROW(ParseDecimal("0x10"), EFormatError);
  EXPECT_THROW(ParseDecimal("1e"), EFormatError);
  EXPECT_DOUBLE_EQ(ParseDecimal("+1.5e2"), 150.0);
  EXPECT_DOUBLE_EQ(ParseDecimal("-.5"), -0.5);
  // A missing file reads nothing and reports nothing.
  EXPECT_NO_THROW(ReadGpx("/nonexistent/file.gpx", data));
}

TEST(GpxWriter, TrackFileLayout) {
  TTempDir dir;
  std::vector<TWpt> track = {{0, -2147483647, ""}, {DegToJnx(49.25), DegToJnx(19.5), ""}};
  ASSERT_NO_THROW(WriteTrackGpx(dir.Path("trip & back.gpx"), track, 11));
  std::string text = ReadText(dir.Path("trip & back.gpx"));
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<gpx xmlns=", 0), 0u);
  EXPECT_NE(text.find("\r\n <trk>\r\n  <name>trip &amp; back</name>\r\n  <extensions>\r\n"), std::string::npos);
  EXPECT_NE(text.find("    <gpxx:DisplayColor>DarkBlue</gpxx:DisplayColor>\r\n"), std::string::npos);
  EXPECT_NE(text.find("   <trkpt lat=\"0.000000\" lon=\"-180.000000\"/>\r\n"), std::string::npos);
  EXPECT_NE(text.find("   <trkpt lat=\"49.250000\" lon=\"19.500000\"/>\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 8), "</gpx>\r\n");
  // No colour, empty track: no extension lines and an empty segment.
  ASSERT_NO_THROW(WriteTrackGpx(dir.Path("empty.gpx"), {}, -1));
  std::string empty = ReadText(dir.Path("empty.gpx"));
  EXPECT_EQ(empty.find("extensions"), std::string::npos);
  EXPECT_NE(empty.find("  <trkseg>\r\n  </trkseg>\r\n"), std::string::npos);
  // Written back and read again, the names and points survive.
  TGpxData back;
  ReadGpx(dir.Path("trip & back.gpx"), back);
  ASSERT_EQ(back.Track.size(), 2u);
  EXPECT_EQ(back.Track[1].Latitude, DegToJnx(49.25));
  EXPECT_EQ(back.CheckedTrackColor, 11);
  EXPECT_THROW(WriteTrackGpx(dir.Path("no/such/folder/t.gpx"), track, -1), EIoError);
}

TEST(GpxWriter, MapsOverviewColoursAndOutline) {
  TTempDir dir;
  std::vector<TMapOutlineRow> rows;
  for (int i = 0; i < 17; ++i)
    rows.push_back({"map<" + std::to_string(i) + ">", std::to_string(DegToJnx(10)), std::to_string(DegToJnx(50)),
                    std::to_string(DegToJnx(11)), std::to_string(DegToJnx(49))});
  WriteMapsGpx(dir.Path("Maps.gpx"), rows);
  TGpxData data;
  ReadGpx(dir.Path("Maps.gpx"), data);
  ASSERT_EQ(data.Track.size(), 17u * 5);
  EXPECT_EQ(data.Track[0].Latitude, data.Track[4].Latitude);
  EXPECT_EQ(data.Track[0].Longitude, data.Track[4].Longitude);
  EXPECT_EQ(data.CheckedTrackColor, 0);  // the first track is Red
  std::string text = ReadText(dir.Path("Maps.gpx"));
  EXPECT_NE(text.find("<name>map&lt;1&gt;</name>\r\n  <extensions>\r\n   <gpxx:TrackExtension"), std::string::npos);
  // The 17th map is Red again, the second Green.
  std::size_t at = text.find("<name>map&lt;16&gt;</name>");
  EXPECT_EQ(text.compare(text.find("DisplayColor>", at) + 13, 3, "Red"), 0);
  at = text.find("<name>map&lt;1&gt;</name>");
  EXPECT_EQ(text.compare(text.find("DisplayColor>", at) + 13, 5, "Green"), 0);
  WriteMapsGpx(dir.Path("none.gpx"), {});
  const std::string none = ReadText(dir.Path("none.gpx"));
  EXPECT_EQ(std::count(none.begin(), none.end(), '\n'), 6);  // declaration, root, metadata, end
}

TEST(GpxInterop, WrittenFilesAreWellFormedAndReadByGpsbabel) {
  TTempDir dir;
  std::vector<TWpt> track = {{DegToJnx(49.1), DegToJnx(19.9), ""}, {DegToJnx(49.2), DegToJnx(20.0), ""}};
  ASSERT_NO_THROW(WriteTrackGpx(dir.Path("a&b <c>.gpx"), track, 3));
  WriteMapsGpx(dir.Path("Maps.gpx"), {{"x & \"y\"", "1000", "2000", "3000", "-4000"}});
  for (const std::string f : {"a&b <c>.gpx", "Maps.gpx"}) {
    std::string path = "'";  // built in steps: GCC 12 warns falsely on "'" + std::string&&
    path += dir.Path(f) + "'";
    if (HaveTool("xmllint")) {
      TRunResult r = RunCommand("xmllint --noout " + path);
      EXPECT_EQ(r.Status, 0) << f << ": " << r.Err;
    }
    if (HaveTool("gpsbabel")) {
      TRunResult r = RunCommand("gpsbabel -t -i gpx -f " + path + " -o csv -F -");
      EXPECT_EQ(r.Status, 0) << f << ": " << r.Err;
      EXPECT_EQ(r.Err, "") << f;
      EXPECT_GE(std::count(r.Out.begin(), r.Out.end(), '\n'), 2) << r.Out;
    }
  }
  if (HaveTool("gpsbabel")) {
    TRunResult r = RunCommand("gpsbabel -t -i gpx -f '" + dir.Path("a&b <c>.gpx") + "' -o gpx -F -");
    EXPECT_NE(r.Out.find("a&amp;b &lt;c&gt;"), std::string::npos) << r.Out;
  }
}

// Only brelo's own outline file may be replaced: this version's, with its metadata, and earlier
// versions' without it; never a track or other file of that name.
TEST(OutlineFile, BrelosOwnOutlinesAndNothingElse) {
  TTempDir dir;
  std::vector<TMapOutlineRow> rows;
  for (int i = 0; i < 17; ++i)
    rows.push_back({"map & " + std::to_string(i), std::to_string(DegToJnx(10 + i)), std::to_string(DegToJnx(50)),
                    std::to_string(DegToJnx(11 + i)), std::to_string(DegToJnx(49))});
  const std::string ours = MapsGpxText(rows);
  EXPECT_TRUE(IsBreloOutlineText(ours));
  EXPECT_TRUE(IsBreloOutlineText(MapsGpxText({})));
  // Written by an earlier version: no metadata, another version in the creator.
  std::string earlier = ours;
  earlier.erase(earlier.find(" <metadata>"), earlier.find(" <trk>") - earlier.find(" <metadata>"));
  const std::size_t version = earlier.find("creator=\"brelo ") + 15;
  earlier.replace(version, earlier.find('"', version) - version, "0.0.1");
  EXPECT_TRUE(IsBreloOutlineText(earlier));
  EXPECT_TRUE(IsBreloOutlineText(ReadText(std::string(BRELO_SOURCE_DIR) + "/samples/Maps.gpx")));

  auto edited = [&](const std::string& from, const std::string& to) {
    std::string t = ours;
    const std::size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return t.replace(at, from.size(), to);
  };
  const std::vector<std::string> theirs = {
      "",
      "<gpx><trk><name>my walk</name></trk></gpx>",
      ours.substr(0, ours.size() / 2),                            // cut short
      edited("creator=\"brelo ", "creator=\"GPSBabel "),          // another program's
      edited(" <trk>", " <wpt lat=\"1\" lon=\"2\"/>\r\n <trk>"),  // a waypoint added
      edited("<gpxx:DisplayColor>Green<", "<gpxx:DisplayColor>Blue<"),
      edited("   <trkpt lat=\"49.000000\" lon=\"10.000000\"/>\r\n", ""),                     // a point fewer
      edited("lat=\"49.000000\" lon=\"11.000000\"", "lat=\"49.500000\" lon=\"11.000000\""),  // not a box
      ours + "<!-- notes -->\r\n",
  };
  for (std::size_t k = 0; k < theirs.size(); ++k) EXPECT_FALSE(IsBreloOutlineText(theirs[k])) << k;
  // A track the user drew and saved under that name.
  const std::vector<TWpt> walk = {{DegToJnx(49.1), DegToJnx(19.9), ""}, {DegToJnx(49.2), DegToJnx(20.0), ""}};
  WriteTrackGpx(dir.Path("Maps.gpx"), walk, 0);
  EXPECT_FALSE(IsBreloOutlineText(ReadText(dir.Path("Maps.gpx"))));
}
