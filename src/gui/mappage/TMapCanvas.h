// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map canvas iMap: shows the renderer's picture and turns the mouse into the map page's
// gestures (dragging, Ctrl+click tile selection, Shift+Ctrl+click track points, the position
// read-out). The decisions are the core's and the renderer's; this widget routes events.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "gui/common/AppState.h"
#include "render/MapRenderer.h"

namespace brelo {

class TMapCanvas : public QWidget {
  Q_OBJECT

 public:
  TMapCanvas(TAppState& state, QWidget* parent = nullptr);

  // The single drawing entry point, and the one that never skips.
  TRedrawPass RedrawMap();
  TRedrawPass ForceRedrawMap();

  // The level drawn (0-based, -1 for none) and the options of the side bar.
  int Level = -1;
  TRenderOptions Options;
  TRedrawFlags Flags;

  // Where the page shows texts: the information line and the level summary.
  std::function<void(const QString&)> Info;
  std::function<void(const QString&)> LevelInfo;
  // Called when the selection changes: whether any tile is selected.
  std::function<void(bool)> SelectionChanged;
  // Whether a result message holds the information line (pointer moves leave it).
  std::function<bool()> InfoHeld;
  // Wheel steps (in: positive) about a canvas point.
  std::function<void(int steps, QPoint at)> Zoom;
  // A redraw that failed (memory, a file gone): the window's error display.
  std::function<void(const QString&)> Error;

  void ToggleTileSelection(int x, int y);
  void AddTrackPointAt(int x, int y);
  void PanTick();  // one step of a drag, from the pointer's position
  int DragLastX = 0, DragLastY = 0;
  QTimer tMoovingMap;
  const QImage& Canvas() const { return canvas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TAppState& state_;
  QImage canvas_;
  bool redrawPending_ = false;
  int wheel_ = 0;  // eighths of a degree not yet turned into a step (touchpads scroll finely)
};

}  // namespace brelo
