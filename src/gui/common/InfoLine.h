// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The information line: one line of text across the window. A text longer than the line is
// shown up to "..." and whole in the line's hint; it never makes the window wider.
#include <QLabel>

namespace brelo {

class TInfoLine : public QLabel {
  Q_OBJECT

 public:
  explicit TInfoLine(QWidget* parent = nullptr);
  // The hint the line shows besides a text that does not fit (a written map's findings).
  void SetFindings(const QString& findings);
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QString ShownText() const;
  QString findings_;
};

}  // namespace brelo
