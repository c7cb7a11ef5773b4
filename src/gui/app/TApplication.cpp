// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/TApplication.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <clocale>
#include <csignal>
#include <exception>

#include <sys/socket.h>
#include <unistd.h>

namespace brelo {

namespace {
int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] const auto written = ::write(gSignalPipe[1], &c, 1);
}
}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // QApplication takes the user's locale for the C library too; numbers in files (and every
  // printf of the core) stay with "." whatever the user's decimal separator.
  std::setlocale(LC_NUMERIC, "C");
  setApplicationName("brelo");
  TopLevelError = [](const QString& message) { QMessageBox::critical(nullptr, "brelo", message); };
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    if (TopLevelError) TopLevelError(QString::fromUtf8(e.what()));
  } catch (...) {
    if (TopLevelError) TopLevelError("Unknown error");
  }
  return false;
}

void TApplication::OnTerminate(std::function<void()> handler) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [handler = std::move(handler)] {
    char c;
    [[maybe_unused]] const auto got = ::read(gSignalPipe[0], &c, 1);
    handler();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
}

QString SettingsFolder() {
  const QString beside = QCoreApplication::applicationDirPath();
  if (QFileInfo(beside).isWritable()) return beside;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return config;
}

}  // namespace brelo
