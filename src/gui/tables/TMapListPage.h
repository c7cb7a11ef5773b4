// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "List of Maps" page: the map, level and tile tables, the tile selector, and the editing
// overlays placed over their cells (eEditor, cbScale, cbMapGroup) with the map groups. The
// page only moves texts: ApplyMapEdits and the commands behind Update Map Now take them.
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "check/DeviceCheck.h"
#include "gui/common/AppState.h"
#include "jnx/MapEdits.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace brelo {

class TStringGridEx;

class TMapListPage : public QWidget {
  Q_OBJECT

 public:
  TMapListPage(TAppState& state, QWidget* parent = nullptr);
  ~TMapListPage() override;

  // What the page asks of the window: load a map with details (the window may decline, when
  // the user keeps unwritten edits), show the map page, click Update Map Now, and show the
  // level drawn (0-based) after a level row was chosen.
  std::function<void(const std::string& path)> LoadMap;
  std::function<void()> ShowMapPage;
  std::function<void()> UpdateMapNow;
  std::function<void(int level)> LevelChosen;

  // Folder scans: the map table emptied to its heading row, one row per file, then fitted.
  void BeginScan(int files);
  void FillMapRow(const std::string& path, const TJnxMap& header, int row);
  // A map's device check into its row's "Check" cell (coloured) and the cell's hint, with a
  // warning when another listed map has its GUID; the check of a loaded map's tiles runs on a
  // thread of its own and arrives when it is done.
  void ShowCheck(const std::string& path, const TMapCheck& check);
  void CheckInBackground(const std::string& path);
  void EndScan(const std::string& currentFile);
  // After a detailed load of the current map.
  void FillLevelTable();
  bool ShowTile(int level, int tile);
  void LayoutTables();
  // The level row that the map page draws, from 1; moved by the level commands.
  int CurrentLevelRow() const;
  void SetCurrentLevelRow(int row);

  // The row of the loaded map (CurrentFile), -1 when it is not listed. It is kept the
  // current row: the keyboard moving onto another row loads that row's map.
  int LoadedMapRow() const;
  void MarkLoadedRow();

  // The editable cells of the loaded map's row and the level rows, and their accepted values.
  TMapEditCells CellsFromTables() const;
  void CellsToTables(const TMapEditCells& cells);
  // Cell texts put back after the tables were filled again (edits not yet written).
  void RestoreCells(const TMapEditCells& cells);
  // The loaded map's row shows the file's values again.
  void RefillLoadedMapRow(const TJnxMap& header);
  // The tables as they stand match the file (after a load or a write); edits since then are
  // not written yet.
  void MarkClean();
  bool HasUnwrittenEdits() const;

  void PlaceScaleSelector();
  void PlaceGroupSelector();
  void OpenCellEditor(TStringGridEx* table);

  // Mouse handlers of the tables, in the table's viewport coordinates.
  void sgMapsMouseDown(Qt::MouseButton button, QPoint at, bool doubleClick);
  void sgLevelsMouseDown(Qt::MouseButton button, QPoint at);
  void sgTilesMouseDown(QPoint at);
  void sgMouseMove(TStringGridEx* table, QPoint at);
  void cbTilesClick();
  void cbScaleClick();
  void cbMapGroupCloseUp(int index);
  void cbMapGroupKeyPress();
  void eEditorKeyPress(int key);

  QLabel* lMaps;
  QLabel* lLevels;
  QLabel* lTiles;
  TStringGridEx* sgMaps;
  TStringGridEx* sgLevels;
  TStringGridEx* sgTiles;
  QComboBox* cbTiles;
  QComboBox* cbScale;
  QComboBox* cbMapGroup;
  QLineEdit* eEditor;
  TStringGridEx* EditedTable = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CommitChange();  // a committed cell change reaches the file while Auto Update is on
  void FillTileSelector(int level);

  // The map's file of a table row, by the number in its column 0, which sorting keeps.
  const std::string* PathOfRow(int row) const;
  // A level row chosen by a press or the keyboard: its tiles, and the map page follows.
  void ChooseLevelRow(int row);

  TAppState& state_;
  std::vector<std::string> paths_;  // by the row number of column 0, which sorting keeps
  TMapEditCells clean_;
  std::vector<std::string> guids_;               // of the listed maps, as paths_
  std::map<std::string, TMapCheck> lastChecks_;  // each map's latest check, by path
  std::map<std::string, TFinding> copies_;       // the maps that share a GUID with another
  std::map<std::string, QString> checkHints_;    // the findings shown for each map, by path
  struct TBackgroundCheck {
    std::thread Thread;
    std::shared_ptr<std::atomic<bool>> Done;
  };
  std::vector<TBackgroundCheck> checks_;
  int quiet_ = 0;  // > 0 while the page itself moves a current row
};

}  // namespace brelo
