// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window tests share: a main window whose message boxes are recorded and answered
// instead of shown, and the user's ways in: presses on table cells, keys and text sent to the
// widget that has the keyboard focus, menu items chosen on their menu bar.
#include <QMessageBox>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "gui/app/TfMain.h"
#include "gui/common/AppState.h"

class QAction;
class QMenuBar;
class QWidget;

namespace brelo {
class TMapSession;
class TStringGridEx;
}  // namespace brelo

namespace brelo::test {

struct TTestWindow {
  TTempDir Settings;
  TAppState State;
  std::unique_ptr<TfMain> Window;
  QStringList Errors, Questions, Warnings;
  // The answers to the next questions, in order; without one a question gets its default.
  std::deque<QMessageBox::StandardButton> Answers;

  // shown: on screen at size (offscreen platform), on the given page (0 Map, 1 List of Maps).
  explicit TTestWindow(bool shown = false, int page = 0, QSize size = QSize(1000, 700));
  template <class T>
  T* Find(const char* name) const {
    return Window->findChild<T*>(name);
  }
  void Page(int index);
  TMapSession& Session() const;
  // A Ctrl+click on the middle of a tile (0-based) of the level shown on the Map page.
  void CtrlClickTile(int tile);
};

// A press on cell (c, r) of a table, where the user would press.
void PressCell(TStringGridEx* table, int c, int r, Qt::MouseButton button = Qt::LeftButton, bool twice = false);
// Keys and text to the widget that has the keyboard focus now.
void KeyToFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void TypeToFocus(const QString& text);
// A menu-bar item pressed with the mouse, as the user chooses it.
void ChooseOnMenuBar(QMenuBar* bar, QAction* item);
// The item of a combo box that has the keyboard focus chosen as the user does: its list opened
// with Alt+Down, the arrow keys to the item, Enter.
void ChooseInFocusedCombo(const QString& item);
// Runs body once the window is shown and active (a modal dialog its caller is about to
// open), polling the event loop until then.
void WhenShown(QWidget* window, std::function<void()> body);
// Fails the running test, and closes the box, when a message box waits for an answer that
// no test gave: a window test never blocks on a modal dialog.
void InstallModalWatchdog();

}  // namespace brelo::test
