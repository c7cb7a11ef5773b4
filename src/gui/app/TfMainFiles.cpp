// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands: save map, save level, update now, delete tiles, the
// placeholder level and save tiles, over the command layer.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include "base/Errors.h"
#include "base/Paths.h"
#include "commands/SaveCommands.h"
#include "commands/UpdateCommands.h"
#include "gui/app/TfMain.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/DisplayName.h"
#include "gui/common/ProgressLine.h"
#include "gui/mappage/TMapCanvas.h"
#include "gui/mappage/TMapPage.h"
#include "gui/tables/MapTables.h"
#include "gui/tables/TMapListPage.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxReader.h"

namespace brelo {

bool TfMain::Show(const TCommandResult& r) {
  if (r.Ok) {
    // The folder as this command left it: the watcher is not to take the change for another
    // program's.
    folderSignature_ = JnxFolderSignature(FolderOf(state_.Map.CurrentFile));
    SetInfo(QString::fromStdString(r.Text) + CheckText(r));
    ShowCheckFindings(r);
    return true;
  }
  if (r.ChangedOnDisk) {
    SetInfo(QString::fromStdString(r.Text));
    OfferReload();
    return false;
  }
  if (r.Cancelled) {
    SetInfo(QString::fromStdString(r.Text));
    return false;
  }
  for (const auto& e : r.Earlier) ShowError(QString::fromStdString(e));
  // The message of the command, and why it failed in the core's (and the system's) words.
  ShowError(QString::fromStdString(r.Detail.empty() ? r.Text : r.Text + "\n\n" + r.Detail));
  return false;
}

QString TfMain::CheckText(const TCommandResult& r) {
  return r.Check.empty() ? QString() : "  Check: " + QString::fromStdString(r.Check);
}

void TfMain::ShowCheckFindings(const TCommandResult& r) {
  QStringList lines;
  bool errors = false;
  for (const auto& f : r.CheckFindings) {
    lines << QString::fromStdString(f);
    errors = errors || f.rfind("error:", 0) == 0;
  }
  lInfo->setToolTip(lines.join('\n'));
  if (errors) ShowError(DisplayName(FileNameOf(r.Path)) + " may not work on a receiver:\n" + lines.join('\n'));
}

void TfMain::miSaveMapClick() {
  const TBusyCursor busy;
  TMapEditCells cells = listPage_->CellsFromTables();
  const TProgressLine progress(lInfo);
  const TCommandResult r = SaveMapCommand(state_.Map, &cells, progress.Sink());
  if (!Show(r)) {
    if (!r.ChangedOnDisk) ShowJnx(state_.Map.CurrentFile, true);
    return;
  }
  // The workspace moves on to the new file, which holds the edits.
  listPage_->MarkClean();
  if (!ShowJnx(r.Path, true)) return;
  RefreshMapList();
  state_.Settings.LastJNXFile = r.Path;
  NoteRecent(r.Path);
  SetInfo(QString::fromStdString(r.Text) + CheckText(r));
}

void TfMain::miSaveLevelClick() {
  const TBusyCursor busy;
  const TProgressLine progress(lInfo);
  // The level chosen in the level table.
  const TCommandResult r = SaveLevelCommand(state_.Map, listPage_->CurrentLevelRow(), progress.Sink());
  if (!Show(r)) return;
  // The new level file is listed; the workspace stays on the source.
  RefreshMapList();
  SetInfo(QString::fromStdString(r.Text) + CheckText(r));
}

void TfMain::miUpdateMapNowClick(TUpdateFrom sender) {
  const TBusyCursor busy;
  TCommandResult r;
  if (sender == TUpdateFrom::UpdateMapNow) {
    TMapEditCells cells = listPage_->CellsFromTables();
    r = UpdateNowCommand(state_.Map, &cells);
    if (r.Ok) listPage_->CellsToTables(cells);
  }
  if (r.Ok && sender == TUpdateFrom::UpdateMapNow) listPage_->MarkClean();
  if (!Show(r) && sender == TUpdateFrom::UpdateMapNow && !r.ChangedOnDisk) {
    // The row shows the file's values again.
    TJnxMap header;
    header.CurrentFile = state_.Map.CurrentFile;
    try {
      ReadJnx(header, header.CurrentFile, false);
      listPage_->RefillLoadedMapRow(header);
    } catch (const EBreloError&) {
    }
  }
  mapPage_->ChangeLevel(TMapPage::TLevelSender::None);
}

void TfMain::miDeleteTilesClick() {
  std::vector<int> selected;
  for (int t : state_.SelectedTiles)
    if (t >= 0) selected.push_back(t);
  if (selected.empty()) return;
  // The file is rewritten in place, which cannot be undone: asked first, whichever way the
  // command was given.
  const int level = mapPage_->iMap->Level;
  const QString question = QString("Delete %1 tiles of level %2 from %3?")
                               .arg(selected.size())
                               .arg(level + 1)
                               .arg(DisplayName(FileNameOf(state_.Map.CurrentFile)));
  if (Question(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) return;
  const TBusyCursor busy;
  state_.SelectedTiles.clear();
  miDeleteTiles->setVisible(false);
  const TCommandResult r = DeleteTilesCommand(state_.Map, level, selected);
  if (!Show(r) && r.ChangedOnDisk) return;
  ShowJnx(state_.Map.CurrentFile, true);
}

void TfMain::AddDummyLevel(const QString& scaleName) {
  const TBusyCursor busy;
  const TCommandResult r = AddPlaceholderLevelCommand(state_.Map, scaleName.toStdString());
  if (!r.ChangedOnDisk) ShowJnx(state_.Map.CurrentFile, true);
  if (Show(r)) {
    RefreshMapList();
    SetInfo(QString::fromStdString(r.Text));
  }
  miAddDummyLevel->menuAction()->setVisible(false);
}

void TfMain::miSaveTilesClick() {
  const TBusyCursor busy;
  const TProgressLine progress(lInfo);
  const TCommandResult r = SaveTilesCommand(state_.Map, progress.Sink());
  if (r.ChangedOnDisk) {
    Show(r);
    return;
  }
  // Both outcomes go to the information line, a failure with its reason.
  SetInfo(QString::fromStdString(r.Detail.empty() ? r.Text : r.Text + " " + r.Detail));
}

}  // namespace brelo
