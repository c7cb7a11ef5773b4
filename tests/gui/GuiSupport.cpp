// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "base/Coordinates.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/StringGridEx/TStringGridEx.h"
#include "gui/mappage/TMapCanvas.h"
#include "gui/session/TMapSession.h"

namespace brelo::test {

TTestWindow::TTestWindow(bool shown, int page, QSize size) {
  Window = std::make_unique<TfMain>(State, QString::fromStdString(Settings.Path()));
  Window->ErrorBox = [this](const QString& text) { Errors << text; };
  Window->Question = [this](const QString& text, QMessageBox::StandardButtons, QMessageBox::StandardButton def) {
    Questions << text;
    if (Answers.empty()) return def;
    const QMessageBox::StandardButton a = Answers.front();
    Answers.pop_front();
    return a;
  };
  Window->OpenSaveDialog().Warn = [this](const QString& text) { Warnings << text; };
  if (!shown) return;
  Window->resize(size);
  Window->show();
  Window->activateWindow();
  if (!QTest::qWaitForWindowExposed(Window.get())) qWarning("the window was not exposed");
  Page(page);
}

void TTestWindow::Page(int index) {
  Window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(index);
  QCoreApplication::processEvents();
}

TMapSession& TTestWindow::Session() const { return Window->Session(); }

void TTestWindow::CtrlClickTile(int tile) {
  auto* canvas = Find<TMapCanvas>("iMap");
  const TJnxMap& m = Session().Map();
  const TJnxTile& t = m.Levels.at(static_cast<std::size_t>(Session().Level())).Tiles.at(static_cast<std::size_t>(tile));
  const TViewState& v = State.View;
  const QPoint at((LonToX(v, m, t.Left) + LonToX(v, m, t.Right)) / 2,
                  (LatToY(v, m, t.Top) + LatToY(v, m, t.Bottom)) / 2);
  QVERIFY2(canvas->rect().contains(at), "the tile is off the canvas");
  QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, at);
}

void ChooseInFocusedCombo(const QString& item) {
  auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
  if (!combo && QApplication::focusWidget())
    combo = qobject_cast<QComboBox*>(QApplication::focusWidget()->parentWidget());
  QVERIFY2(combo, "no combo box has the keyboard focus");
  const int target = combo->findText(item);
  QVERIFY2(target >= 0, qPrintable(item + " is not in the list"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
  QTRY_VERIFY(combo->view()->isVisible());
  QWidget* list = combo->view();
  const int from = combo->view()->currentIndex().isValid() ? combo->view()->currentIndex().row() : -1;
  if (from < 0) QTest::keyClick(list, Qt::Key_Home);
  const int start = from < 0 ? 0 : from;
  for (int i = start; i < target; ++i) QTest::keyClick(list, Qt::Key_Down);
  for (int i = start; i > target; --i) QTest::keyClick(list, Qt::Key_Up);
  QTest::keyClick(list, Qt::Key_Return);
  QTRY_VERIFY(!combo->view()->isVisible());
}

void PressCell(TStringGridEx* t, int c, int r, Qt::MouseButton button, bool twice) {
  t->ScrollTo(c, r);
  const QPoint at = t->CellRect(c, r).center();
  if (twice)
    QTest::mouseDClick(t->viewport(), button, {}, at);
  else
    QTest::mouseClick(t->viewport(), button, {}, at);
}

void KeyToFocus(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* focus = QApplication::focusWidget();
  QVERIFY2(focus, "no widget has the keyboard focus");
  QTest::keyClick(focus, key, modifiers);
}

void TypeToFocus(const QString& text) {
  QWidget* focus = QApplication::focusWidget();
  QVERIFY2(focus, "no widget has the keyboard focus");
  QTest::keyClicks(focus, text);
}

void ChooseOnMenuBar(QMenuBar* bar, QAction* item) {
  QVERIFY2(bar->isVisible() && item->isVisible(), qPrintable(item->text() + " is not on a visible menu bar"));
  const QRect r = bar->actionGeometry(item);
  QVERIFY2(r.isValid(), qPrintable(item->text() + " has no place on the menu bar"));
  QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
}

void WhenShown(QWidget* window, std::function<void()> body) {
  auto* poll = new QTimer(window);
  QObject::connect(poll, &QTimer::timeout, window, [window, poll, body = std::move(body)] {
    if (!window->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    // Activations of other windows still queued (a slow, sanitized build) may follow the
    // window's own: it counts as active once it stays so.
    bool active = false;
    for (int tries = 0; tries < 50 && !active; ++tries) {
      window->activateWindow();
      active = QTest::qWaitForWindowActive(window);
      QTest::qWait(10);
      active = active && window->isActiveWindow();
    }
    if (!active) qWarning("the window did not become active");
    body();
  });
  poll->start(20);
}

void InstallModalWatchdog() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      const QString text = box->text();
      box->done(QMessageBox::Cancel);
      QFAIL(qPrintable("a message box waited for an answer: " + text));
    }
  });
  timer->start(250);
}

}  // namespace brelo::test
