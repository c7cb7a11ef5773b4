// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress sink for a label: each line replaces the one before it, and the label is
// repainted at most a few times a second, so a command of a thousand steps is not slowed down
// by painting a thousand lines. The last line is always shown when the sink is flushed.
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <memory>
#include <string>

#include "base/Progress.h"

namespace brelo {

class TProgressLine {
 public:
  static constexpr int kRepaintMs = 200;

  explicit TProgressLine(QLabel* label) : state_(std::make_shared<TState>()) {
    state_->Label = label;
    state_->Clock.start();
  }
  ProgressSink Sink() const {
    return [state = state_](const std::string& line) {
      state->Pending = QString::fromStdString(line);
      if (state->Shown && state->Clock.elapsed() < kRepaintMs) return;
      Show(*state);
    };
  }
  void Flush() const { Show(*state_); }

 private:
  struct TState {
    QPointer<QLabel> Label;
    QElapsedTimer Clock;
    QString Pending;
    bool Shown = false;
  };
  static void Show(TState& s) {
    if (!s.Label) return;
    s.Label->setText(s.Pending);
    s.Label->repaint();
    s.Clock.restart();
    s.Shown = true;
  }
  std::shared_ptr<TState> state_;
};

}  // namespace brelo
