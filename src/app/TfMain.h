#pragma once
// The main window: the "Map" and "List of Maps" pages with their two menus, the information
// line shared by both, the caption, the error display, the settings and opening maps. Its
// handlers read controls, call the core and show results.
#include <functional>

#include <QMainWindow>
#include <QStringList>

#include "app/AppState.h"
#include "commands/CommandResult.h"
#include "jnx/MapEdits.h"

class QAction;
class QComboBox;
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

  // Start-up and exit. WriteSettingsFile reports a failure on stderr and returns false.
  void ReadSettingsFile();
  bool WriteSettingsFile() const;
  // The first activation: the start-up waypoints, then a ".jnx" argument (any letter case).
  void FirstActivation(const QStringList& arguments);

  // Opening maps.
  void miOpenJNXClick();
  void OpenMap(const QString& path);  // CurrentFile := path, then RefreshMapList
  void RefreshMapList();
  void ShowJnx(const QString& path, bool withDetails);
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

 private:
  void BuildMenus();
  void BuildMapPage(QWidget* page);
  void BuildMapMenu();
  void miLoadGPXClick();
  void miSaveTARClick();
  void SaveTrackAs();
  void BuildMapListPage();
  void UpdateMenuState();
  void SetInfo(const QString& text);
  // The file dialog set up from a remembered file; true when the user accepted.
  bool AskFile(const QString& caption, const QString& filter, const std::string& last, bool save,
               const QString& name = QString());
  // Shows a command's failure through the error display, its success on lInfo.
  bool Show(const TCommandResult& result);
  void AppendInfo(const std::string& line);
  void PlaceWindow();

  TAppState& state_;
  QString settingsFolder_;
  TfOpenSaveDialog* dialog_;
  QRect normalGeometry_;

  QTabWidget* PageControl;
  QWidget* tsMap;
  QWidget* tsMapList;
  QMenuBar* mmMap;
  QMenuBar* mmMapList;
  QLabel* lInfo;
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
  bool mapTabActive_ = true;
  TMapListPage* listPage_;

  QAction* miOpenJNX;
  QAction* miOpenJNX1;
  QAction* miSaveLevel;
  QAction* miSaveLevel1;
  QAction* miSaveMap;
  QAction* miSaveTiles;
  QAction* miSaveTAR;
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
