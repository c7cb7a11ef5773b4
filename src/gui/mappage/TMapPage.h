// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Map" page: the side bar (level summary, list of maps, scale controls, drawing options,
// quality, waypoints) and the map canvas. It shows the session's map at its level with its
// selection and overlay, follows the session's signals and changes the view.
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>

#include "gui/common/AppState.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QToolButton;

namespace brelo {

class TMapCanvas;
class TMapSession;

class TMapPage : public QWidget {
  Q_OBJECT

 public:
  TMapPage(TMapSession& session, TAppState& state, QWidget* parent = nullptr);

  // The drawing options and the scale from the settings and the view; the options the user
  // changes go back into the settings.
  void ApplySettings();

  // The scale doubled (steps > 0) or halved per step, within the offered scales; the point
  // under anchor (canvas pixels) stays there, the centre without one.
  void ZoomBy(int steps, std::optional<QPoint> anchor = std::nullopt);
  // The view moved by a tenth of the canvas per step in each direction.
  void PanByTenths(int right, int down);
  // The whole map on the canvas.
  void FitLevel();
  void FitToBounds(std::int32_t minLat, std::int32_t minLon, std::int32_t maxLat, std::int32_t maxLon);
  // The map drawn again; dropCache decodes every tile anew.
  void Redraw(bool dropCache);
  // Waypoints and track drawn (after a GPX file was loaded).
  void ShowOverlay();
  void SetTrackColour(int colour);
  // Actions whose shortcuts act while the map has the keyboard.
  void AddMapActions(const QList<QAction*>& actions);
  void FocusMap();
  // The canvas point of the last press (a right click's place for a new track).
  QPoint PressPoint() const;
  // A result line (without text: the line as it is) that pointer moves leave alone for 5
  // seconds.
  void HoldInfo(const QString& text = QString());

 signals:
  void Info(const QString& text);
  void Error(const QString& text);
  // A map of the side bar's list chosen (its path).
  void OpenRequested(const std::string& path);
  // The map's pop-up menu, at a global point.
  void MenuRequested(QPoint global);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum class TScaleSender { Text, Out, In };
  void ChangeMapScale(TScaleSender sender);
  void ApplyOptions();
  void cbSquarePixelsClick();
  void ShowLevel();
  void MapLoaded();
  void FillMaps();
  void FillWaypoints();

  TMapSession& session_;
  TAppState& state_;
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
  bool hatched_ = false;  // tiles of the selection are hatched on the canvas
};

}  // namespace brelo
