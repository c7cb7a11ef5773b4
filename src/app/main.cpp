// brelo: views, edits and converts JNX raster maps.
#include <string>
#include <vector>

#include <QTimer>

#include "app/AppState.h"
#include "app/TApplication.h"
#include "app/TfMain.h"
#include "base/Platform.h"

int main(int argc, char** argv) {
  brelo::platform::KeepFreedMemory();
  // The command line as bytes: a file name need not be UTF-8.
  const std::vector<std::string> arguments(argv, argv + argc);
  brelo::TApplication app(argc, argv);
  brelo::TAppState state;
  brelo::TfMain window(state, brelo::SettingsFolder());
  app.TopLevelError = [&window](const QString& message) { window.ShowError(message); };
  app.OnTerminate([&window] { window.close(); });
  window.ReadSettingsFile();
  window.show();
  // The first activation: start-up waypoints, then the map named on the command line.
  QTimer::singleShot(0, &window, [&window, &arguments] { window.FirstActivation(arguments); });
  return app.exec();
}
