// SPDX-License-Identifier: GPL-3.0-or-later
// Save Map of a 1,024-tile map in the window on its List of Maps page (the progress line, then
// the new file listed and loaded) against the same command as brelo-cli runs it, printing
// every progress line.
#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "base/Platform.h"
#include "commands/SaveCommands.h"
#include "gui/app/TfMain.h"
#include "jnx/JnxReader.h"

using namespace brelo;

namespace {

std::string Map1024() {
  const std::string dir = bench::TempPath("save1024/");
  std::filesystem::create_directories(dir);
  const std::string path = dir + "m.jnx";
  if (!std::filesystem::exists(path)) std::filesystem::copy_file(bench::CyclingJnx("level1024c.jnx", 1024, 64), path);
  return path;
}

void SaveMapInTheWindow(benchmark::State& state) {
  const std::string path = Map1024();
  const std::string settings = bench::TempPath("save1024-settings");
  std::filesystem::create_directories(settings);
  TAppState app;
  TfMain window(app, QString::fromStdString(settings));
  window.resize(1000, 700);
  window.show();
  // Save Map is a command of the List of Maps page.
  window.findChild<QTabWidget*>("PageControl")->setCurrentIndex(1);
  QApplication::processEvents();
  for (auto _ : state) {
    state.PauseTiming();
    window.OpenMap(path);
    QApplication::processEvents();
    state.ResumeTiming();
    window.findChild<QAction*>("miSaveMap")->trigger();
  }
}
BENCHMARK(SaveMapInTheWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveMapCommandWithPrintedProgress(benchmark::State& state) {
  TJnxMap map;
  map.CurrentFile = Map1024();
  ReadJnx(map, map.CurrentFile, true);
  std::FILE* null = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    const TCommandResult r = SaveMapCommand(map, nullptr, [null](const std::string& line) {
      std::fputs(line.c_str(), null);
      std::fputc('\n', null);
    });
    benchmark::DoNotOptimize(r.Ok);
  }
  std::fclose(null);
}
BENCHMARK(SaveMapCommandWithPrintedProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

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
