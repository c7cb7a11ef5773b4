// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The status area's progress bar for a long command: it runs the command on a worker thread,
// shows how far it has come and its progress lines, and offers Cancel when the command can
// stop cleanly. While it runs, the rest of the window takes no input (the caller disables
// it), but it still paints and answers the Cancel button.
#include <QWidget>
#include <atomic>
#include <functional>

#include "base/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace brelo {

class TWorkBar : public QWidget {
  Q_OBJECT

 public:
  // line: where the command's progress lines are shown.
  TWorkBar(QLabel* line, QWidget* parent = nullptr);

  // Runs work (on a worker thread) to its end, the window's event loop going on meanwhile;
  // work reports through the meter and the sink it is given.
  void Run(bool cancellable, const std::function<void(const TWorkMeter& meter, const ProgressSink& line)>& work);
  bool Running() const { return running_; }
  // As if the user had pressed Cancel.
  void Cancel() { cancel_ = true; }

  QProgressBar* pbWork;
  QPushButton* bCancelWork;

 private:
  QLabel* line_;
  std::atomic<bool> cancel_{false};
  bool running_ = false;
};

}  // namespace brelo
