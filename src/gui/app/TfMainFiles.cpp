// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands: save map, save level, update now, delete tiles, the
// placeholder level, save tiles and the exports, over the command layer. The long ones run on a
// worker thread with a copy of the loaded map, the status row's bar showing how far they are.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "commands/ExportCommand.h"
#include "commands/GisExportCommand.h"
#include "commands/SaveCommands.h"
#include "commands/UpdateCommands.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/app/TfMain.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/DisplayName.h"
#include "gui/common/InfoLine.h"
#include "gui/common/LongWork.h"
#include "gui/mappage/TMapPage.h"
#include "gui/session/TMapSession.h"

namespace brelo {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool TfMain::Show(const TCommandResult& r) {
  if (r.Ok) {
    SetInfo(Q(r.Text) + CheckText(r));
    ShowCheckFindings(r);
    return true;
  }
  if (r.ChangedOnDisk) {
    SetInfo(Q(r.Text));
    OfferReload();
    return false;
  }
  if (r.Cancelled) {
    SetInfo(Q(r.Text));
    return false;
  }
  for (const auto& e : r.Earlier) ShowError(Q(e));
  // The message of the command, and why it failed in the core's (and the system's) words.
  ShowError(Q(r.Detail.empty() ? r.Text : r.Text + "\n\n" + r.Detail));
  return false;
}

QString TfMain::CheckText(const TCommandResult& r) { return r.Check.empty() ? QString() : "  Check: " + Q(r.Check); }

void TfMain::ShowCheckFindings(const TCommandResult& r) {
  QStringList lines;
  bool errors = false;
  for (const auto& f : r.CheckFindings) {
    lines << Q(f);
    errors = errors || f.rfind("error:", 0) == 0;
  }
  lInfo->SetFindings(lines.join('\n'));
  if (errors) ShowError(DisplayName(FileNameOf(r.Path)) + " may not work on a receiver:\n" + lines.join('\n'));
}

void TfMain::RunLong(const QString& what, bool cancellable,
                     const std::function<void(const TWorkMeter&, const ProgressSink&)>& work) {
  lInfo->SetFindings(QString());
  longWork_->Run(*workBar_, what, cancellable, work);
}

void TfMain::miSaveMapClick() {
  if (!session_->HasMap()) return;
  TJnxMap map = session_->Snapshot();
  TMapEditCells cells = session_->Edits();
  TCommandResult r;
  RunLong("saving the map", true,
          [&](const TWorkMeter& meter, const ProgressSink& line) { r = SaveMapCommand(map, &cells, line, &meter); });
  if (!Show(r)) return;
  // The workspace moves on to the new file, which holds the edits.
  session_->DropEdits();
  if (!LoadMap(r.Path)) return;
  RefreshMapList();
  state_.Settings.LastJNXFile = r.Path;
  NoteRecent(r.Path);
  SetInfo(Q(r.Text) + CheckText(r));
}

void TfMain::miSaveLevelClick() {
  if (!session_->HasMap()) return;
  // The level chosen in the level table, which is the level drawn.
  TJnxMap map = session_->Snapshot();
  const int level = session_->Level() + 1;
  TCommandResult r;
  RunLong("saving the level", true,
          [&](const TWorkMeter& meter, const ProgressSink& line) { r = SaveLevelCommand(map, level, line, &meter); });
  if (!Show(r)) return;
  // The new level file is listed; the workspace stays on the source.
  RefreshMapList();
  SetInfo(Q(r.Text) + CheckText(r));
}

void TfMain::miUpdateMapNowClick() {
  if (!session_->HasMap()) return;
  const TBusyCursor busy;
  Show(session_->UpdateNow());
}

void TfMain::miDeleteTilesClick() {
  const std::vector<int> selected = session_->ChosenTiles();
  if (selected.empty()) return;
  // The file is rewritten in place, which cannot be undone: asked first, whichever way the
  // command was given.
  const int level = session_->Level();
  const QString question = QString("Delete %1 tiles of level %2 from %3?")
                               .arg(selected.size())
                               .arg(level + 1)
                               .arg(DisplayName(FileNameOf(session_->File())));
  if (Question(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) return;
  session_->ClearSelection();
  // A change in place stops only when it is done.
  TJnxMap map = session_->Snapshot();
  TCommandResult r;
  RunLong("deleting the tiles", false,
          [&](const TWorkMeter&, const ProgressSink&) { r = DeleteTilesCommand(map, level, selected); });
  if (!Show(r) && r.ChangedOnDisk) return;
  session_->Wrote(session_->File());
}

void TfMain::AddDummyLevel(const QString& scaleName) {
  const TBusyCursor busy;
  const TCommandResult r = session_->AddPlaceholderLevel(scaleName.toStdString());
  if (Show(r)) {
    RefreshMapList();
    SetInfo(Q(r.Text));
  }
}

void TfMain::miSaveTilesClick() {
  if (!session_->HasMap()) return;
  TJnxMap map = session_->Snapshot();
  TCommandResult r;
  RunLong("saving the tiles", true,
          [&](const TWorkMeter& meter, const ProgressSink& line) { r = SaveTilesCommand(map, line, &meter); });
  if (r.ChangedOnDisk) {
    Show(r);
    return;
  }
  // Both outcomes go to the information line, a failure with its reason.
  SetInfo(Q(r.Detail.empty() ? r.Text : r.Text + " " + r.Detail));
}

void TfMain::miSaveTARClick() {
  if (!session_->HasMap()) return;
  std::vector<std::string> memo;
  TJnxMap map = session_->Snapshot();
  const int level = session_->Level() + 1;
  TCommandResult r;
  RunLong("the export", true, [&](const TWorkMeter& meter, const ProgressSink& line) {
    r = ExportLevelCommand(map, level, {line, &memo, &meter});
  });
  ShowMemo(memo);
  if (r.Ok)
    mapPage_->HoldInfo(Q(r.Text));
  else
    Show(r);
}

void TfMain::ExportLevel(int level) {
  const TJnxMap& m = session_->Map();
  if (!session_->HasMap() || level < 1 || level > static_cast<int>(m.Levels.size())) return;
  const std::string suggested = WithoutExtension(m.CurrentFile) + Format("_level%d.tif", level);
  if (!AskFile("Export level " + QString::number(level), "*.tif|*.png|*.mbtiles", suggested, true,
               DisplayName(FileNameOf(suggested))))
    return;
  const std::string path = dialog_->Path();
  TGisExportOptions options;
  if (!AskExportOptions(DisplayName(path), options)) return;
  options.Overwrite = true;  // the file dialog asked before a file was chosen to be replaced
  TJnxMap map = session_->Snapshot();
  TCommandResult r;
  RunLong("the export", true, [&](const TWorkMeter& meter, const ProgressSink& line) {
    r = ExportGisCommand(map, level, path, options, line, &meter);
  });
  if (!r.Ok) {
    Show(r);
    return;
  }
  QStringList notes;
  for (const auto& n : r.Earlier) notes << Q(n);
  mapPage_->HoldInfo(Q(r.Text) + (notes.isEmpty() ? QString() : "; " + notes.join("; ")));
}

}  // namespace brelo
