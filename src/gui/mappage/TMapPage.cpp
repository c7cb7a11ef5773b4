// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mappage/TMapPage.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Numbers.h"
#include "base/Paths.h"
#include "gui/common/DisplayName.h"
#include "gui/mappage/TMapCanvas.h"
#include "gui/session/TMapSession.h"
#include "jnx/JnxReader.h"
#include "view/MapTexts.h"

namespace brelo {

TMapPage::TMapPage(TMapSession& session, TAppState& state, QWidget* parent)
    : QWidget(parent), session_(session), state_(state) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel3 = new QWidget(this);
  Panel3->setObjectName("Panel3");
  Panel3->setFixedWidth(156);
  auto* side = new QVBoxLayout(Panel3);
  side->setContentsMargins(8, 8, 8, 8);
  lLevelInfo = new QLabel(Panel3);
  lLevelInfo->setObjectName("lLevelInfo");
  lLevelInfo->setFixedSize(140, 115);
  lLevelInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lLevelInfo->setTextFormat(Qt::PlainText);
  lLevelInfo->setStyleSheet("color: maroon");
  lbMaps = new QListWidget(Panel3);
  lbMaps->setObjectName("lbMaps");
  lbMaps->setFixedHeight(84);
  auto button = [this](const char* name, const QString& caption) {
    auto* b = new QToolButton(Panel3);
    b->setObjectName(name);
    b->setText(caption);
    b->setFixedSize(24, 24);
    return b;
  };
  sbScaleOut = button("sbScaleOut", "-");
  eScale = new QLineEdit(Panel3);
  eScale->setObjectName("eScale");
  eScale->setFixedWidth(65);
  eScale->setToolTip("Scale");
  sbScaleIn = button("sbScaleIn", "+");
  sbScale_1 = button("sbScale_1", "1");
  QFont bold = sbScale_1->font();
  bold.setBold(true);
  sbScale_1->setFont(bold);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->setSpacing(0);
  for (QWidget* w : {static_cast<QWidget*>(sbScaleOut), static_cast<QWidget*>(eScale), static_cast<QWidget*>(sbScaleIn),
                     static_cast<QWidget*>(sbScale_1)})
    scaleRow->addWidget(w);
  auto check = [this](const char* name, const char* caption, bool on) {
    auto* c = new QCheckBox(caption, Panel3);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
  };
  cbDrawWaypoints = check("cbDrawWaypoints", "DrawWaypoints", true);
  cbDrawTrack = check("cbDrawTrack", "DrawTrack", true);
  cbDrawGrid = check("cbDrawGrid", "DrawGrid", false);
  cbDrawCrosshair = check("cbDrawCrosshair", "DrawCrosshair", true);
  cbSquarePixels = check("cbSquarePixels", "MercatorProjection", false);
  rbQuality1 = new QRadioButton("Quality1", Panel3);
  rbQuality1->setObjectName("rbQuality1");
  rbQuality1->setChecked(true);
  rbQuality2 = new QRadioButton("Quality2", Panel3);
  rbQuality2->setObjectName("rbQuality2");
  auto* quality = new QHBoxLayout;
  quality->addWidget(rbQuality1);
  quality->addWidget(rbQuality2);
  auto* heading = new QLabel("Waypoints", Panel3);
  heading->setAlignment(Qt::AlignCenter);
  heading->setStyleSheet("color: maroon");
  lbWaypoints = new QListWidget(Panel3);
  lbWaypoints->setObjectName("lbWaypoints");
  side->addWidget(lLevelInfo);
  side->addWidget(lbMaps);
  side->addLayout(scaleRow);
  for (QWidget* w : {cbDrawWaypoints, cbDrawTrack, cbDrawGrid, cbDrawCrosshair, cbSquarePixels}) side->addWidget(w);
  side->addLayout(quality);
  // The side bar is as wide as its texts need in the desktop's font: the level summary's
  // longest line and the two quality captions side by side are never clipped.
  const QFontMetrics fm(lLevelInfo->font());
  const int summary = fm.horizontalAdvance("scale_x/scale_y=0.0000") + 4;
  const int captions = rbQuality1->sizeHint().width() + rbQuality2->sizeHint().width() + quality->spacing();
  const int inner = std::max({140, summary, captions, cbSquarePixels->sizeHint().width()});
  Panel3->setFixedWidth(inner + 16);
  lLevelInfo->setFixedSize(inner, std::max(115, fm.lineSpacing() * 7 + 4));
  side->addWidget(heading);
  side->addWidget(lbWaypoints, 1);
  iMap = new TMapCanvas(session_, state_.View, this);
  layout->addWidget(Panel3);
  layout->addWidget(iMap, 1);
  sbSideBar = new QToolButton(iMap);
  sbSideBar->setObjectName("sbSideBar");
  sbSideBar->setText("<");
  sbSideBar->setToolTip("Hide SideBar");
  sbSideBar->setFixedSize(23, 22);
  tNoUpdateInfo.setObjectName("tNoUpdateInfo");
  tNoUpdateInfo.setInterval(5000);
  tNoUpdateInfo.setSingleShot(true);

  // The default frame around the view centre, until a map is shown.
  state_.View.CanvasWidth = 640, state_.View.CanvasHeight = 482;
  session_.FrameWithoutMap(state_.View);
  const TMapExtent e = MapExtent(state_.View, session_.Map());
  lLevelInfo->setText(QString::asprintf("No map\n%.3gkm x %.3gkm\n%dpx x %dpx\nscale_x/scale_y=%.4f", e.WidthKm,
                                        e.HeightKm, e.WidthPx, e.HeightPx, e.Ratio));

  connect(iMap, &TMapCanvas::Info, this, &TMapPage::Info);
  connect(iMap, &TMapCanvas::PositionInfo, this, [this](const QString& text) {
    if (!tNoUpdateInfo.isActive()) emit Info(text);
  });
  connect(iMap, &TMapCanvas::LevelInfo, lLevelInfo, &QLabel::setText);
  connect(iMap, &TMapCanvas::ZoomRequested, this, [this](int steps, QPoint at) { ZoomBy(steps, at); });
  connect(iMap, &TMapCanvas::Error, this, &TMapPage::Error);
  iMap->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(iMap, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { emit MenuRequested(iMap->mapToGlobal(at)); });
  connect(sbScaleOut, &QToolButton::clicked, this, [this] { ChangeMapScale(TScaleSender::Out); });
  connect(sbScaleIn, &QToolButton::clicked, this, [this] { ChangeMapScale(TScaleSender::In); });
  connect(sbScale_1, &QToolButton::clicked, this, [this] {
    eScale->setText("1");
    ChangeMapScale(TScaleSender::Text);
  });
  eScale->installEventFilter(this);
  for (QCheckBox* c : {cbDrawWaypoints, cbDrawTrack, cbDrawGrid, cbDrawCrosshair})
    connect(c, &QCheckBox::clicked, this, [this] { ApplyOptions(); });
  connect(cbSquarePixels, &QCheckBox::clicked, this, [this](bool on) {
    state_.View.Mercator = on;
    cbSquarePixelsClick();
  });
  for (QRadioButton* r : {rbQuality1, rbQuality2})
    connect(r, &QRadioButton::clicked, this, [this] {
      iMap->Options.Quality2 = rbQuality2->isChecked();
      session_.FreeTileCache();
      iMap->RedrawMap();
    });
  connect(sbSideBar, &QToolButton::clicked, this, [this] {
    const bool visible = Panel3->isVisible();
    sbSideBar->setText(visible ? ">" : "<");
    sbSideBar->setToolTip(visible ? "Show SideBar" : "Hide SideBar");
    Panel3->setVisible(!visible);
  });
  connect(lbWaypoints, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const int row = lbWaypoints->row(item);
    const auto& waypoints = session_.Gpx().Waypoints;
    if (row < 0 || row >= static_cast<int>(waypoints.size())) return;
    state_.View.ViewCentreLat = waypoints[static_cast<std::size_t>(row)].Latitude;
    state_.View.ViewCentreLon = waypoints[static_cast<std::size_t>(row)].Longitude;
    cbDrawWaypoints->setChecked(true);
    ApplyOptions();
  });
  // The entry's own path: its text may show a name that is not UTF-8 otherwise.
  auto open = [this](QListWidgetItem* item) {
    if (!item) return;
    emit OpenRequested(item->data(Qt::UserRole).toByteArray().toStdString());
    FillMaps();  // back onto the loaded map when the load was declined or failed
  };
  connect(lbMaps, &QListWidget::itemClicked, this, open);
  connect(lbMaps, &QListWidget::itemActivated, this, open);
  // A name wider than the list is readable in full as the hint of the entry under the pointer.
  lbMaps->setMouseTracking(true);
  connect(lbMaps, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) {
    const bool wide = QFontMetrics(lbMaps->font()).horizontalAdvance(item->text()) + 8 > lbMaps->viewport()->width();
    item->setToolTip(wide ? item->text() : QString());
  });

  connect(&session_, &TMapSession::MapLoaded, this, [this] { MapLoaded(); });
  connect(&session_, &TMapSession::LevelChanged, this, [this] { ShowLevel(); });
  connect(&session_, &TMapSession::FolderListed, this, [this] { FillMaps(); });
  connect(&session_, &TMapSession::SelectionChanged, this, [this] {
    // A selection the session emptied (a write, say) takes its hatches with it.
    if (hatched_ && session_.SelectedTiles().empty()) iMap->ForceRedrawMap();
    hatched_ = !session_.ChosenTiles().empty();
  });
  connect(&session_, &TMapSession::OverlayChanged, this, [this] {
    FillWaypoints();
    iMap->ForceRedrawMap();
  });
}

void TMapPage::ApplySettings() {
  const TSettings& s = state_.Settings;
  eScale->setText(QString::fromStdString(ShortestNumber(state_.View.ViewScale)));
  cbDrawGrid->setChecked(s.DrawGrid);
  cbDrawCrosshair->setChecked(s.DrawCrosshair);
  cbDrawTrack->setChecked(s.DrawTrack);
  cbDrawWaypoints->setChecked(s.DrawWaypoints);
  ApplyOptions();
}

void TMapPage::ApplyOptions() {
  TRenderOptions& o = iMap->Options;
  o.DrawWaypoints = cbDrawWaypoints->isChecked();
  o.DrawTrack = cbDrawTrack->isChecked();
  o.DrawGrid = cbDrawGrid->isChecked();
  o.DrawCrosshair = cbDrawCrosshair->isChecked();
  o.Quality2 = rbQuality2->isChecked();
  state_.Settings.DrawWaypoints = o.DrawWaypoints;
  state_.Settings.DrawTrack = o.DrawTrack;
  state_.Settings.DrawGrid = o.DrawGrid;
  state_.Settings.DrawCrosshair = o.DrawCrosshair;
  iMap->ForceRedrawMap();
}

void TMapPage::ShowOverlay() {
  cbDrawTrack->setChecked(true);
  cbDrawWaypoints->setChecked(true);
  ApplyOptions();
}

void TMapPage::SetTrackColour(int colour) {
  iMap->Options.TrackColour = colour;
  iMap->ForceRedrawMap();
}

void TMapPage::ChangeMapScale(TScaleSender sender) {
  double s = 1;
  try {
    s = ParseDecimal(eScale->text().toStdString());
  } catch (const EFormatError&) {
    s = 1;
  }
  if (!(s > 0)) s = 1;
  if (sender == TScaleSender::Out) s /= 2;
  if (sender == TScaleSender::In) s *= 2;
  s = ClampViewScale(s);
  state_.View.ViewScale = s;
  eScale->setText(QString::fromStdString(ShortestNumber(s)));
  eScale->repaint();
  session_.FreeTileCache();
  iMap->RedrawMap();
}

void TMapPage::ZoomBy(int steps, std::optional<QPoint> anchor) {
  TViewState& v = state_.View;
  const double scale = ClampViewScale(v.ViewScale * std::pow(2.0, steps));
  if (scale == v.ViewScale) return;
  v.CanvasWidth = iMap->width(), v.CanvasHeight = iMap->height();
  const QPoint at = anchor.value_or(QPoint(v.CanvasWidth / 2, v.CanvasHeight / 2));
  ZoomAbout(v, session_.Map(), scale, at.x(), at.y());
  eScale->setText(QString::fromStdString(ShortestNumber(v.ViewScale)));
  session_.FreeTileCache();
  iMap->RedrawMap();
}

void TMapPage::PanByTenths(int right, int down) {
  TViewState& v = state_.View;
  v.CanvasWidth = iMap->width(), v.CanvasHeight = iMap->height();
  ComputeViewOrigin(v, session_.Map());
  PanBy(v, session_.Map(), right * iMap->width() / 10, down * iMap->height() / 10);
  iMap->ForceRedrawMap();
}

void TMapPage::FitLevel() {
  const TJnxMap& m = session_.Map();
  if (m.Levels.empty()) return;
  FitToBounds(m.South, m.West, m.North, m.East);
}

void TMapPage::FitToBounds(std::int32_t minLat, std::int32_t minLon, std::int32_t maxLat, std::int32_t maxLon) {
  state_.View.CanvasWidth = iMap->width(), state_.View.CanvasHeight = iMap->height();
  brelo::FitToBounds(state_.View, session_.Map(), minLat, minLon, maxLat, maxLon);
  eScale->setText(QString::fromStdString(ShortestNumber(state_.View.ViewScale)));
  session_.FreeTileCache();
  iMap->RedrawMap();
}

void TMapPage::Redraw(bool dropCache) {
  if (dropCache) session_.FreeTileCache();
  iMap->ForceRedrawMap();
}

void TMapPage::MapLoaded() {
  // A view centre off the map moves onto the map's middle.
  const TJnxMap& m = session_.Map();
  TViewState& v = state_.View;
  const bool inside = Diff32(v.ViewCentreLon, m.West) >= 0 && Diff32(m.East, v.ViewCentreLon) >= 0 &&
                      Diff32(v.ViewCentreLat, m.South) >= 0 && Diff32(m.North, v.ViewCentreLat) >= 0;
  if (!inside) {
    v.ViewCentreLon = Midpoint(m.West, m.East);
    v.ViewCentreLat = Midpoint(m.South, m.North);
  }
  FillMaps();
  ShowLevel();
}

void TMapPage::ShowLevel() {
  hatched_ = false;  // the level is drawn anew with the session's selection
  const TJnxMap& m = session_.Map();
  const int p = session_.Level();
  if (p >= 0) {
    SetLevelGeometry(state_.View, m.Levels[static_cast<std::size_t>(p)]);
    cbSquarePixels->setChecked(state_.View.Mercator);
  }
  cbSquarePixelsClick();
  if (p >= 0) {
    state_.View.CanvasWidth = iMap->width(), state_.View.CanvasHeight = iMap->height();
    ComputeViewOrigin(state_.View, m);
    lLevelInfo->setText(QString::fromStdString(LevelChangeText(m, p, MapExtent(state_.View, m))));
  }
}

void TMapPage::cbSquarePixelsClick() {
  const bool mercator = cbSquarePixels->isChecked();
  rbQuality1->setEnabled(!mercator);
  rbQuality2->setEnabled(!mercator);
  // Mercator on: Quality2 in force; off: Quality1. The buttons are exclusive, so the one to
  // be in force is checked (unchecking the other has no effect on an exclusive button).
  (mercator ? rbQuality2 : rbQuality1)->setChecked(true);
  iMap->Options.Quality2 = rbQuality2->isChecked();
  session_.FreeTileCache();
  iMap->RedrawMap();  // drawn when the page is shown, if it is not
}

void TMapPage::FillMaps() {
  const auto& listed = session_.Listed();
  if (lbMaps->count() != static_cast<int>(listed.size())) {
    lbMaps->clear();
    for (const TListedMap& l : listed) {
      auto* item = new QListWidgetItem(DisplayName(FileNameOf(l.Path)), lbMaps);
      item->setData(Qt::UserRole, QByteArray::fromStdString(l.Path));
    }
  } else {
    for (int r = 0; r < lbMaps->count(); ++r) {
      const std::string& path = listed[static_cast<std::size_t>(r)].Path;
      lbMaps->item(r)->setText(DisplayName(FileNameOf(path)));
      lbMaps->item(r)->setData(Qt::UserRole, QByteArray::fromStdString(path));
    }
  }
  const QSignalBlocker quiet(lbMaps);
  lbMaps->setCurrentRow(session_.LoadedIndex());
}

void TMapPage::FillWaypoints() {
  lbWaypoints->clear();
  for (const auto& w : session_.Gpx().Waypoints) lbWaypoints->addItem(QString::fromStdString(w.Name));
}

void TMapPage::AddMapActions(const QList<QAction*>& actions) {
  for (QAction* a : actions) {
    a->setShortcutContext(Qt::WidgetShortcut);
    iMap->addAction(a);
  }
}

void TMapPage::FocusMap() { iMap->setFocus(Qt::OtherFocusReason); }

QPoint TMapPage::PressPoint() const { return {iMap->DragLastX, iMap->DragLastY}; }

void TMapPage::HoldInfo(const QString& text) {
  if (!text.isEmpty()) emit Info(text);
  tNoUpdateInfo.start();
}

bool TMapPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == eScale && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ChangeMapScale(TScaleSender::Text);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TMapPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  sbSideBar->move(0, 0);
}

}  // namespace brelo
