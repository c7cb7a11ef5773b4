// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the "Map" and "List of Maps" pages with their two menus, the information
// line shared by both, the caption, the error display, the settings and opening maps. It wires
// the menus to the commands and the pages to the document (TMapSession); the pages show the
// document and the window never reaches into their widgets.
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>
#include <functional>
#include <memory>

#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "export/GisExport.h"
#include "gui/common/AppState.h"
#include "gui/common/RecentFiles.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTabWidget;

namespace brelo {

class TfMapCreation;
class TfOpenSaveDialog;
class TInfoLine;
class TLongWork;
class TMapListPage;
class TMapPage;
class TMapSession;
class TWorkBar;

class TfMain : public QMainWindow {
  Q_OBJECT

 public:
  // settingsFolder holds brelo.ini and the dialog's OpenSave.ini.
  TfMain(TAppState& state, const QString& settingsFolder, QWidget* parent = nullptr);
  ~TfMain() override;

  // "brelo 0.1beta": the program's version as major and minor number, then "beta".
  static QString AppTitle();
  // The error display: a modal message box captioned "brelo" with the critical icon, the
  // text copied to lInfo with line feeds as spaces. ErrorBox shows the box; tests replace it.
  void ShowError(const QString& text);
  std::function<void(const QString& text)> ErrorBox;
  // Every question the window asks (a message box with these buttons; tests replace it).
  std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)>
      Question;
  // The export options for a chosen file (the options dialog; tests replace it).
  std::function<bool(const QString& path, TGisExportOptions& options)> AskExportOptions;

  // Start-up and exit. WriteSettingsFile reports a failure on stderr and returns false.
  void ReadSettingsFile();
  bool WriteSettingsFile();
  // The first activation: the start-up waypoints, then a ".jnx" argument (any letter case).
  // The arguments are the command line's bytes: a file name need not be UTF-8.
  void FirstActivation(const std::vector<std::string>& arguments);
  // SIGTERM: a long command is stopped without asking, then the window closes.
  void Terminate();

  // Opens a map and lists its folder; a file that does not load leaves the workspace as it was.
  void OpenMap(const std::string& path);
  // The folder of the loaded map listed anew; takeFocus puts the keyboard into the map table.
  void RefreshMapList(bool takeFocus = true);

  TMapSession& Session() { return *session_; }
  TfOpenSaveDialog& OpenSaveDialog() { return *dialog_; }
  TfMapCreation& MapCreation() { return *fMapCreation; }
  TLongWork& LongWork() { return *longWork_; }
  TAppState& State() { return state_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // A .jnx file dropped on the window opens; a .gpx file dropped on the Map page is its overlay.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Menus (TfMainMenus.cpp).
  void BuildMenus();
  void BuildNavigateMenu();
  void BuildMapMenu();
  void UpdateMenuState();
  void FollowMapState();

  // Opening maps.
  void miOpenJNXClick();
  // Loads another map of the workspace, after asking about edits not yet written; false when
  // the user kept the loaded map or the file did not load.
  bool LoadListedMap(const std::string& path);
  // Edits not yet written: asks whether to write them, drop them or stay; true when the loaded
  // map may be left.
  bool ConfirmLeaveMap();
  bool LoadMap(const std::string& path);  // the error is shown
  void ShowFolderProblems(const std::vector<std::string>& problems);
  void ShowCaption();

  // The file commands (TfMainFiles.cpp): each takes the document, runs the command and shows
  // its result.
  void miSaveMapClick();
  void miSaveLevelClick();
  void miUpdateMapNowClick();
  void miDeleteTilesClick();
  void AddDummyLevel(const QString& scaleName);
  void miSaveTilesClick();
  void miSaveTARClick();
  // One level (from 1) to a GeoTIFF, PNG or MBTiles file chosen in the file dialog.
  void ExportLevel(int level);
  // A long command on a worker thread, with the status row's progress bar (and Cancel).
  void RunLong(const QString& what, bool cancellable,
               const std::function<void(const TWorkMeter&, const ProgressSink&)>& work);

  // GPX.
  void miLoadGPXClick();
  // Waypoints and track of a GPX file over the map, the view fitted to the track.
  void LoadGpxFile(const std::string& path);
  void SaveTrackAs();

  // The recent files menus, rebuilt when one opens: missing files leave the list.
  void FillRecentMenu(QMenu* menu);
  void NoteRecent(const std::string& path);
  void SwitchPage(int index);
  void SetInfo(const QString& text);
  void ShowMemo(const std::vector<std::string>& memo);
  // The file dialog set up from a remembered file; true when the user accepted.
  // defaultExt: in save mode the chosen name takes this extension before the dialog asks about
  // replacing a file.
  bool AskFile(const QString& caption, const QString& filter, const std::string& last, bool save,
               const QString& name = QString(), const QString& defaultExt = QString());
  // Shows a command's failure through the error display (with the reason), its success on
  // lInfo; a loaded file changed on disk is offered to be loaded again.
  bool Show(const TCommandResult& result);
  // A written map's device check: the words after the result line, and its findings in the
  // line's hint (errors also through the error display).
  static QString CheckText(const TCommandResult& r);
  void ShowCheckFindings(const TCommandResult& r);
  // The loaded map's file changed, was replaced or removed by another program.
  void OfferReload();
  // The window on the screen it opens on, no larger than that screen.
  void PlaceWindow();
  void FitScreen();

  TAppState& state_;
  QString settingsFolder_;
  TMapSession* session_;
  TLongWork* longWork_;
  std::unique_ptr<TRecentFiles> recent_;
  TfOpenSaveDialog* dialog_;
  QRect normalGeometry_;
  bool quitPending_ = false;  // close once the long command has stopped

  QTabWidget* PageControl;
  QMenuBar* mmMap;
  QMenuBar* mmMapList;
  TInfoLine* lInfo;
  TWorkBar* workBar_;
  TMapPage* mapPage_;
  TMapListPage* listPage_;
  QMenu* pmMap;
  QPlainTextEdit* Memo1;
  QAction* ShowMemo1;
  QAction* miLoadGPX;
  QAction* miRedrawMap;
  QAction* miDeleteTiles;
  QMenu* miTrackColor;
  QMenu* miNavigate;
  QMenu* miRecent;
  QMenu* miRecent1;

  QAction* miOpenJNX;
  QAction* miOpenJNX1;
  QAction* miSaveLevel;
  QAction* miSaveLevel1;
  QAction* miSaveMap;
  QAction* miSaveTiles;
  QAction* miSaveTAR;
  QAction* miExportLevel;   // the Map page's level
  QAction* miExportLevel1;  // the level table's level
  QAction* MAP2JNX1;
  TfMapCreation* fMapCreation;
  QMenu* miUpdateMap;
  QAction* miAutoUpdateMap;
  QAction* miUpdateMapNow;
  QAction* miPrevLevel;
  QAction* miNextLevel;
  QMenu* miAddDummyLevel;
  QAction* miQuit;
  QAction* miQuit1;
};

}  // namespace brelo
