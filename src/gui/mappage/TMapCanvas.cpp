// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mappage/TMapCanvas.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <exception>

#include "base/Pipeline.h"
#include "gui/session/TMapSession.h"
#include "jnx/JnxReader.h"
#include "view/MapTexts.h"

namespace brelo {

namespace {
constexpr auto kShiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
const char kGestureHint[] = "Shift+Ctrl: Add Point to Track, Ctrl: Select/Deselect Tile";
}  // namespace

TMapCanvas::TMapCanvas(TMapSession& session, TViewState& view, QWidget* parent)
    : QWidget(parent), session_(session), view_(view) {
  setObjectName("iMap");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Options.Threads = PipelineThreads();
  // A long pass (zoomed out over many tiles) shows the busy cursor while it decodes.
  Flags.Busy = [](bool on) {
    if (on)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  };
  tMoovingMap.setObjectName("tMoovingMap");
  tMoovingMap.setInterval(1);
  connect(&tMoovingMap, &QTimer::timeout, this, [this] { PanTick(); });
  canvas_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  canvas_.fill(Qt::white);
}

TRedrawPass TMapCanvas::RedrawMap() {
  // A canvas nobody sees (another page, a window not shown yet) is drawn when it is shown.
  if (!isVisible()) {
    redrawPending_ = true;
    TRedrawPass skipped;
    skipped.Skipped = true;
    return skipped;
  }
  redrawPending_ = false;
  // Drawn at the screen's density (a high-density screen, or a window moved to another screen).
  const qreal dpr = devicePixelRatioF();
  const QSize device = (QSizeF(std::max(1, width()), std::max(1, height())) * dpr).toSize();
  const bool fresh = canvas_.size() != device || canvas_.devicePixelRatio() != dpr;
  if (fresh) {
    canvas_ = QImage(device, QImage::Format_RGB32);
    canvas_.setDevicePixelRatio(dpr);
    canvas_.fill(Qt::white);
  }
  // A new canvas is drawn whole, whatever the cache says.
  const bool force = Flags.ForceRedraw;
  Flags.ForceRedraw = force || fresh;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{Flags.ForceRedraw, force};
  TRedrawPass pass;
  try {
    pass = brelo::RedrawMap(canvas_, session_.DrawnMap(), view_, session_.Level(), session_.Gpx(),
                            session_.SelectedTiles(), Options, Flags);
  } catch (const std::exception& e) {
    // Whatever stopped the pass (no memory for it, say), the map is drawn again next time.
    tMoovingMap.stop();
    unsetCursor();
    session_.FreeTileCache();
    canvas_.fill(Qt::white);
    repaint();
    emit Error(QString("The map could not be drawn: ") + QString::fromUtf8(e.what()));
    pass.Skipped = true;
    return pass;
  }
  if (!pass.Skipped) {
    emit LevelInfo(QString::fromStdString(pass.Info));
    repaint();
  }
  return pass;
}

TRedrawPass TMapCanvas::ForceRedrawMap() {
  Flags.ForceRedraw = true;
  TRedrawPass pass = RedrawMap();
  Flags.ForceRedraw = false;
  return pass;
}

void TMapCanvas::showEvent(QShowEvent*) {
  if (redrawPending_) ForceRedrawMap();
}

void TMapCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, canvas_);
}

void TMapCanvas::resizeEvent(QResizeEvent*) {
  // The cache holds on-canvas sizes, which do not change with the canvas; the picture does
  // (RedrawMap sizes the canvas).
  ForceRedrawMap();
}

void TMapCanvas::ToggleTileSelection(int x, int y) {
  const TJnxMap& map = session_.Map();
  const int level = session_.Level();
  if (level < 0 || level >= static_cast<int>(map.Levels.size())) return;
  const std::int32_t lon = XToLon(view_, map, x), lat = YToLat(view_, map, y);
  const int hit = TileAt(map.Levels[static_cast<std::size_t>(level)], lat, lon);
  if (hit < 0) return;
  DrawTileHatch(canvas_, map, view_, level, hit);
  repaint();
  session_.ToggleTile(hit);
}

void TMapCanvas::AddTrackPointAt(int x, int y) {
  const TJnxMap& map = session_.Map();
  const auto& track = session_.Gpx().Track;
  TWpt p;
  p.Latitude = YToLat(view_, map, y);
  p.Longitude = XToLon(view_, map, x);
  int x1 = x, y1 = y;
  if (!track.empty()) {
    x1 = LonToX(view_, map, track.back().Longitude);
    y1 = LatToY(view_, map, track.back().Latitude);
  }
  session_.AddTrackPoint(p);
  DrawTrackSegment(canvas_, x1, y1, x, y, Options.TrackColour);
  repaint();
  emit Info(QString::fromStdString(TrackLengthText(track)));
}

void TMapCanvas::mousePressEvent(QMouseEvent* e) {
  if (Flags.RedrawBusy) return;
  const int x = static_cast<int>(e->position().x()), y = static_cast<int>(e->position().y());
  const auto mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const bool left = e->buttons() == Qt::LeftButton;
  if (left && mods == kShiftCtrl) {
    AddTrackPointAt(x, y);
    return;
  }
  DragLastX = x, DragLastY = y;
  if (left && mods == Qt::NoModifier) {
    tMoovingMap.start();
    setCursor(Qt::OpenHandCursor);
  }
  if (left && mods == Qt::ControlModifier && !session_.Map().Levels.empty())
    ToggleTileSelection(x, y);
  else
    emit Info(kGestureHint);
}

void TMapCanvas::mouseMoveEvent(QMouseEvent* e) {
  if (Flags.RedrawBusy || e->buttons() != Qt::NoButton ||
      (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
    return;
  emit PositionInfo(QString::fromStdString(PositionText(view_, session_.Map(), static_cast<int>(e->position().x()),
                                                        static_cast<int>(e->position().y()), session_.Gpx().Track)));
}

void TMapCanvas::mouseReleaseEvent(QMouseEvent* e) {
  if (Flags.RedrawBusy || !tMoovingMap.isActive()) return;
  if ((e->modifiers() & kShiftCtrl) == kShiftCtrl) return;
  tMoovingMap.stop();
  RedrawMap();
  unsetCursor();
}

void TMapCanvas::PanTick() {
  const QPoint p = mapFromGlobal(QCursor::pos());
  const int dx = DragLastX - p.x(), dy = DragLastY - p.y();
  PanBy(view_, session_.Map(), dx, dy);
  Flags.DecodeAllTiles = dx == 0 && dy == 0;
  RedrawMap();
  Flags.DecodeAllTiles = true;
  DragLastX = p.x(), DragLastY = p.y();
}

void TMapCanvas::wheelEvent(QWheelEvent* e) {
  // A notch of a mouse wheel is 120; a touchpad sends many small parts of one.
  const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->pixelDelta().y();
  if (wheel_ != 0 && (delta > 0) != (wheel_ > 0)) wheel_ = 0;  // turned back: start afresh
  wheel_ += delta;
  const int steps = wheel_ / 120;
  wheel_ -= steps * 120;
  e->accept();
  if (steps == 0 || Flags.RedrawBusy || tMoovingMap.isActive()) return;
  emit ZoomRequested(steps, e->position().toPoint());
}

void TMapCanvas::leaveEvent(QEvent*) { emit PositionInfo(""); }

}  // namespace brelo
