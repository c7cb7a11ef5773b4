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

#include "render/MapRenderer.h"
#include "view/ViewGeometry.h"

namespace brelo {

class TMapSession;

class TMapCanvas : public QWidget {
  Q_OBJECT

 public:
  // Draws the session's map at its level, with its selection and overlay, in the view.
  TMapCanvas(TMapSession& session, TViewState& view, QWidget* parent = nullptr);

  // The single drawing entry point, and the one that never skips.
  TRedrawPass RedrawMap();
  TRedrawPass ForceRedrawMap();

  // The options of the side bar.
  TRenderOptions Options;
  TRedrawFlags Flags;

  void ToggleTileSelection(int x, int y);
  void AddTrackPointAt(int x, int y);
  void PanTick();  // one step of a drag, from the pointer's position
  int DragLastX = 0, DragLastY = 0;
  QTimer tMoovingMap;
  const QImage& Canvas() const { return canvas_; }

 signals:
  // A line for the information line: a gesture's hint or result.
  void Info(const QString& text);
  // The position under the pointer, as it moves (a held result line leaves it out).
  void PositionInfo(const QString& text);
  void LevelInfo(const QString& text);
  // Wheel steps (in: positive) about a canvas point.
  void ZoomRequested(int steps, QPoint at);
  // A redraw that failed (memory, a file gone).
  void Error(const QString& text);

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
  TMapSession& session_;
  TViewState& view_;
  QImage canvas_;
  bool redrawPending_ = false;
  int wheel_ = 0;  // eighths of a degree not yet turned into a step (touchpads scroll finely)
};

}  // namespace brelo
