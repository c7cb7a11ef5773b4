// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The long commands of the window and its dialogs, one at a time: each runs on a worker
// thread while a status row's progress bar shows how far it has come (with Cancel when it can
// stop cleanly), and the window keeps painting. Whoever quits meanwhile asks LongWork first.
#include <QObject>
#include <QString>
#include <functional>

#include "base/Progress.h"

namespace brelo {

class TWorkBar;

class TLongWork : public QObject {
  Q_OBJECT

 public:
  using TWork = std::function<void(const TWorkMeter& meter, const ProgressSink& line)>;

  explicit TLongWork(QObject* parent = nullptr) : QObject(parent) {}

  // Runs work to its end on a worker thread, the event loop going on meanwhile; `what` names
  // it for the user ("the build"). An exception of the work is raised here.
  void Run(TWorkBar& bar, const QString& what, bool cancellable, const TWork& work);
  bool Running() const { return bar_ != nullptr; }
  bool Cancellable() const { return cancellable_; }
  const QString& What() const { return what_; }
  // As if the user had pressed Cancel.
  void Cancel();

 signals:
  void Started();
  // The work is done (or stopped); the caller has its result once Run returns.
  void Finished();

 private:
  TWorkBar* bar_ = nullptr;
  QString what_;
  bool cancellable_ = false;
};

}  // namespace brelo
