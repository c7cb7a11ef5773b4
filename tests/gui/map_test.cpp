// SPDX-License-Identifier: GPL-3.0-or-later
// The renderer and the map page under the offscreen platform.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>
#include <filesystem>

#include "GuiSupport.h"
#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/app/TfMain.h"
#include "gui/mappage/TMapCanvas.h"
#include "gui/session/TMapSession.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "render/MapRenderer.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A one-level map of 3 x 3 tiles of 256 x 256 pixels, 0.01 degrees each, around 50 N 20 E;
// the middle column may span a little more (its pixels then are not the level's).
std::string TileMap(const TTempDir& dir, bool breakSecond = false, double middle = 0.01) {
  TJnxMap map;
  map.Version = 4, map.ZOrder = 30, map.BlockVersion = 9, map.Guid = "0";
  const double step = 0.01;
  std::vector<std::vector<std::uint8_t>> jpegs;
  TJnxLevel level;
  level.Scale = 2388;
  for (int i = 0; i < 9; ++i) {
    jpegs.push_back(MakeJpeg(256, 256, i));
    if (breakSecond && i == 1) std::fill(jpegs.back().begin() + 2, jpegs.back().end(), 0x11);
    TJnxTile t;
    const double edges[4] = {20, 20 + step, 20 + step + middle, 20 + 2 * step + middle};
    t.Left = DegToJnx(edges[i % 3]), t.Right = DegToJnx(edges[i % 3 + 1]);
    t.Top = DegToJnx(50.03 - step * (i / 3)), t.Bottom = DegToJnx(50.03 - step * (i / 3 + 1));
    t.Width = t.Height = 256;
    t.ImageSize = static_cast<std::int32_t>(jpegs.back().size() - 2);
    level.Tiles.push_back(t);
  }
  level.TileCount = 9;
  map.Levels.push_back(level);
  map.LevelCount = map.LevelCount2 = 1;
  map.West = DegToJnx(20), map.East = DegToJnx(20.02 + middle), map.North = DegToJnx(50.03), map.South = DegToJnx(50);
  RebuildSourceLocations(map);
  const std::string path = dir.Path(middle == 0.01 ? "tiles.jnx" : "wide.jnx");
  WriteJnx(
      map, path, -1,
      [&](TFileStream& out, std::uint32_t) {
        for (const auto& j : jpegs) out.Write(j.data() + 2, j.size() - 2);
      },
      nullptr);
  return path;
}

struct TScene {
  TJnxMap Map;
  TViewState View;
  TGpxData Gpx;
  TRenderOptions Options;
  TRedrawFlags Flags;
  QImage Canvas{300, 300, QImage::Format_RGB32};
  explicit TScene(const std::string& path) {
    Map = LoadJnx(path);
    SetLevelGeometry(View, Map.Levels[0]);
    View.ViewCentreLat = Midpoint(Map.South, Map.North);
    View.ViewCentreLon = Midpoint(Map.West, Map.East);
    Options.DrawCrosshair = false;
  }
  TRedrawPass Pass(const std::vector<int>& selected = {}) {
    return RedrawMap(Canvas, Map, View, 0, Gpx, selected, Options, Flags);
  }
};

}  // namespace

class TMapTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallModalWatchdog(); }

  void RestingPassesDecodeThenRedrawThenSkip() {
    TTempDir dir;
    TScene s(TileMap(dir));
    TRedrawPass first = s.Pass();
    QVERIFY(first.Decoded > 0);
    QVERIFY(!s.Map.AllTilesCached);
    TRedrawPass second = s.Pass();
    QCOMPARE(second.Decoded, 0);
    QVERIFY(!second.Skipped);
    QVERIFY(s.Map.AllTilesCached);
    QVERIFY(s.Pass().Skipped);
    s.Flags.ForceRedraw = true;
    QVERIFY(!s.Pass().Skipped);
  }

  void MovingPassesDecodeOneTileAtATime() {
    TTempDir dir;
    TScene s(TileMap(dir));
    s.Flags.DecodeAllTiles = false;
    for (int i = 0; i < 3; ++i) QCOMPARE(s.Pass().Decoded, 1);
    s.Flags.DecodeAllTiles = true;
    QVERIFY(s.Pass().Decoded > 1);
  }

  void CacheHoldsTilesAtTheirCanvasSize() {
    QCOMPARE(TileDecoding(0.25, false).ScaleLog2, 2);
    QVERIFY(!TileDecoding(0.25, false).Resample);
    QCOMPARE(TileDecoding(0.3, false).ScaleLog2, 1);
    QVERIFY(TileDecoding(0.3, false).Resample);
    QVERIFY(TileDecoding(1, true).Resample);
    TTempDir dir;
    TScene s(TileMap(dir));
    // Linear projection: at 0.25 and 0.125 the decoder's reduction is the tile's box.
    s.View.Mercator = false;
    s.View.ViewScale = 0.25;
    s.Pass();
    QCOMPARE(s.Map.Levels[0].Tiles[4].Bitmap->Width, 64);
    FreeTileCache(s.Map);
    s.View.ViewScale = 0.3;
    s.Pass();
    const TJnxTile& t = s.Map.Levels[0].Tiles[4];
    QCOMPARE(t.Bitmap->Width, LonToX(s.View, s.Map, t.Right) - LonToX(s.View, s.Map, t.Left));
    FreeTileCache(s.Map);
    s.View.ViewScale = 0.125;
    s.Pass();
    QCOMPARE(s.Map.Levels[0].Tiles[4].Bitmap->Width, 32);
    // Mercator: a 0.01 degree square at 50 N is narrower than tall; the bitmap is its box
    // (the decoded 64 x 64 drawn as it is spilled over the next tile).
    TScene m(TileMap(dir));
    m.Options.Quality2 = true;
    m.View.ViewScale = 0.25;
    m.Pass();
    const TJnxTile& c = m.Map.Levels[0].Tiles[4];
    QCOMPARE(c.Bitmap->Width, LonToX(m.View, m.Map, c.Right) - LonToX(m.View, m.Map, c.Left));
    QCOMPARE(c.Bitmap->Height, LatToY(m.View, m.Map, c.Bottom) - LatToY(m.View, m.Map, c.Top));
    QVERIFY(c.Bitmap->Width < 50);
  }

  // Zoomed far in, a tile is larger than many canvases: only the part around the canvas is
  // decoded and kept, the cache stays within its cap, and what is drawn is that tile.
  void ZoomedFarInTheCacheHoldsThePartOnTheCanvas() {
    TTempDir dir;
    TScene s(TileMap(dir));
    const std::vector<std::uint8_t> jpeg = MakeJpeg(256, 256, 4);
    TJpegImage image;
    image.LoadFromBytes(jpeg);
    const TPixelBuffer& pixels = image.Pixels();
    for (const double scale : {64.0, 128.0, 256.0}) {
      FreeTileCache(s.Map);
      s.View.ViewScale = scale;
      const TRedrawPass pass = s.Pass();
      QCOMPARE(pass.Decoded, 1);  // the middle tile fills the canvas
      const TJnxTile& t = s.Map.Levels[0].Tiles[4];
      const std::int64_t box = std::int64_t(LonToX(s.View, s.Map, t.Right) - LonToX(s.View, s.Map, t.Left)) *
                               (LatToY(s.View, s.Map, t.Bottom) - LatToY(s.View, s.Map, t.Top));
      QVERIFY(box > std::int64_t(10000) * 10000);
      QVERIFY(std::int64_t(t.Bitmap->Width) * t.Bitmap->Height <= std::int64_t(4) * 300 * 300);
      QVERIFY(s.Flags.Cache.Bytes < TTileCacheBook::kCapBytes);
      // The canvas centre shows the middle of the tile's picture.
      const QColor centre = s.Canvas.pixel(150, 150);
      const std::uint8_t* p = pixels.Row(128) + 128 * 3;
      QVERIFY2(std::abs(centre.red() - p[0]) < 30 && std::abs(centre.green() - p[1]) < 30 &&
                   std::abs(centre.blue() - p[2]) < 30,
               qPrintable(QString("scale %1").arg(scale)));
      // A small pan reuses the part; a pass at rest then has nothing to decode.
      s.View.ViewCentreLon += 20;
      QCOMPARE(s.Pass().Decoded, 0);
    }
  }

  // Wherever the map lies on the canvas, a tile is drawn: no white seam between neighbours,
  // in either projection, at any scale.
  void NeighbouringTilesLeaveNoSeam() {
    TTempDir dir;
    for (const bool mercator : {false, true})
      for (const double scale : {0.125, 0.13, 0.25, 0.3, 0.5, 0.77, 1.0, 1.37, 2.0, 3.3}) {
        TScene s(TileMap(dir, false, 0.0104));
        s.View.Mercator = mercator;
        s.Options.Quality2 = mercator;
        s.View.ViewScale = scale;
        s.View.ViewCentreLon += DegToJnx(0.0037);  // the map off the canvas centre
        s.Pass();
        const int x1 = LonToX(s.View, s.Map, s.Map.West), x2 = LonToX(s.View, s.Map, s.Map.East);
        const int y1 = LatToY(s.View, s.Map, s.Map.North), y2 = LatToY(s.View, s.Map, s.Map.South);
        // Inside the outline and off the canvas frame and scale bar.
        const QRect inside = QRect(QPoint(x1 + 2, y1 + 2), QPoint(x2 - 3, y2 - 3)) & QRect(3, 3, 294, 260);
        int white = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
          for (int x = inside.left(); x <= inside.right(); ++x)
            if (s.Canvas.pixel(x, y) == qRgb(255, 255, 255)) ++white;
        QVERIFY2(white == 0,
                 qPrintable(
                     QString("%1 white pixels at scale %2%3").arg(white).arg(scale).arg(mercator ? ", Mercator" : "")));
      }
  }

  void BandsOnSeveralCoresDrawWhatOneDraws() {
    // Zoomed out, the map leaves white margins; tiles straddle the band edges.
    TTempDir dir;
    TScene one(TileMap(dir)), four(TileMap(dir));
    for (TScene* s : {&one, &four}) s->View.ViewScale = 0.3;
    four.Options.Threads = 4;
    QCOMPARE(one.Pass().Drawn, four.Pass().Drawn);
    QCOMPARE(four.Canvas, one.Canvas);
    QCOMPARE(QColor(one.Canvas.pixel(2, 2)), QColor(Qt::white));
    // The picture is the tiles drawn over white, as a painter draws them.
    QImage expected(one.Canvas.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter p(&expected);
    for (const TJnxTile& t : one.Map.Levels[0].Tiles)
      if (t.Bitmap)
        p.drawImage(LonToX(one.View, one.Map, t.Left), LatToY(one.View, one.Map, t.Top),
                    QImage(t.Bitmap->Data.data(), t.Bitmap->Width, t.Bitmap->Height,
                           static_cast<qsizetype>(t.Bitmap->Stride()), QImage::Format_RGB32));
    p.end();
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
      for (int x = 0; x < expected.width(); ++x)
        if (expected.pixel(x, y) != one.Canvas.pixel(x, y)) ++differing;
    // Only the overlays (map outline, frame, scale bar) differ.
    QVERIFY2(differing < 3000, std::to_string(differing).c_str());
  }

  void EveryPixelWithoutATileTurnsWhite() {
    // While moving, one tile is decoded per pass: the others leave holes inside the map, and
    // what the canvas held before must not show through them on any number of bands.
    TTempDir dir;
    TScene one(TileMap(dir)), three(TileMap(dir));
    three.Options.Threads = 3;
    const QColor stale(255, 0, 255);
    for (TScene* s : {&one, &three}) {
      s->View.ViewScale = 0.7;
      s->Flags.DecodeAllTiles = false;
      s->Canvas.fill(stale);
      QCOMPARE(s->Pass().Decoded, 1);
    }
    QCOMPARE(three.Canvas, one.Canvas);
    int white = 0;
    for (int y = 0; y < one.Canvas.height(); ++y)
      for (int x = 0; x < one.Canvas.width(); ++x) {
        QVERIFY(QColor(one.Canvas.pixel(x, y)) != stale);
        if (QColor(one.Canvas.pixel(x, y)) == QColor(Qt::white)) ++white;
      }
    QVERIFY(white > one.Canvas.width() * one.Canvas.height() / 2);
  }

  void UndecodableTileDrawsAPlaceholderOnce() {
    TTempDir dir;
    TScene s(TileMap(dir, true));
    s.Options.Threads = 2;
    s.Pass();
    const auto& bad = s.Map.Levels[0].Tiles[1];
    QVERIFY(bad.Bitmap && !bad.Bitmap->Empty());  // a grey cell with a cross, cached
    QCOMPARE(s.Pass().Decoded, 0);
    // Two threads draw what one draws.
    TScene one(TileMap(dir, true));
    one.Pass();
    QCOMPARE(one.Canvas, s.Canvas);
  }

  void APassOverItsLastPassDrawsWhatAFreshCanvasShows() {
    TTempDir dir;
    TScene s(TileMap(dir));
    s.Options.DrawCrosshair = true;
    s.Options.Threads = 2;
    std::vector<int> selected;
    const auto at = [&](double lat, double lon, const std::string& name = "") {
      TWpt w;
      w.Latitude = DegToJnx(lat), w.Longitude = DegToJnx(lon), w.Name = name;
      return w;
    };
    const auto check = [&](const char* step) {
      s.Flags.ForceRedraw = true;
      s.Pass(selected);
      s.Flags.ForceRedraw = false;
      QImage fresh(s.Canvas.size(), QImage::Format_RGB32);
      fresh.fill(QColor(255, 0, 255));
      // The same tiles from their cache, and no decoding: a tile not cached stays blank.
      TJnxMap map = s.Map;
      for (auto& t : map.Levels[0].Tiles)
        if (!t.Bitmap) t.Bitmap = std::make_shared<TPixelBuffer>();
      TRedrawFlags flags;
      flags.ForceRedraw = true;
      TViewState v = s.View;
      RedrawMap(fresh, map, v, 0, s.Gpx, selected, s.Options, flags);
      QRect differing;
      for (int y = 0; y < fresh.height(); ++y)
        for (int x = 0; x < fresh.width(); ++x)
          if (fresh.pixel(x, y) != s.Canvas.pixel(x, y)) differing |= QRect(x, y, 1, 1);
      QVERIFY2(differing.isNull(), (std::string(step) + ": pixels differ in " + std::to_string(differing.x()) + "," +
                                    std::to_string(differing.y()) + " " + std::to_string(differing.width()) + "x" +
                                    std::to_string(differing.height()))
                                       .c_str());
    };
    check("first pass");
    check("nothing changed");
    s.Options.DrawCrosshair = false;
    check("crosshair off");
    selected = {4, 5};
    check("two tiles selected");
    selected = {5};
    check("one deselected");
    s.Gpx.Track = {at(50.012, 20.011), at(50.018, 20.019), at(50.016, 20.013)};
    check("track drawn");
    s.Gpx.Track.pop_back();
    check("track point removed");
    s.Gpx.Waypoints = {at(50.011, 20.016, "Schronisko pod szczytem")};
    check("waypoint shown");
    s.Gpx.Waypoints[0].Longitude += DegToJnx(0.002);
    check("waypoint moved");
    for (int i = 0; i < 80; ++i) s.Gpx.Waypoints.push_back(at(50.01 + i * 0.0001, 20.01 + (i % 9) * 0.001, "w"));
    check("many waypoints");
    s.Gpx.Waypoints.resize(1);
    check("many waypoints gone");
    s.Options.DrawGrid = true;
    check("grid on");
    s.Options.DrawGrid = false;
    check("grid off");
    s.View.ViewCentreLon += DegToJnx(0.0004);
    check("view panned");
    s.View.ViewScale = 0.7;
    FreeTileCache(s.Map);
    s.Flags.DecodeAllTiles = false;
    check("zoomed out, one tile decoded while moving");
    check("a second tile where the canvas was white");
    s.Flags.DecodeAllTiles = true;
    check("at rest again");
    // Drawing straight onto the canvas between passes makes the next pass draw everything.
    DrawTileHatch(s.Canvas, s.Map, s.View, 0, 3);
    DrawTrackSegment(s.Canvas, 0, 0, 299, 299, -1);
    check("hatch and segment drawn between passes");
    // The canvas is known to hold the last pass: a pixel changed behind the renderer's back,
    // away from every overlay, stays, so tiles drawn again are not copied again.
    selected.clear();
    s.Gpx = {};
    s.Flags.ForceRedraw = true;
    s.Pass();
    const QPoint p(150, 150);
    const QRgb mark = qRgb(1, 2, 3);
    reinterpret_cast<QRgb*>(const_cast<uchar*>(s.Canvas.constScanLine(p.y())))[p.x()] = mark;
    s.Flags.ForceRedraw = true;
    s.Pass(selected);
    QCOMPARE(s.Canvas.pixel(p), mark);
  }

  void HatchShowsAndVanishesPixelForPixel() {
    TTempDir dir;
    TScene s(TileMap(dir));
    s.Pass();
    const QImage before = s.Canvas.copy();
    DrawTileHatch(s.Canvas, s.Map, s.View, 0, 4);
    QVERIFY(s.Canvas != before);
    DrawTileHatch(s.Canvas, s.Map, s.View, 0, 4);
    QCOMPARE(s.Canvas, before);
    // Entries the level does not have are never drawn.
    s.Flags.ForceRedraw = true;
    s.Pass({-1, 42});
    QCOMPARE(s.Canvas, before);
  }

  void InfoTextsAndWaypointsOffTheCanvas() {
    TJnxMap none;
    TViewState v;
    v.CanvasWidth = 640, v.CanvasHeight = 482;
    SetDefaultFrame(v, none);
    TGpxData gpx;
    TWpt far;
    far.Latitude = DegToJnx(10), far.Longitude = DegToJnx(10), far.Name = "far";
    gpx.Waypoints.push_back(far);
    TRedrawFlags flags;
    QImage canvas(640, 482, QImage::Format_RGB32);
    TRenderOptions o;
    o.DrawCrosshair = false;
    const TRedrawPass pass = RedrawMap(canvas, none, v, -1, gpx, {}, o, flags);
    QVERIFY(QString::fromStdString(pass.Info).startsWith("No map\n1km x 1km\n640px x 482px"));
    QVERIFY(!flags.RedrawBusy);
    // Nothing of the far waypoint is on the canvas: the middle stays white.
    QCOMPARE(canvas.pixel(320, 240), qRgb(255, 255, 255));
  }

  // The peer program's file: every tile is drawn where its bounds say, so the pixel at the
  // middle of a tile's rectangle is the tile's own middle pixel.
  void PeerTilesLandWhereTheirBoundsSay() {
    const std::string peer = FindPeerFile("sw_two_levels.jnx");
    if (peer.empty()) QSKIP("peer file sw_two_levels.jnx is missing: qmt_map2jnx and gdal_translate make it");
    TScene s(peer);
    s.Canvas = QImage(900, 700, QImage::Format_RGB32);
    const int level = 1;
    SetLevelGeometry(s.View, s.Map.Levels[level]);
    s.Options.Quality2 = s.View.Mercator;
    RedrawMap(s.Canvas, s.Map, s.View, level, s.Gpx, {}, s.Options, s.Flags);
    int checked = 0;
    for (int t = 0; t < s.Map.Levels[level].TileCount; ++t) {
      const TJnxTile& tile = s.Map.Levels[level].Tiles[static_cast<std::size_t>(t)];
      const int x = (LonToX(s.View, s.Map, tile.Left) + LonToX(s.View, s.Map, tile.Right)) / 2;
      const int y = (LatToY(s.View, s.Map, tile.Top) + LatToY(s.View, s.Map, tile.Bottom)) / 2;
      if (!s.Canvas.rect().contains(x, y)) continue;
      TJpegImage image;
      QVERIFY(DecodeTile(s.Map, level, t, image));
      const TPixelBuffer& px = image.Pixels();
      const std::uint8_t* p = px.Row(px.Height / 2) + (px.Width / 2) * px.Channels;
      const QColor c = s.Canvas.pixelColor(x, y);
      QVERIFY2(std::abs(c.red() - p[0]) < 40 && std::abs(c.green() - p[1]) < 40 && std::abs(c.blue() - p[2]) < 40,
               qPrintable(QString("tile %1").arg(t + 1)));
      ++checked;
    }
    QVERIFY(checked >= 6);
  }

  void PrevAndNextFollowTheLevel() {
    TTempDir dir;
    MakeTestJnx(dir.Path("two.jnx"), {1, 4});
    TTestWindow w;
    TfMain& window = *w.Window;
    window.OpenMap(dir.Path("two.jnx"));
    auto* prev = window.findChild<QAction*>("miPrevLevel");
    auto* next = window.findChild<QAction*>("miNextLevel");
    QVERIFY(prev->isEnabled() && !next->isEnabled());
    prev->trigger();
    QCOMPARE(window.Session().Level(), 0);
    QVERIFY(!prev->isEnabled() && next->isEnabled());
    QVERIFY(window.findChild<QLabel*>("lLevelInfo")->text().contains("Level 1/2"));
  }

  // The hatch of a selected tile and the map's outline cover their boxes and not a pixel more.
  void HatchAndOutlineStayInsideTheirBoxes() {
    TTempDir dir;
    TScene s(TileMap(dir));
    s.View.ViewScale = 0.3;
    s.Pass();
    const QImage before = s.Canvas;
    const QRect box = DrawTileHatch(s.Canvas, s.Map, s.View, 0, 4);
    QRect changed;
    for (int y = 0; y < before.height(); ++y)
      for (int x = 0; x < before.width(); ++x)
        if (before.pixel(x, y) != s.Canvas.pixel(x, y)) changed |= QRect(x, y, 1, 1);
    QVERIFY(!changed.isNull());
    QVERIFY2(box.contains(changed), qPrintable(QString("hatch %1,%2 %3x%4 in box %5,%6 %7x%8")
                                                   .arg(changed.x())
                                                   .arg(changed.y())
                                                   .arg(changed.width())
                                                   .arg(changed.height())
                                                   .arg(box.x())
                                                   .arg(box.y())
                                                   .arg(box.width())
                                                   .arg(box.height())));
    DrawTileHatch(s.Canvas, s.Map, s.View, 0, 4);
    QCOMPARE(s.Canvas, before);  // drawn twice, gone
    // The red outline: on the map's last column and row, not past them.
    const int x2 = LonToX(s.View, s.Map, s.Map.East), y2 = LatToY(s.View, s.Map, s.Map.South);
    const int midY = (LatToY(s.View, s.Map, s.Map.North) + y2) / 2;
    QCOMPARE(QColor(s.Canvas.pixel(x2 - 1, midY)), QColor(Qt::red));
    QCOMPARE(QColor(s.Canvas.pixel(x2, midY)), QColor(Qt::white));
    QCOMPARE(QColor(s.Canvas.pixel(x2 - 20, y2 - 1)), QColor(Qt::red));
    QCOMPARE(QColor(s.Canvas.pixel(x2 - 20, y2)), QColor(Qt::white));
  }

  // Switching MercatorProjection on puts Quality2 in force, as a click does it.
  void MercatorPutsQuality2InForce() {
    TTempDir dir;
    const std::string path = TileMap(dir);
    TTestWindow w(true, 0, QSize(900, 600));
    w.Window->OpenMap(path);
    auto* mercator = w.Find<QCheckBox>("cbSquarePixels");
    auto* quality1 = w.Find<QRadioButton>("rbQuality1");
    auto* quality2 = w.Find<QRadioButton>("rbQuality2");
    auto* canvas = w.Find<TMapCanvas>("iMap");
    if (mercator->isChecked()) QTest::mouseClick(mercator, Qt::LeftButton);
    QVERIFY(quality1->isChecked() && !canvas->Options.Quality2);
    QTest::mouseClick(mercator, Qt::LeftButton);
    QVERIFY(mercator->isChecked());
    QVERIFY(quality2->isChecked());
    QVERIFY(!quality1->isChecked());
    QVERIFY(canvas->Options.Quality2);
    QVERIFY(!quality1->isEnabled() && !quality2->isEnabled());
    QTest::mouseClick(mercator, Qt::LeftButton);
    QVERIFY(quality1->isChecked() && !canvas->Options.Quality2);
  }

  // Begin New Track shows its one point at once; Delete asks before tiles leave the file; a
  // redraw that fails says so and the next one draws.
  void TrackTilesAndFailuresOnTheMapPage() {
    TTempDir dir;
    const std::string path = TileMap(dir);
    TTestWindow w(true, 0, QSize(900, 600));
    w.Window->OpenMap(path);
    TMapCanvas* canvas = w.Find<TMapCanvas>("iMap");
    const QPoint at(canvas->width() / 2 + 60, canvas->height() / 2 + 40);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, at - QPoint(100, 0));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, at - QPoint(50, 50));
    // The track menu at the right click; Begin New Track is its first item.
    auto* menu = w.Find<QMenu>("pmMap");
    QTimer::singleShot(0, menu, [menu] {
      QTest::keyClick(menu, Qt::Key_Down);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(canvas, Qt::RightButton, {}, at);
    QTRY_COMPARE(w.Session().Gpx().Track.size(), std::size_t(1));
    const QColor dot = canvas->Canvas().pixel(at);
    QCOMPARE(dot, QColor(0, 0, 255));  // the track's colour, drawn at once
    QVERIFY(QColor(canvas->Canvas().pixel(at - QPoint(100, 0))) != QColor(0, 0, 255));  // the old track is gone
    // Delete on the map, after a Ctrl+click: asked, and No leaves the file.
    const auto before = ReadFile(path);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, at);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(canvas));
    w.Answers = {QMessageBox::No};
    KeyToFocus(Qt::Key_Delete);
    QCOMPARE(w.Questions.size(), 1);
    QVERIFY2(w.Questions[0].startsWith("Delete 1 tiles of level 1 from tiles.jnx?"), qPrintable(w.Questions[0]));
    QCOMPARE(ReadFile(path), before);
    w.Answers = {QMessageBox::Yes};
    KeyToFocus(Qt::Key_Delete);
    QCOMPARE(LoadJnx(path).Levels[0].TileCount, 8);
    // A redraw that cannot read its tiles (the file moved away a moment): the error is shown,
    // the page stays usable.
    std::filesystem::rename(path, path + ".away");
    canvas->setFocus();
    KeyToFocus(Qt::Key_Home);  // a new scale: every tile decoded again
    QCOMPARE(w.Errors.size(), 1);
    QVERIFY2(w.Errors[0].startsWith("The map could not be drawn"), qPrintable(w.Errors[0]));
    QVERIFY(!canvas->Flags.RedrawBusy);
    std::filesystem::rename(path + ".away", path);
    QTest::mouseClick(w.Find<QCheckBox>("cbDrawGrid"), Qt::LeftButton);
    const QImage& drawn = canvas->Canvas();
    int coloured = 0;
    for (int y = 0; y < drawn.height(); y += 4)
      for (int x = 0; x < drawn.width(); x += 4) coloured += drawn.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY2(coloured > drawn.width() * drawn.height() / 16 / 10, qPrintable(QString::number(coloured)));
  }

  // A track that cannot be saved (a folder holds its name) says so through the error display.
  void AFailedTrackSaveShowsTheError() {
    TTempDir dir;
    const std::string path = TileMap(dir);
    std::filesystem::create_directories(dir.Path("walk.gpx"));
    TTestWindow w(true, 0, QSize(900, 600));
    w.Window->OpenMap(path);
    w.State.Settings.LastGPXFile = dir.Path("x.gpx");
    TMapCanvas* canvas = w.Find<TMapCanvas>("iMap");
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(200, 200));
    TfOpenSaveDialog& d = w.Window->OpenSaveDialog();
    d.Confirm = [](const QString&, const QString&) { return true; };
    WhenShown(&d, [&d] {
      d.findChild<QComboBox*>("cbFileName")->setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(QApplication::focusWidget(), "walk");
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      if (d.isVisible()) d.reject();
    });
    auto* menu = w.Find<QMenu>("pmMap");
    QTimer::singleShot(0, menu, [menu] {
      for (int i = 0; i < 3; ++i) QTest::keyClick(menu, Qt::Key_Down);  // Save Track As...
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(canvas, Qt::RightButton, {}, QPoint(200, 200));
    QTRY_COMPARE(w.Errors.size(), 1);
    QVERIFY2(w.Errors[0].startsWith("An error occurred while writing\n" + QString::fromStdString(dir.Path("walk.gpx"))),
             qPrintable(w.Errors[0]));
    QVERIFY(std::filesystem::is_directory(dir.Path("walk.gpx")));
  }

  // A wheel step zooms about the pointer: what lies under it stays there; a touchpad's small
  // steps add up to one; back the other way halves.
  void WheelZoomsAboutThePointer() {
    TTempDir dir;
    const std::string path = TileMap(dir);
    TTestWindow w(true, 0, QSize(900, 600));
    w.Window->OpenMap(path);
    TMapCanvas* canvas = w.Find<TMapCanvas>("iMap");
    const QPoint at(canvas->width() / 2 + 130, canvas->height() / 2 - 70);
    auto wheel = [&](int delta) {
      QWheelEvent e(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
      QApplication::sendEvent(canvas, &e);
    };
    TViewState& v = w.State.View;
    const double scale = v.ViewScale;
    const std::int32_t lat = YToLat(v, w.Session().Map(), at.y()), lon = XToLon(v, w.Session().Map(), at.x());
    wheel(120);
    QCOMPARE(v.ViewScale, scale * 2);
    QVERIFY(std::abs(LonToX(v, w.Session().Map(), lon) - at.x()) <= 1);
    QVERIFY(std::abs(LatToY(v, w.Session().Map(), lat) - at.y()) <= 1);
    QCOMPARE(w.Find<QLineEdit>("eScale")->text(), QString::number(scale * 2));
    for (int i = 0; i < 3; ++i) wheel(30);
    QCOMPARE(v.ViewScale, scale * 2);  // three quarters of a notch
    wheel(30);
    QCOMPARE(v.ViewScale, scale * 4);
    wheel(-120);
    QCOMPARE(v.ViewScale, scale * 2);
    QVERIFY(std::abs(LonToX(v, w.Session().Map(), lon) - at.x()) <= 1);
  }

  // The map's keys, with the keyboard on the map: arrows pan a tenth of the canvas, + and -
  // zoom, Home fits the map, Page Up and Down change the level; the Navigate menu shows them.
  void KeysMoveTheMap() {
    TTempDir dir;
    MakeTestJnx(dir.Path("two.jnx"), {4, 16});
    TTestWindow w(true, 0, QSize(900, 600));
    w.Window->OpenMap(dir.Path("two.jnx"));
    TMapCanvas* canvas = w.Find<TMapCanvas>("iMap");
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));  // the map takes the keyboard
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(canvas));
    TViewState& v = w.State.View;
    const TJnxMap& m = w.Session().Map();
    const std::int32_t lon = v.ViewCentreLon;
    KeyToFocus(Qt::Key_Right);
    QVERIFY(std::abs(LonToX(v, m, v.ViewCentreLon) - LonToX(v, m, lon) - canvas->width() / 10) <= 1);
    KeyToFocus(Qt::Key_Left);
    QVERIFY(std::abs(v.ViewCentreLon - lon) <= std::abs(XToLon(v, m, 1) - XToLon(v, m, 0)));
    const double scale = v.ViewScale;
    KeyToFocus(Qt::Key_Plus);
    QCOMPARE(v.ViewScale, scale * 2);
    KeyToFocus(Qt::Key_Minus);
    KeyToFocus(Qt::Key_Minus);
    QCOMPARE(v.ViewScale, scale / 2);
    KeyToFocus(Qt::Key_Home);
    QVERIFY(LonToX(v, m, m.West) >= 0 && LonToX(v, m, m.East) <= canvas->width());
    QVERIFY(LatToY(v, m, m.North) >= 0 && LatToY(v, m, m.South) <= canvas->height());
    QCOMPARE(w.Session().Level(), 1);
    KeyToFocus(Qt::Key_PageUp);
    QCOMPARE(w.Session().Level(), 0);
    KeyToFocus(Qt::Key_PageDown);
    QCOMPARE(w.Session().Level(), 1);
    auto* navigate = w.Find<QMenu>("miNavigate");
    QStringList shown;
    for (QAction* a : navigate->actions())
      if (!a->isSeparator()) shown << a->text() + " " + a->shortcut().toString();
    QVERIFY2(shown.contains("Zoom In +") && shown.contains("Fit Map Home") && shown.contains("Next Level PgDown"),
             qPrintable(shown.join(", ")));
  }

  // On a screen of twice the density (QT_SCALE_FACTOR=2) the canvas holds twice the pixels
  // each way, and its lines and texts are drawn at that density, not enlarged.
  void CanvasIsDrawnAtTheScreensDensity() {
    TTempDir dir;
    const std::string path = TileMap(dir);
    TTestWindow w(true, 0, QSize(900, 600));
    TMapCanvas* canvas = w.Find<TMapCanvas>("iMap");
    if (canvas->devicePixelRatioF() != 2) QSKIP("needs QT_SCALE_FACTOR=2 (ctest runs it so as gui.map_test_hidpi)");
    w.Window->OpenMap(path);
    canvas->ForceRedrawMap();
    const QImage& image = canvas->Canvas();
    QCOMPARE(image.size(), canvas->size() * 2);
    // An enlarged picture is made of uniform 2 x 2 blocks; this one has fine edges about the
    // crosshair and the scale bar's text.
    int fine = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
      for (int x = 0; x + 1 < image.width(); x += 2) {
        const QRgb a = image.pixel(x, y);
        if (image.pixel(x + 1, y) != a || image.pixel(x, y + 1) != a || image.pixel(x + 1, y + 1) != a) ++fine;
      }
    QVERIFY2(fine > 200, qPrintable(QString::number(fine)));
    // The crosshair's arm lies across the centre row in device pixels too.
    const QPoint centre(image.width() / 2, image.height() / 2);
    bool red = false;
    for (int dy = -2; dy <= 2; ++dy) red = red || QColor(image.pixel(centre + QPoint(20, dy))) == QColor(Qt::red);
    QVERIFY(red);
  }

  void PageGesturesScaleAndLevels() {
    TTempDir dir;
    const std::string path = TileMap(dir);
    TTestWindow w(true, 0, QSize(900, 600));
    TfMain& window = *w.Window;
    TAppState& state = w.State;
    window.OpenMap(path);
    auto* canvas = w.Find<TMapCanvas>("iMap");
    auto* scale = w.Find<QLineEdit>("eScale");
    // Scale box: abc gives 1, the buttons double and halve.
    QTest::mouseClick(scale, Qt::LeftButton);
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus("abc");
    KeyToFocus(Qt::Key_Return);
    QCOMPARE(state.View.ViewScale, 1.0);
    QTest::mouseClick(w.Find<QToolButton>("sbScaleIn"), Qt::LeftButton);
    QCOMPARE(scale->text(), QString("2"));
    QTest::mouseClick(scale, Qt::LeftButton);
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus("-2");
    QTest::mouseClick(w.Find<QToolButton>("sbScaleOut"), Qt::LeftButton);
    QCOMPARE(scale->text(), QString("0.5"));
    QTest::mouseClick(w.Find<QToolButton>("sbScale_1"), Qt::LeftButton);
    // Ctrl+click selects the tile under the pointer and shows DeleteTiles; again deselects.
    const QPoint centre(canvas->width() / 2, canvas->height() / 2);
    auto* deleteTiles = window.findChild<QAction*>("miDeleteTiles");
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, centre);
    QCOMPARE(w.Session().SelectedTiles(), std::vector<int>{4});
    QVERIFY(deleteTiles->isVisible());
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, centre);
    QCOMPARE(w.Session().SelectedTiles(), std::vector<int>{-1});
    QVERIFY(!deleteTiles->isVisible());
    // Shift+Ctrl+click adds track points and shows the length.
    auto* info = window.findChild<QLabel*>("lInfo");
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, centre);
    QCOMPARE(info->text(), QString("TrackLen=0.000km"));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, centre + QPoint(100, 0));
    QCOMPARE(w.Session().Gpx().Track.size(), std::size_t(2));
    QVERIFY(info->text().startsWith("TrackLen=0."));
    QVERIFY(info->text() != "TrackLen=0.000km");
    // Any other gesture shows the hint.
    QTest::mouseClick(canvas, Qt::RightButton, Qt::NoModifier, centre);
    QCOMPARE(info->text(), QString("Shift+Ctrl: Add Point to Track, Ctrl: Select/Deselect Tile"));
    // One level: both level commands disabled.
    QVERIFY(!window.findChild<QAction*>("miPrevLevel")->isEnabled());
    QVERIFY(!window.findChild<QAction*>("miNextLevel")->isEnabled());
  }
};

QTEST_MAIN(TMapTest)
#include "map_test.moc"
