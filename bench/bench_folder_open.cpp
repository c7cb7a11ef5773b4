// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a folder of 250 JNX files (the receiver's map limit) through the window's
// RefreshMapList, against the header-only loads of the same files alone, one after another.
#include <QApplication>
#include <filesystem>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "base/Platform.h"
#include "gui/app/TfMain.h"
#include "gui/session/TMapSession.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxReader.h"

using namespace brelo;

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string dir = bench::TempPath("folder250/");
    std::filesystem::create_directories(dir);
    const auto tile = bench::TextureJpeg(256, 256, 5);
    for (int i = 0; i < 250; ++i) bench::MakeJnx(dir + "map" + std::to_string(i) + ".jnx", 40, tile);
    return dir;
  }();
  return folder;
}

void HeaderOnlyLoads(benchmark::State& state) {
  const std::string dir = Folder();
  for (auto _ : state) {
    std::vector<TJnxMap> headers(250);
    for (int i = 0; i < 250; ++i)
      ReadJnx(headers[static_cast<std::size_t>(i)], dir + "map" + std::to_string(i) + ".jnx", false);
    benchmark::DoNotOptimize(headers.data());
  }
}
BENCHMARK(HeaderOnlyLoads)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scan alone, on one core and on every core (as the window runs it).
void ScanJnxFolder250(benchmark::State& state) {
  const std::string dir = Folder();
  const unsigned threads = state.range(0) == 0 ? PipelineThreads() : static_cast<unsigned>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ScanJnxFolder(dir, threads));
}
BENCHMARK(ScanJnxFolder250)->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

void RefreshMapList250(benchmark::State& state) {
  const std::string dir = Folder();
  const std::string settings = bench::TempPath("folder250-settings");
  std::filesystem::create_directories(settings);
  TAppState app;
  TfMain window(app, QString::fromStdString(settings));
  if (window.Session().Load(dir + "map0.jnx")) state.SkipWithError("map0.jnx did not load");
  for (auto _ : state) window.RefreshMapList();
}
BENCHMARK(RefreshMapList250)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  platform::KeepFreedMemory();  // as the program does at start-up
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
