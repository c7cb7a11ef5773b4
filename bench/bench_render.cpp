// SPDX-License-Identifier: GPL-3.0-or-later
// The map renderer on a 1920 x 1080 canvas over a level of 256 x 256 tiles at scale 1 (about 40
// tiles visible): a cold pass (every visible tile decoded), a warm pass (everything cached) at
// rest and while the view moves, and a drag pass with one new tile, beside libjpeg-turbo
// decoding the same visible tiles on one core. Then zooming: the sample map and a level of
// 50,000 tiles at scale 256 and zoomed out to the whole level, with the process's peak
// resident memory (bench/compare_zoom.sh runs each in a process of its own and times
// brelo-cli decode --scale 8 of the same level beside it).
#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "BenchSupport.h"
#include "RawJpeg.h"
#include "base/Coordinates.h"
#include "base/Pipeline.h"
#include "base/Platform.h"
#include "jnx/JnxReader.h"
#include "render/MapRenderer.h"

using namespace brelo;

namespace {

struct TScene {
  TJnxMap Map;
  TViewState View;
  TGpxData Gpx;
  TRenderOptions Options;
  TRedrawFlags Flags;
  QImage Canvas{1920, 1080, QImage::Format_RGB32};
  TScene() {
    // 400 different tiles on a 20 x 20 grid; the canvas shows about 8 x 5 of them.
    const std::string path = bench::TempPath("render400.jnx");
    std::vector<std::vector<std::uint8_t>> tiles;
    for (int i = 0; i < 400; ++i) tiles.push_back(bench::TextureJpeg(256, 256, i));
    bench::MakeJnxOfTiles(path, tiles);
    Map.CurrentFile = path;
    ReadJnx(Map, path, true);
    SetLevelGeometry(View, Map.Levels[0]);
    View.ViewCentreLat = Midpoint(Map.South, Map.North);
    View.ViewCentreLon = Midpoint(Map.West, Map.East);
    Options.Threads = PipelineThreads();
  }
  std::vector<std::size_t> Visible() {
    Flags.ForceRedraw = true;
    RedrawMap(Canvas, Map, View, 0, Gpx, {}, Options, Flags);
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < Map.Levels[0].Tiles.size(); ++i)
      if (Map.Levels[0].Tiles[i].Bitmap) out.push_back(i);
    FreeTileCache(Map);
    return out;
  }
};

TScene& Scene() {
  static TScene scene;
  return scene;
}

void ColdRedraw(benchmark::State& state) {
  TScene& s = Scene();
  s.Options.Threads = static_cast<unsigned>(state.range(0));
  int decoded = 0;
  for (auto _ : state) {
    FreeTileCache(s.Map);
    decoded = RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags).Decoded;
  }
  state.counters["tiles"] = decoded;
}
BENCHMARK(ColdRedraw)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

void WarmRedraw(benchmark::State& state) {
  TScene& s = Scene();
  s.Flags.ForceRedraw = true;
  RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags);
  for (auto _ : state) RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags);
  s.Flags.ForceRedraw = false;
}
BENCHMARK(WarmRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// Everything cached while the view moves a pixel each pass, as in a drag: every tile is
// copied in again.
void WarmRedrawPanned(benchmark::State& state) {
  TScene& s = Scene();
  s.Flags.ForceRedraw = true;
  RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags);
  const std::int32_t centre = s.View.ViewCentreLon;
  const std::int32_t pixel = XToLon(s.View, s.Map, 101) - XToLon(s.View, s.Map, 100);
  int step = 0, moved = 0;
  for (auto _ : state) {
    s.View.ViewCentreLon = centre + (++step % 2) * pixel;
    const int x = LonToX(s.View, s.Map, s.Map.West);
    RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags);
    moved += LonToX(s.View, s.Map, s.Map.West) != x;
  }
  state.counters["moved"] = static_cast<double>(moved) / step;
  s.View.ViewCentreLon = centre;
  s.Flags.ForceRedraw = false;
}
BENCHMARK(WarmRedrawPanned)->Unit(benchmark::kMillisecond)->UseRealTime();

// A drag step: the view moves a pixel and one tile is new to the cache, as if it had just come
// into view: one decode, the rest from the cache. With moving 0 the view stays, which leaves
// the one decode and little else.
void DragPassOneNewTile(benchmark::State& state) {
  TScene& s = Scene();
  s.Flags.ForceRedraw = true;
  RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags);
  s.Flags.DecodeAllTiles = false;
  const std::int32_t centre = s.View.ViewCentreLon;
  const std::int32_t pixel = XToLon(s.View, s.Map, 101) - XToLon(s.View, s.Map, 100);
  int decoded = 0, step = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (auto& t : s.Map.Levels[0].Tiles)
      if (t.Bitmap) {
        t.Bitmap.reset();
        break;
      }
    if (state.range(0)) s.View.ViewCentreLon = centre + (++step % 2) * pixel;
    state.ResumeTiming();
    decoded = RedrawMap(s.Canvas, s.Map, s.View, 0, s.Gpx, {}, s.Options, s.Flags).Decoded;
  }
  s.View.ViewCentreLon = centre;
  s.Flags.DecodeAllTiles = true;
  s.Flags.ForceRedraw = false;
  state.counters["decoded"] = decoded;
}
BENCHMARK(DragPassOneNewTile)->Arg(1)->Arg(0)->ArgName("moving")->Unit(benchmark::kMillisecond)->UseRealTime();

void LibjpegDecodeOfTheVisibleTiles(benchmark::State& state) {
  TScene& s = Scene();
  std::vector<std::vector<std::uint8_t>> jpegs;
  for (std::size_t i : s.Visible()) jpegs.push_back(RestoreTileJpeg(s.Map, 0, static_cast<int>(i)));
  bench::TRawJpeg raw;
  std::vector<std::uint8_t> rgb;
  int w = 0, h = 0;
  for (auto _ : state)
    for (const auto& j : jpegs) raw.Decode(j, rgb, w, h);
  state.counters["tiles"] = static_cast<double>(jpegs.size());
}
BENCHMARK(LibjpegDecodeOfTheVisibleTiles)->Unit(benchmark::kMillisecond)->UseRealTime();

double PeakMegabytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024;
}

// A map on a 1920 x 1080 canvas as the window shows it: Mercator for square pixels, and then
// Quality2; every core.
struct TZoomScene {
  TJnxMap Map;
  TViewState View;
  TGpxData Gpx;
  TRenderOptions Options;
  TRedrawFlags Flags;
  QImage Canvas{1920, 1080, QImage::Format_RGB32};
  explicit TZoomScene(const std::string& path) {
    Map.CurrentFile = path;
    ReadJnx(Map, path, true);
    SetLevelGeometry(View, Map.Levels.back());
    View.CanvasWidth = Canvas.width(), View.CanvasHeight = Canvas.height();
    Options.Quality2 = View.Mercator;
    Options.Threads = PipelineThreads();
  }
  // The whole level on the canvas, or the centre at the given scale.
  void Whole() { FitToBounds(View, Map, Map.South, Map.West, Map.North, Map.East); }
  void At(double scale) {
    View.ViewCentreLat = Midpoint(Map.South, Map.North);
    View.ViewCentreLon = Midpoint(Map.West, Map.East);
    View.ViewScale = scale;
  }
  int Pass() {
    FreeTileCache(Map);
    return RedrawMap(Canvas, Map, View, static_cast<int>(Map.Levels.size()) - 1, Gpx, {}, Options, Flags).Decoded;
  }
};

std::string Sample() { return std::string(BRELO_SOURCE_DIR) + "/samples/tatry.jnx"; }
std::string Level50k() { return bench::CyclingJnx("level50k.jnx", 50000, 64); }

void Zoom(benchmark::State& state, const std::string& path, double scale) {
  TZoomScene s(path);
  if (scale > 0)
    s.At(scale);
  else
    s.Whole();
  int decoded = 0;
  for (auto _ : state) decoded = s.Pass();
  state.counters["tiles"] = decoded;
  state.counters["scale"] = s.View.ViewScale;
  state.counters["peak_MB"] = PeakMegabytes();
}
void SampleZoomedIn256(benchmark::State& state) { Zoom(state, Sample(), 256); }
void SampleZoomedOut(benchmark::State& state) { Zoom(state, Sample(), 0); }
void Level50kZoomedIn256(benchmark::State& state) { Zoom(state, Level50k(), 256); }
void Level50kZoomedOut(benchmark::State& state) { Zoom(state, Level50k(), 0); }
BENCHMARK(SampleZoomedIn256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SampleZoomedOut)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Level50kZoomedIn256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Level50kZoomedOut)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  platform::KeepFreedMemory();  // as the program does at start-up
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
