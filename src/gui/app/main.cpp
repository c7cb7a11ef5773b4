// SPDX-License-Identifier: GPL-3.0-or-later
// brelo: views, edits and converts JNX raster maps.
#include <QTimer>
#include <iostream>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "gui/app/CommandLine.h"
#include "gui/app/TApplication.h"
#include "gui/app/TfMain.h"
#include "gui/common/AppState.h"

int main(int argc, char** argv) {
  // Help, the version and a wrong option are answered before a display is needed.
  const brelo::TCommandLine line = brelo::ParseCommandLine(argc, argv);
  switch (line.Action) {
    case brelo::TCommandLine::TAction::Help:
    case brelo::TCommandLine::TAction::Version: std::cout << line.Text; return 0;
    case brelo::TCommandLine::TAction::Error: std::cerr << line.Text; return 2;
    case brelo::TCommandLine::TAction::Run: break;
  }
  brelo::platform::KeepFreedMemory();
  brelo::TApplication app(argc, argv);
  brelo::TAppState state;
  brelo::TfMain window(state, brelo::SettingsFolder());
  app.TopLevelError = [&window](const QString& message) { window.ShowError(message); };
  app.OnTerminate([&window] { window.Terminate(); });
  window.ReadSettingsFile();
  window.show();
  // The first activation: start-up waypoints, then the map named on the command line.
  std::vector<std::string> arguments{argv[0]};
  arguments.insert(arguments.end(), line.Files.begin(), line.Files.end());
  QTimer::singleShot(0, &window, [&window, arguments] { window.FirstActivation(arguments); });
  return app.exec();
}
