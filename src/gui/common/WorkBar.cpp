// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/WorkBar.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace brelo {

TWorkBar::TWorkBar(QLabel* line, QWidget* parent) : QWidget(parent), line_(line) {
  setObjectName("WorkBar");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  pbWork = new QProgressBar(this);
  pbWork->setObjectName("pbWork");
  pbWork->setMaximumWidth(220);
  pbWork->setRange(0, 1000);
  bCancelWork = new QPushButton("Cancel", this);
  bCancelWork->setObjectName("bCancelWork");
  layout->addWidget(pbWork);
  layout->addWidget(bCancelWork);
  connect(bCancelWork, &QPushButton::clicked, this, [this] {
    cancel_ = true;
    bCancelWork->setEnabled(false);
  });
  hide();
}

void TWorkBar::Run(bool cancellable, const std::function<void(const TWorkMeter&, const ProgressSink&)>& work) {
  cancel_ = false;
  running_ = true;
  pbWork->setValue(0);
  bCancelWork->setVisible(cancellable);
  bCancelWork->setEnabled(true);
  show();
  QEventLoop loop;
  QPointer<TWorkBar> self(this);
  // Reports from the worker reach the window through its event loop, a few times a second.
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  std::atomic<int> permille{0};
  TWorkMeter meter;
  meter.Cancel = &cancel_;
  meter.Advanced = [&permille](std::uint64_t done, std::uint64_t total) {
    if (total > 0) permille = static_cast<int>(1000 * std::min(done, total) / total);
  };
  auto pending = std::make_shared<std::pair<std::mutex, QString>>();
  ProgressSink sink = [pending](const std::string& text) {
    std::lock_guard lock(pending->first);
    pending->second = QString::fromStdString(text);
  };
  QTimer ticker;
  ticker.setInterval(150);
  connect(&ticker, &QTimer::timeout, this, [this, &permille, pending] {
    pbWork->setValue(permille.load());
    std::lock_guard lock(pending->first);
    if (line_ && !pending->second.isEmpty()) line_->setText(pending->second);
  });
  ticker.start();
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work(meter, sink);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  ticker.stop();
  if (self) {
    hide();
    running_ = false;
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace brelo
