// render: a map picture drawn by the window's renderer, without a display.
#ifdef BRELO_RENDER
#include <memory>

#include <QBuffer>
#include <QGuiApplication>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "gpx/GpxReader.h"
#include "tables/MapTables.h"
#include "view/render/MapRenderer.h"

namespace brelo::cli {

namespace {

struct TRenderArgs {
  std::string File, Out, Centre, Size = "1024x768", Gpx;
  int Level = 0, Quality = 1;
  double Scale = 1;
  bool Mercator = false, Grid = false;
};

void Render(const TRenderArgs& a) {
  TJnxMap map = LoadMap(a.File);
  const int level = a.Level > 0 ? a.Level - 1 : ShownLevel(map);
  if (a.Level > 0) CheckLevel(map, a.Level);
  const auto size = SplitText(a.Size, 'x');
  long long w = 0, h = 0;
  if (size.size() != 2 || !ParseInteger(size[0], w) || !ParseInteger(size[1], h) || w < 16 || h < 16 || w > 16384 ||
      h > 16384)
    throw ECommandFailed("--size " + a.Size + ": WIDTHxHEIGHT from 16 to 16384 expected");
  if (!(a.Scale > 0)) throw ECommandFailed("--scale must be greater than 0");
  TViewState view;
  view.ViewScale = a.Scale;
  if (level >= 0) SetLevelGeometry(view, map.Levels[static_cast<std::size_t>(level)]);
  if (a.Mercator) view.Mercator = true;
  // The given centre when it lies on the map, else the map's middle.
  view.ViewCentreLat = Midpoint(map.South, map.North);
  view.ViewCentreLon = Midpoint(map.West, map.East);
  if (!a.Centre.empty()) {
    const auto parts = SplitText(a.Centre, ',');
    if (parts.size() != 2) throw ECommandFailed("--centre " + a.Centre + ": LAT,LON in degrees expected");
    const std::int32_t lat = DegToJnx(ParseDecimal(parts[0])), lon = DegToJnx(ParseDecimal(parts[1]));
    if (Diff32(lat, map.South) >= 0 && Diff32(map.North, lat) >= 0 && Diff32(lon, map.West) >= 0 &&
        Diff32(map.East, lon) >= 0)
      view.ViewCentreLat = lat, view.ViewCentreLon = lon;
  }
  TGpxData gpx;
  if (!a.Gpx.empty()) ReadGpx(a.Gpx, gpx);
  TRenderOptions options;
  options.DrawGrid = a.Grid;
  options.Quality2 = a.Quality == 2 || view.Mercator;
  options.TrackColour = gpx.CheckedTrackColor;
  options.Threads = PipelineThreads();
  TRedrawFlags flags;
  QImage canvas(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
  const TRedrawPass pass = RedrawMap(canvas, map, view, level, gpx, {}, options, flags);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!canvas.save(&buffer, "PNG")) throw ECommandFailed(a.Out + ": the picture could not be encoded");
  WriteFileBytes(a.Out, png.constData(), static_cast<std::size_t>(png.size()));
  PrintProgress(Format("%s: level %d, %d tiles drawn", a.Out.c_str(), level + 1, pass.Drawn));
}

}  // namespace

void RegisterRenderCommands(CLI::App& app) {
  auto* cmd = app.add_subcommand("render", "Draw a map picture with the window's renderer");
  auto a = std::make_shared<TRenderArgs>();
  cmd->add_option("FILE", a->File, "JNX file")->required();
  cmd->add_option("OUT", a->Out, "PNG file to write")->required();
  cmd->add_option("--level", a->Level, "level from 1 (default: the last that is not a placeholder)");
  cmd->add_option("--scale", a->Scale, "view scale (default 1)");
  cmd->add_option("--centre", a->Centre, "LAT,LON in degrees (default: the map's middle)");
  cmd->add_option("--size", a->Size, "WIDTHxHEIGHT (default 1024x768)");
  cmd->add_option("--quality", a->Quality, "1 or 2")->check(CLI::IsMember({1, 2}));
  cmd->add_flag("--mercator", a->Mercator, "Mercator conversions");
  cmd->add_flag("--grid", a->Grid, "tile outlines and sizes");
  cmd->add_option("--gpx", a->Gpx, "GPX file whose track and waypoints are drawn over the map");
  cmd->callback([a] {
    // Fonts and pictures need a Qt Gui application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "brelo-cli";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    Render(*a);
  });
}

}  // namespace brelo::cli
#endif
