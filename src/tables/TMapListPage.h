#pragma once
// The "List of Maps" page: the map, level and tile tables, the tile selector, and the editing
// overlays placed over their cells (eEditor, cbScale, cbMapGroup) with the map groups. The
// page only moves texts: ApplyMapEdits and the commands behind Update Map Now take them.
#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "app/AppState.h"
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

  // What the page asks of the window: load a map with details, show the map page, click
  // Update Map Now, and show the level drawn (0-based) after a level row was chosen.
  std::function<void(const std::string& path)> LoadMap;
  std::function<void()> ShowMapPage;
  std::function<void()> UpdateMapNow;
  std::function<void(int level)> LevelChosen;

  // Folder scans: the map table emptied to its heading row, one row per file, then fitted.
  void BeginScan(int files);
  void FillMapRow(const std::string& path, const TJnxMap& header, int row);
  void EndScan(const std::string& currentFile);
  // After a detailed load of the current map.
  void FillLevelTable();
  bool ShowTile(int level, int tile);
  void LayoutTables();
  // The level row that the map page draws, from 1; moved by the level commands.
  int CurrentLevelRow() const;
  void SetCurrentLevelRow(int row);

  // The editable cells of the current map row and the level rows, and their accepted values.
  TMapEditCells CellsFromTables() const;
  void CellsToTables(const TMapEditCells& cells);
  // The current map row shows the file's values again.
  void RefillCurrentMapRow(const TJnxMap& header);
  int CurrentMapRow() const;

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

  TAppState& state_;
  std::vector<std::string> paths_;  // by the row number of column 0, which sorting keeps
};

}  // namespace brelo
