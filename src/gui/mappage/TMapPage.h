// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Map" page: the side bar (level summary, list of maps, scale controls, drawing options,
// quality, waypoints) and the map canvas, with the handlers that change the view.
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "gui/common/AppState.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QToolButton;

namespace brelo {

class TMapCanvas;

class TMapPage : public QWidget {
  Q_OBJECT

 public:
  TMapPage(TAppState& state, QWidget* parent = nullptr);

  enum class TScaleSender { Text, Out, In };
  void ChangeMapScale(TScaleSender sender);
  // The scale doubled (steps > 0) or halved per step, within the offered scales; the point
  // under anchor (canvas pixels) stays there, the centre without one.
  void ZoomBy(int steps, std::optional<QPoint> anchor = std::nullopt);
  // The view moved by a tenth of the canvas per step in each direction.
  void PanByTenths(int right, int down);
  // The whole map on the canvas.
  void FitLevel();
  enum class TLevelSender { None, Prev, Next };
  // Makes a level current (the shown level, or the one before or after it); returns it.
  int ChangeLevel(TLevelSender sender);
  void cbSquarePixelsClick();
  void FitToBounds(std::int32_t minLat, std::int32_t minLon, std::int32_t maxLat, std::int32_t maxLon);
  // The waypoint list from the state's GPX data.
  void FillWaypoints();
  // The options from the side bar into the renderer, then a forced redraw.
  void ApplyOptions();
  // A result line that pointer moves leave alone for 5 seconds.
  void HoldInfo(const QString& text);

  // Set by the window.
  std::function<void(const QString&)> Info;
  std::function<void(bool prevEnabled, bool nextEnabled)> LevelButtons;
  std::function<void(bool)> SelectionChanged;
  bool* MapTabActive = nullptr;

  TMapCanvas* iMap;
  QLabel* lLevelInfo;
  QListWidget* lbMaps;
  QListWidget* lbWaypoints;
  QLineEdit* eScale;
  QToolButton* sbScaleOut;
  QToolButton* sbScaleIn;
  QToolButton* sbScale_1;
  QCheckBox* cbDrawWaypoints;
  QCheckBox* cbDrawTrack;
  QCheckBox* cbDrawGrid;
  QCheckBox* cbDrawCrosshair;
  QCheckBox* cbSquarePixels;
  QRadioButton* rbQuality1;
  QRadioButton* rbQuality2;
  QWidget* Panel3;
  QToolButton* sbSideBar;
  QTimer tNoUpdateInfo;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TAppState& state_;
};

}  // namespace brelo
