// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/InfoLine.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace brelo {

TInfoLine::TInfoLine(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TInfoLine::SetFindings(const QString& findings) {
  findings_ = findings;
  setToolTip(findings);
}

QSize TInfoLine::minimumSizeHint() const { return {0, fontMetrics().height() + 4}; }

QSize TInfoLine::sizeHint() const { return {fontMetrics().horizontalAdvance("x") * 40, fontMetrics().height() + 4}; }

QString TInfoLine::ShownText() const {
  const QFontMetrics fm(font());
  const int room = contentsRect().width() - 2 * margin() - 2;
  QString t = text();
  t.replace('\n', ' ');
  if (fm.horizontalAdvance(t) <= room) return t;
  const QString dots = "...";
  const int left = room - fm.horizontalAdvance(dots);
  // The longest beginning that fits, found by halving.
  int lo = 0, hi = static_cast<int>(t.size());
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (fm.horizontalAdvance(t.left(mid)) <= left)
      lo = mid;
    else
      hi = mid - 1;
  }
  return t.left(lo) + dots;
}

void TInfoLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(palette().color(foregroundRole()));
  p.drawText(contentsRect().adjusted(margin() + 1, 0, -margin() - 1, 0), Qt::AlignLeft | Qt::AlignVCenter, ShownText());
}

bool TInfoLine::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    // The whole text when it is cut, and the findings of a written map.
    QString hint = ShownText() != text() ? text() : QString();
    if (!findings_.isEmpty()) hint += (hint.isEmpty() ? "" : "\n\n") + findings_;
    if (hint.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), hint, this);
    return true;
  }
  return QLabel::event(e);
}

}  // namespace brelo
