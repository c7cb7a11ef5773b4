// The main window's file commands: save map, save level, update now, delete tiles, the
// placeholder level and save tiles, over the command layer.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include "app/TMapPage.h"
#include "base/Errors.h"
#include "app/TfMain.h"
#include "commands/SaveCommands.h"
#include "commands/UpdateCommands.h"
#include "jnx/JnxReader.h"
#include "tables/MapTables.h"
#include "tables/TextTable.h"
#include "view/canvas/TMapCanvas.h"

namespace brelo {

namespace {

// The hourglass for the duration of a command, on every path.
struct TBusyCursor {
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};

// Columns of the editable cells.
constexpr int kVersion = 3, kProductId = 4, kProductName = 5, kZOrder = 6, kDetailLevel = 12, kProductId2 = 22;
constexpr int kScale = 2, kCopyright = 4, kName = 5, kDescription = 6;

}  // namespace

TMapEditCells TfMain::CellsFromTables() const {
  TMapEditCells cells = EditCellsFromMap(state_.Map);
  const int row = sgMaps->CurrentRow();
  auto cell = [](const TTextTable* t, int r, int c) { return t->Text(r, c).toStdString(); };
  if (row >= 0) {
    cells.Version = cell(sgMaps, row, kVersion);
    cells.ProductId = cell(sgMaps, row, kProductId);
    cells.ProductName = cell(sgMaps, row, kProductName);
    cells.ZOrder = cell(sgMaps, row, kZOrder);
    cells.DetailLevel = cell(sgMaps, row, kDetailLevel);
    cells.ProductId2 = cell(sgMaps, row, kProductId2);
  }
  for (std::size_t i = 0; i < cells.Levels.size() && static_cast<int>(i) < sgLevels->RowCount(); ++i) {
    const int r = static_cast<int>(i);
    cells.Levels[i] = {cell(sgLevels, r, kScale), cell(sgLevels, r, kCopyright), cell(sgLevels, r, kName),
                       cell(sgLevels, r, kDescription)};
  }
  return cells;
}

void TfMain::CellsToTables(const TMapEditCells& cells) {
  const int row = sgMaps->CurrentRow();
  if (row < 0) return;
  std::vector<std::string> texts = MapRowCells(row + 1, state_.Map.CurrentFile, state_.Map);
  texts[kVersion] = cells.Version;
  texts[kProductId] = cells.ProductId;
  texts[kProductName] = cells.ProductName;
  texts[kZOrder] = cells.ZOrder;
  texts[kProductId2] = cells.ProductId2;
  sgMaps->Cells().SetRow(row, texts);
}

bool TfMain::Show(const TCommandResult& r) {
  if (r.Ok) {
    SetInfo(QString::fromStdString(r.Text));
    return true;
  }
  for (const auto& e : r.Earlier) ShowError(QString::fromStdString(e));
  ShowError(QString::fromStdString(r.Text));
  return false;
}

void TfMain::AppendInfo(const std::string& line) {
  lInfo->setText(lInfo->text() + " " + QString::fromStdString(line));
  lInfo->repaint();
}

void TfMain::miSaveMapClick() {
  const TBusyCursor busy;
  TMapEditCells cells = CellsFromTables();
  lInfo->clear();
  const TCommandResult r = SaveMapCommand(state_.Map, &cells, [this](const std::string& l) { AppendInfo(l); });
  if (!Show(r)) {
    ShowJnx(QString::fromStdString(state_.Map.CurrentFile), true);
    return;
  }
  // The workspace moves on to the new file.
  state_.Map.CurrentFile = r.Path;
  RefreshMapList();
  state_.Settings.LastJNXFile = r.Path;
  SetInfo(QString::fromStdString(r.Text));
}

void TfMain::miSaveLevelClick() {
  const TBusyCursor busy;
  lInfo->clear();
  const std::string source = state_.Map.CurrentFile;
  const TCommandResult r =
      SaveLevelCommand(state_.Map, mapPage_->iMap->Level + 1, [this](const std::string& l) { AppendInfo(l); });
  if (!Show(r)) return;
  // The new level file is listed; the workspace stays on the source.
  RefreshMapList();
  SetInfo(QString::fromStdString(r.Text));
  state_.Map.CurrentFile = source;
}

void TfMain::miUpdateMapNowClick(TUpdateFrom sender) {
  const TBusyCursor busy;
  TCommandResult r;
  if (sender == TUpdateFrom::UpdateMapNow) {
    TMapEditCells cells = CellsFromTables();
    r = UpdateNowCommand(state_.Map, &cells);
    if (r.Ok) CellsToTables(cells);
  }
  if (!Show(r) && sender == TUpdateFrom::UpdateMapNow) {
    // The row shows the file's values again.
    TJnxMap header;
    header.CurrentFile = state_.Map.CurrentFile;
    try {
      ReadJnx(header, header.CurrentFile, false);
      if (sgMaps->CurrentRow() >= 0)
        sgMaps->Cells().SetRow(sgMaps->CurrentRow(), MapRowCells(sgMaps->CurrentRow() + 1, header.CurrentFile, header));
    } catch (const EBreloError&) {
    }
  }
  mapPage_->ChangeLevel(TMapPage::TLevelSender::None);
}

void TfMain::miDeleteTilesClick() {
  const TBusyCursor busy;
  std::vector<int> selected;
  for (int t : state_.SelectedTiles)
    if (t >= 0) selected.push_back(t);
  state_.SelectedTiles.clear();
  miDeleteTiles->setVisible(false);
  const TCommandResult r = DeleteTilesCommand(state_.Map, mapPage_->iMap->Level, selected);
  Show(r);
  ShowJnx(QString::fromStdString(state_.Map.CurrentFile), true);
}

void TfMain::AddDummyLevel(const QString& scaleName) {
  const TBusyCursor busy;
  const TCommandResult r = AddPlaceholderLevelCommand(state_.Map, scaleName.toStdString());
  ShowJnx(QString::fromStdString(state_.Map.CurrentFile), true);
  if (Show(r)) {
    RefreshMapList();
    SetInfo(QString::fromStdString(r.Text));
  }
  miAddDummyLevel->menuAction()->setVisible(false);
}

void TfMain::miSaveTilesClick() {
  const TBusyCursor busy;
  const TCommandResult r = SaveTilesCommand(state_.Map, [this](const std::string& l) { SetInfo(QString::fromStdString(l)); });
  // Both outcomes go to the information line.
  SetInfo(QString::fromStdString(r.Text));
}

}  // namespace brelo
