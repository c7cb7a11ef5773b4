// brelo: views, edits and converts JNX raster maps.
#include <QTimer>

#include "app/AppState.h"
#include "app/TApplication.h"
#include "app/TfMain.h"
#include "base/Platform.h"

int main(int argc, char** argv) {
  brelo::platform::KeepFreedMemory();
  brelo::TApplication app(argc, argv);
  brelo::TAppState state;
  brelo::TfMain window(state, brelo::SettingsFolder());
  app.TopLevelError = [&window](const QString& message) { window.ShowError(message); };
  app.OnTerminate([&window] { window.close(); });
  window.ReadSettingsFile();
  window.show();
  // The first activation: start-up waypoints, then the map named on the command line.
  QTimer::singleShot(0, &window, [&window, &app] { window.FirstActivation(app.arguments()); });
  return app.exec();
}
