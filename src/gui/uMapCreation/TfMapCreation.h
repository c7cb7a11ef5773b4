// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "JNX Map Parameters": the map creation dialog. The user picks a calibrated source (a ".map"
// or an archive made by the export) or a georeferenced raster, sees its area, sets the new
// map's product and level fields (for a raster: its levels, their scales, quality, resampling
// and tile size) and starts builds; the dialog stays open for further builds. Reading the
// source, the plan, the checks and the build are the core's; a build runs off the window's
// thread with a progress bar and Cancel, as one of the program's long commands.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "gui/common/Settings.h"
#include "jnx/DeviceLimits.h"
#include "uMapCreation/MapSource.h"
#include "uMapCreation/RasterMapBuilder.h"

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace brelo {

class TfOpenSaveDialog;
class TLongWork;
class TWorkBar;

class TfMapCreation : public QDialog {
  Q_OBJECT

 public:
  TfMapCreation(TfOpenSaveDialog& fileDialog, TSettings& settings, TLongWork& longWork, QWidget* parent = nullptr);

  // The tile size from the settings.
  void ApplySettings();
  // Where the dialog reports errors: the main window's error display.
  std::function<void(const QString& text)> ErrorBox;
  // Asks a yes/no question (a message box; tests replace it); true for yes.
  std::function<bool(const QString& text)> Question;

  void leFileNameClick();
  // Steps after the file dialog: the chosen source read into the fields.
  void LoadSource(const std::string& path);
  void leTileWChange();
  void cbeTrexScaleClick();
  void bStartClick();
  // Beep, hide the control for 500 ms, then show and focus it.
  void FlashControl(QWidget* control);
  QWidget* Flashed() const { return flashed_; }

  QLineEdit* leFileName;
  QLineEdit* leLevelPixels;
  QLineEdit* leLevelKilometers;
  QLabel* Label2;
  QLabel* Label3;
  QLineEdit* leProductName;
  QLineEdit* leProductID;
  QLineEdit* leZOrder;
  QLineEdit* leDetailLevel;
  QComboBox* cbeTrexScale;
  QLineEdit* leTileW;
  QLineEdit* leTileH;
  QLineEdit* leTileCount;
  QLineEdit* leLevelName;
  QLineEdit* leLevelDescription;
  QLineEdit* leLevelCopyright;
  QPushButton* bStart;
  QPushButton* bCancel;
  QLabel* lInfo;

  // A raster source's levels: one row per level, the least detailed first, with its
  // resolution, tile count, eTrex scale (a choice), estimated size; counts and sizes over the
  // receivers' limits in red, and the split that follows in lPlan.
  QGroupBox* gbLevels;
  QTableWidget* tvLevels;
  QSpinBox* sbLevels;  // 0: as many as the source needs, up to five
  QSpinBox* sbQuality;
  QComboBox* cbResampling;
  QComboBox* cbTileSize;
  QLabel* lPlan;
  TWorkBar* workBar;
  // Tiles of a level before the map is split (tests lower it).
  int MaxTiles = kMaxTilesPerLevel;
  bool RasterMode() const { return raster_ != nullptr; }

 signals:
  // The diagnostic panel's lines of a source.
  void Memo(const std::vector<std::string>& lines);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  TfOpenSaveDialog& fileDialog_;
  TSettings& settings_;
  TLongWork& longWork_;
  // A build on the long-command runner, the dialog closed to input but for Cancel meanwhile.
  void RunBuild(const std::function<TCommandResult(const TWorkMeter& meter, const ProgressSink& line)>& build);
  // The fields of a source, emptied when a source does not read.
  void ClearSource();

  // Raster sources: the source opened and planned, the plan shown again on every change.
  void LoadRaster(const std::string& path);
  void PlanRaster();
  TRasterBuildOptions RasterOptions() const;
  void StartRaster();
  void ShowSourceKind(bool raster);
  void ShowResult(const TCommandResult& r);

  TMapSourceInfo source_;
  std::string sourcePath_;  // the source's bytes; leFileName shows them
  QWidget* flashed_ = nullptr;
  QFormLayout* levelForm_ = nullptr;
  std::unique_ptr<TRasterPlan> raster_;
  bool scalesChosen_ = false;  // the user picked a scale in the table: kept on replanning
};

}  // namespace brelo
