// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the "Map" and "List of Maps" pages with their two menus, the information
// line shared by both, the caption, the error display, the settings and opening maps. Its
// handlers read controls, call the core and show results.
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "base/Progress.h"
#include "commands/CommandResult.h"
#include "commands/OutlineCommand.h"
#include "export/GisExport.h"
#include "gui/common/AppState.h"
#include "gui/common/RecentFiles.h"
#include "jnx/MapEdits.h"

class QAction;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTabWidget;

namespace brelo {

class TfMapCreation;
class TfOpenSaveDialog;
struct TFolderScan;
class TMapListPage;
class TMapPage;
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

  // Opening maps.
  void miOpenJNXClick();
  void OpenMap(const std::string& path);  // CurrentFile := path, then RefreshMapList
  // The folder of CurrentFile listed anew; takeFocus puts the keyboard into the map table.
  void RefreshMapList(bool takeFocus = true);
  // Loads another map of the workspace, after asking about edits not yet written; false when
  // the user kept the loaded map or the file did not load.
  bool LoadListedMap(const std::string& path);
  // Edits of the tables not yet written (Auto Update off): asks whether to write them, drop
  // them or stay; true when the loaded map may be left.
  bool ConfirmLeaveMap();
  // false when the file did not load (the error is shown).
  bool ShowJnx(const std::string& path, bool withDetails);
  bool ShowTile(int level, int tile);
  void lbMapsClick(int row);

  // The file commands: each reads the tables, calls the command and shows its result.
  void miSaveMapClick();
  void miSaveLevelClick();
  enum class TUpdateFrom { UpdateMapNow, DeleteTiles };
  void miUpdateMapNowClick(TUpdateFrom sender);
  void miDeleteTilesClick();
  void AddDummyLevel(const QString& scaleName);
  void miSaveTilesClick();
  void SwitchPage(int index);
  void MAP2JNX1Click();

  TfOpenSaveDialog& OpenSaveDialog() { return *dialog_; }
  TMapPage& MapPage() { return *mapPage_; }
  TMapListPage& MapListPage() { return *listPage_; }
  TfMapCreation& MapCreation() { return *fMapCreation; }
  TAppState& State() { return state_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  // A .jnx file dropped on the window opens; a .gpx file dropped on the Map page is its overlay.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildMapPage(QWidget* page);
  void BuildMapMenu();
  void BuildNavigateMenu();
  void miLoadGPXClick();
  // Waypoints and track of a GPX file over the map, the view fitted to the track.
  void LoadGpxFile(const std::string& path);
  // The recent files menus, rebuilt when one opens: missing files leave the list.
  void FillRecentMenu(QMenu* menu);
  void NoteRecent(const std::string& path);
  void miSaveTARClick();
  // One level (from 1) to a GeoTIFF, PNG or MBTiles file chosen in the file dialog.
  void ExportLevel(int level);
  void SaveTrackAs();
  void BuildMapListPage();
  void UpdateMenuState();
  void SetInfo(const QString& text);
  // A long command on a worker thread, with the status row's progress bar (and Cancel).
  void RunLong(bool cancellable, const std::function<void(const TWorkMeter&, const ProgressSink&)>& work);
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
  // The folder and the loaded file are watched; changes made by other programs are followed.
  void WatchWorkspace();
  void FolderChanged();
  void LoadedFileChanged();
  void PlaceWindow();

  TAppState& state_;
  QString settingsFolder_;
  QFileSystemWatcher* watcher_;
  QTimer folderChanged_;
  std::string folderSignature_;   // of the folder as last listed
  TOutlineNotice outlineNotice_;  // Maps.gpx not written: said once for a folder
  std::unique_ptr<TRecentFiles> recent_;
  QMenu* miRecent;
  QMenu* miRecent1;
  TfOpenSaveDialog* dialog_;
  QRect normalGeometry_;

  QTabWidget* PageControl;
  QWidget* tsMap;
  QWidget* tsMapList;
  QMenuBar* mmMap;
  QMenuBar* mmMapList;
  QLabel* lInfo;
  TWorkBar* workBar_;
  TMapPage* mapPage_;
  QLabel* lLevelInfo;
  QLineEdit* eScale;
  QListWidget* lbMaps;
  QMenu* pmMap;
  QPlainTextEdit* Memo1;
  QAction* ShowMemo1;
  QAction* miLoadGPX;
  QAction* miRedrawMap;
  QAction* miDeleteTiles;
  QMenu* miTrackColor;
  QMenu* miNavigate;
  bool mapTabActive_ = true;
  TMapListPage* listPage_;

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
