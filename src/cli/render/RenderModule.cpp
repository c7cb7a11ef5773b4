// SPDX-License-Identifier: GPL-3.0-or-later
// The renderer module of brelo-cli's render verb: a map picture drawn by the window's
// renderer, without a display. Loaded only for that verb.
#include <QBuffer>
#include <QGuiApplication>
#include <cstdio>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/RenderRequest.h"
#include "gpx/GpxReader.h"
#include "render/MapRenderer.h"

namespace brelo::cli {

namespace {

void Render(const TRenderArgs& a, const ProgressSink& progress) {
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
  progress(Format("%s: level %d, %d tiles drawn", a.Out.c_str(), level + 1, pass.Drawn));
}

}  // namespace

}  // namespace brelo::cli

extern "C" __attribute__((visibility("default"))) void BreloRender(const brelo::cli::TRenderArgs& args,
                                                                   const brelo::ProgressSink& progress) {
  // Fonts and pictures need a Qt Gui application; no display is needed. Qt's own notes (a
  // runtime folder it had to choose) are not the verb's output.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "brelo-cli: %s\n", qPrintable(message));
  });
  static int argc = 1;
  static char name[] = "brelo-cli";
  static char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  brelo::cli::Render(args, progress);
}
