// The main window's file commands: save map, save level, update now, delete tiles, the
// placeholder level and save tiles, over the command layer.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include "app/BusyCursor.h"
#include "app/TMapPage.h"
#include "base/Errors.h"
#include "app/TfMain.h"
#include "commands/SaveCommands.h"
#include "commands/UpdateCommands.h"
#include "jnx/JnxReader.h"
#include "tables/MapTables.h"
#include "tables/TMapListPage.h"
#include "view/canvas/TMapCanvas.h"

namespace brelo {

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
  TMapEditCells cells = listPage_->CellsFromTables();
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
    TMapEditCells cells = listPage_->CellsFromTables();
    r = UpdateNowCommand(state_.Map, &cells);
    if (r.Ok) listPage_->CellsToTables(cells);
  }
  if (!Show(r) && sender == TUpdateFrom::UpdateMapNow) {
    // The row shows the file's values again.
    TJnxMap header;
    header.CurrentFile = state_.Map.CurrentFile;
    try {
      ReadJnx(header, header.CurrentFile, false);
      listPage_->RefillCurrentMapRow(header);
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
