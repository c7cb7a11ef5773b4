// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "List of Maps" page: the map, level and tile tables, the tile selector, and the editing
// overlays placed over their cells (eEditor, cbScale, cbMapGroup) with the map groups. The
// tables show the session: the folder's maps with their checks, the loaded map's row and its
// levels with the edits not yet written. An edit goes into the session, never only a cell.
#include <QWidget>
#include <string>
#include <vector>

#include "gui/common/AppState.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace brelo {

class TMapSession;
class TStringGridEx;

class TMapListPage : public QWidget {
  Q_OBJECT

 public:
  TMapListPage(TMapSession& session, TAppState& state, QWidget* parent = nullptr);

  // The map table takes the keyboard (after a folder was opened).
  void FocusMapTable();

 signals:
  // A map of the list chosen (its path): the window loads it, or keeps the loaded one.
  void OpenRequested(const std::string& path);
  void MapPageRequested();
  // An edit was committed in a cell (Enter, a choice in a selector).
  void EditCommitted();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Filling from the session.
  void FillMapTable();
  void FillMapRow(int row);
  void FillLevelTable();
  void ShowEdits();
  void ShowLevel();
  void FillTileSelector(int level);
  bool ShowTile(int level, int tile);
  void LayoutTables();
  void FitMapColumns();

  // The listed map of a table row, by the number in its column 0, which sorting keeps; -1.
  int ListedOfRow(int row) const;
  int RowOfListed(int index) const;
  int LoadedMapRow() const;
  void MarkLoadedRow();
  // A map row chosen by a press or the keyboard; false when its map is not the loaded one.
  bool ChooseMapRow(int row);
  void ChooseLevelRow(int row);

  void PlaceScaleSelector();
  void PlaceGroupSelector();
  void OpenCellEditor(TStringGridEx* table);
  void OpenGroupSelector();
  void OpenScaleSelector();

  // Mouse handlers of the tables, in the table's viewport coordinates.
  void sgMapsMouseDown(QPoint at, bool doubleClick);
  void sgLevelsMouseDown(QPoint at);
  void sgTilesMouseDown(QPoint at);
  void sgMouseMove(TStringGridEx* table, QPoint at);
  void cbTilesClick();
  void cbScaleClick();
  void cbMapGroupCloseUp(int index);
  void cbMapGroupKeyPress();
  void eEditorKeyPress(int key);
  void SortBy(int column);

  TMapSession& session_;
  TAppState& state_;
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
  int shownLoaded_ = -1;  // the listed map whose row shows the loaded map and its edits
  int quiet_ = 0;         // > 0 while the page itself moves a current row
};

}  // namespace brelo
