// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "base/Coordinates.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "jnx/Guid.h"
#include "jnx/JnxMap.h"
#include "jnx/ScaleTable.h"

using namespace brelo;

TEST(EncodedCoordinates, ExtremesAndTies) {
  EXPECT_EQ(JnxToDeg(2147483647), 180.0);
  EXPECT_EQ(JnxToDeg(-2147483647), -180.0);
  EXPECT_EQ(DegToJnx(180.0), 2147483647);
  EXPECT_EQ(DegToJnx(0.0), 0);
  // Ties go to even.
  EXPECT_EQ(RoundToInt32(0.5L), 0);
  EXPECT_EQ(RoundToInt32(1.5L), 2);
  EXPECT_EQ(RoundToInt32(-2.5L), -2);
  EXPECT_EQ(DegToJnx(90.0), 1073741824);  // 1073741823.5 rounds to even
  for (std::int32_t v : {1, -1, 123456789, -987654321, 2147483646}) EXPECT_EQ(DegToJnx(JnxToDeg(v)), v) << v;
}

TEST(EncodedCoordinates, OutOfRangeDegreesWrapWithoutUndefinedBehaviour) {
  EXPECT_EQ(DegToJnx(360.0), static_cast<std::int32_t>(static_cast<std::uint32_t>(4294967294u)));
  EXPECT_EQ(DegToJnx(std::numeric_limits<double>::quiet_NaN()), 0);
  (void)DegToJnx(1e300);
  EXPECT_EQ(Diff32(2147483647, -2147483647), -2);
}

TEST(EncodedCoordinates, Distances) {
  // One degree of latitude on the 12756.274 km sphere.
  EXPECT_NEAR(DegDistanceKm(0, 0, 1, 0), 111.31949079327357, 1e-9);
  // The first point's latitude is the reference for the longitude difference.
  EXPECT_NEAR(DegDistanceKm(60, 0, 60, 1), 111.31949079327357 * 0.5, 1e-9);
  EXPECT_NEAR(JnxDistanceKm(DegToJnx(60), 0, DegToJnx(60), DegToJnx(1)), 55.6597, 1e-3);
}

TEST(ScaleTable, SnapNameValue) {
  EXPECT_EQ(SnapScale(0), 18u);
  EXPECT_EQ(SnapScale(5000000), 2446184u);
  EXPECT_EQ(SnapScale(23), 28u);  // a tie goes up
  EXPECT_EQ(SnapScale(22), 18u);
  EXPECT_EQ(SnapScale(2446184), 2446184u);
  EXPECT_EQ(ScaleName(4777), "1.2km");
  EXPECT_EQ(ScaleName(4700), "1.2km");
  EXPECT_EQ(ScaleValue("1.2km"), 4777);
  EXPECT_EQ(ScaleValue("1.2 km"), -1);
  EXPECT_EQ(ScaleValue("1.2KM"), -1);
  for (std::size_t i = 1; i < ScaleTable.size(); ++i) EXPECT_LT(ScaleTable[i - 1].Value, ScaleTable[i].Value);
}

TEST(StoredStrings, TrimAndUtf8Rule) {
  auto read = [](std::vector<std::uint8_t> bytes) {
    TMemoryStream s(std::move(bytes));
    std::string v = "unchanged";
    ReadString(s, v);
    return v;
  };
  EXPECT_EQ(read({' ', ' ', 'a', 'b', ' ', 0}), "ab");
  EXPECT_EQ(read({'a', 0xE9, 'b', 0}), "");                          // a lone Latin-1 byte
  EXPECT_EQ(read({0xC5, 0x82, 0xC3, 0xB3, 0}), "\xC5\x82\xC3\xB3");  // "łó"
  EXPECT_EQ(read({0xE2, 0x82, 0xAC, 0}), "\xE2\x82\xAC");            // three-byte sequence
  EXPECT_EQ(read({0xE2, 0x82, 0}), "");                              // cut short
  EXPECT_EQ(read({'x', 'y'}), "xy");                                 // no terminator: up to the end
  EXPECT_EQ(read({}), "");
  TMemoryStream out;
  WriteString(out, "");
  EXPECT_EQ(out.Data(), std::vector<std::uint8_t>{0});
  EXPECT_EQ(Utf8Size("\xC5\x82"), 3u);
}

TEST(StreamHelpers, ShortReadLeavesFieldUnchanged) {
  TMemoryStream s(std::vector<std::uint8_t>{1, 2, 3});
  std::int32_t v = 42;
  ReadInt32(s, v);
  EXPECT_EQ(v, 42);
  s.Seek(0);
  std::int16_t w = 7;
  ReadInt16(s, w);
  EXPECT_EQ(w, 0x0201);
}

TEST(HeaderSize, Version3OneLevelOneTile) {
  TJnxMap map;
  map.Version = 3;
  map.Guid = NewGuid();
  map.Levels.resize(1);
  map.LevelCount = 1;
  // 48 + 12 = 60 for header and level table; 10 + 37 + 3 for the block; 4 + 3 per level.
  EXPECT_EQ(HeaderSize(map), 117u);
  map.Version = 4;
  map.Levels[0].LevelCopyright = "ab";
  EXPECT_EQ(HeaderSize(map), 117u + 4 + 4 + 3);
}

TEST(Guid, FormatAndRandomness) {
  std::string g = NewGuid();
  ASSERT_EQ(g.size(), 36u);
  for (std::size_t i = 0; i < g.size(); ++i) {
    if (i == 8 || i == 13 || i == 18 || i == 23)
      EXPECT_EQ(g[i], '-');
    else
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(g[i])) || (g[i] >= 'A' && g[i] <= 'F')) << g;
  }
  EXPECT_NE(NewGuid(), NewGuid());
}
