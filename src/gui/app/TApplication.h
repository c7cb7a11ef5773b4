// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application: every error that escapes a handler reaches one top-level handler that shows
// its message, and the program carries on; SIGTERM (sent at a desktop logout) ends the program
// through the same path as closing its window.
#include <QApplication>
#include <functional>

namespace brelo {

class TApplication : public QApplication {
 public:
  // Keeps LC_NUMERIC at "C": the files the program writes are the same in every locale.
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows a message of an error nothing else caught.
  std::function<void(const QString& message)> TopLevelError;
  // Runs when SIGTERM arrives, on the user-interface thread.
  void OnTerminate(std::function<void()> handler);
};

// The folder of brelo.ini and OpenSave.ini: beside the executable when that folder is writable,
// else the user's configuration folder.
QString SettingsFolder();

}  // namespace brelo
