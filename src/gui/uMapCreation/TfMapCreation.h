#pragma once
// "JNX Map Parameters": the map creation dialog. The user picks a calibrated source (a ".map"
// or an archive made by the export), sees its calibrated area, sets the new map's product and
// level fields and starts builds; the dialog stays open for further builds. Reading the
// source, the checks and the build are the core's.
#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "gui/common/Settings.h"
#include "uMapCreation/MapSource.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brelo {

class TfOpenSaveDialog;

class TfMapCreation : public QDialog {
  Q_OBJECT

 public:
  TfMapCreation(TfOpenSaveDialog& fileDialog, TSettings& settings, QWidget* parent = nullptr);

  // Where the dialog reports: the main window's diagnostic panel and its error display.
  std::function<void(const std::vector<std::string>& lines)> Memo;
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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TfOpenSaveDialog& fileDialog_;
  TSettings& settings_;
  // The fields of a source, emptied when a source does not read.
  void ClearSource();

  TMapSourceInfo source_;
  std::string sourcePath_;  // the source's bytes; leFileName shows them
  QWidget* flashed_ = nullptr;
};

}  // namespace brelo
