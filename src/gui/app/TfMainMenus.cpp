// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menus: the Map page's and the List of Maps page's menu bars, the map's
// keys in the Navigate menu, the map's pop-up menu, and which items the loaded map offers.
#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gpx/GarminColors.h"
#include "gui/app/TfMain.h"
#include "gui/common/DisplayName.h"
#include "gui/mappage/TMapPage.h"
#include "gui/session/TMapSession.h"
#include "gui/uMapCreation/TfMapCreation.h"
#include "jnx/JnxUpdate.h"
#include "jnx/ScaleTable.h"
#include "view/MapTexts.h"
#include "view/ViewGeometry.h"

namespace brelo {

void TfMain::BuildMenus() {
  auto* bars = new QWidget(this);
  auto* barsLayout = new QVBoxLayout(bars);
  barsLayout->setContentsMargins(0, 0, 0, 0);
  barsLayout->setSpacing(0);
  mmMap = new QMenuBar(bars);
  mmMap->setObjectName("mmMap");
  mmMapList = new QMenuBar(bars);
  mmMapList->setObjectName("mmMapList");
  barsLayout->addWidget(mmMap);
  barsLayout->addWidget(mmMapList);
  setMenuWidget(bars);

  auto action = [](QMenuBar* bar, const char* name, const QString& caption) {
    QAction* a = bar->addAction(caption);
    a->setObjectName(name);
    return a;
  };
  miOpenJNX = action(mmMap, "miOpenJNX", "&OpenJNX...");
  miRecent = mmMap->addMenu("Recent");
  miRecent->setObjectName("miRecent");
  miSaveLevel = action(mmMap, "miSaveLevel", "&SaveLevel");
  miSaveTAR = action(mmMap, "miSaveTAR", "SaveTAR");
  miExportLevel = action(mmMap, "miExportLevel", "Export Level...");
  MAP2JNX1 = action(mmMap, "MAP2JNX1", "MAP2JNX...");
  connect(MAP2JNX1, &QAction::triggered, this, [this] {
    fMapCreation->show();
    fMapCreation->raise();
    fMapCreation->activateWindow();
  });
  miLoadGPX = action(mmMap, "miLoadGPX", "&LoadGPX...");
  miPrevLevel = action(mmMap, "miPrevLevel", "PrevLevel");
  miNextLevel = action(mmMap, "miNextLevel", "NextLevel");
  miDeleteTiles = action(mmMap, "miDeleteTiles", "DeleteTiles");
  miRedrawMap = action(mmMap, "miRedrawMap", "&RedrawMap");
  BuildNavigateMenu();
  ShowMemo1 = action(mmMap, "ShowMemo1", "ShowMemo");
  ShowMemo1->setVisible(QFileInfo::exists("brelo.memo"));
  connect(ShowMemo1, &QAction::triggered, this, [this] { Memo1->setVisible(!Memo1->isVisible()); });
  miQuit = action(mmMap, "miQuit", "Quit");
  miOpenJNX1 = action(mmMapList, "miOpenJNX1", "OpenJNX...");
  miRecent1 = mmMapList->addMenu("Recent");
  miRecent1->setObjectName("miRecent1");
  for (QMenu* m : {miRecent, miRecent1}) connect(m, &QMenu::aboutToShow, this, [this, m] { FillRecentMenu(m); });
  miSaveMap = action(mmMapList, "miSaveMap", "SaveMap");
  miSaveLevel1 = action(mmMapList, "miSaveLevel1", "SaveLevel");
  miUpdateMap = mmMapList->addMenu("AutoUpdateMap");
  miUpdateMap->setObjectName("miUpdateMap");
  miAutoUpdateMap = miUpdateMap->addAction("Auto Update");
  miAutoUpdateMap->setObjectName("miAutoUpdateMap");
  miAutoUpdateMap->setCheckable(true);
  miUpdateMapNow = miUpdateMap->addAction("Update Map Now");
  miUpdateMapNow->setObjectName("miUpdateMapNow");
  miAddDummyLevel = mmMapList->addMenu("AddDummyLevel");
  miAddDummyLevel->setObjectName("miAddDummyLevel");
  for (const auto& entry : ScaleTable) miAddDummyLevel->addAction(entry.Name);
  miSaveTiles = action(mmMapList, "miSaveTiles", "SaveTiles");
  miExportLevel1 = action(mmMapList, "miExportLevel1", "Export Level...");
  miQuit1 = action(mmMapList, "miQuit1", "Quit");
  // One Quit shortcut for the whole program, held by the window itself, so that it works on
  // either page and in the creation dialog, and is never ambiguous.
  for (QAction* q : {miQuit, miQuit1}) connect(q, &QAction::triggered, this, &QWidget::close);
  auto* quit = new QAction(this);
  quit->setObjectName("acQuit");
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setShortcutContext(Qt::ApplicationShortcut);
  addAction(quit);
  connect(quit, &QAction::triggered, this, &QWidget::close);
  for (QAction* q : {miQuit, miQuit1}) q->setToolTip(quit->shortcut().toString(QKeySequence::NativeText));
  connect(miOpenJNX, &QAction::triggered, this, [this] { miOpenJNXClick(); });
  connect(miOpenJNX1, &QAction::triggered, this, [this] { miOpenJNXClick(); });
  connect(miLoadGPX, &QAction::triggered, this, [this] { miLoadGPXClick(); });
  connect(miSaveTAR, &QAction::triggered, this, [this] { miSaveTARClick(); });
  for (QAction* a : {miExportLevel, miExportLevel1})
    connect(a, &QAction::triggered, this, [this] { ExportLevel(session_->Level() + 1); });
  connect(miRedrawMap, &QAction::triggered, this, [this] { mapPage_->Redraw(true); });
  connect(miPrevLevel, &QAction::triggered, this, [this] { session_->SetLevel(session_->Level() - 1); });
  connect(miNextLevel, &QAction::triggered, this, [this] { session_->SetLevel(session_->Level() + 1); });
  connect(miDeleteTiles, &QAction::triggered, this, [this] { miDeleteTilesClick(); });
  miDeleteTiles->setVisible(false);
  // The Delete key on the map is the same command, with the same question.
  miDeleteTiles->setShortcut(QKeySequence::Delete);
  mapPage_->AddMapActions({miDeleteTiles});
  connect(miAutoUpdateMap, &QAction::toggled, this, [this](bool on) {
    state_.Settings.AutoUpdateMap = on;
    UpdateMenuState();
  });
  connect(miSaveMap, &QAction::triggered, this, [this] { miSaveMapClick(); });
  connect(miSaveLevel, &QAction::triggered, this, [this] { miSaveLevelClick(); });
  connect(miSaveLevel1, &QAction::triggered, this, [this] { miSaveLevelClick(); });
  connect(miUpdateMapNow, &QAction::triggered, this, [this] { miUpdateMapNowClick(); });
  connect(miSaveTiles, &QAction::triggered, this, [this] { miSaveTilesClick(); });
  for (QAction* a : miAddDummyLevel->actions())
    connect(a, &QAction::triggered, this, [this, a] { AddDummyLevel(a->text()); });
  for (QAction* a : {miSaveLevel, miSaveLevel1, miSaveMap, miSaveTiles, miExportLevel1}) a->setVisible(false);
  miUpdateMap->menuAction()->setVisible(false);
}

void TfMain::BuildNavigateMenu() {
  // The map's keys, shown with their shortcuts; they act while the map has the keyboard.
  miNavigate = mmMap->addMenu("&Navigate");
  miNavigate->setObjectName("miNavigate");
  TMapPage* page = mapPage_;
  QList<QAction*> keys;
  auto key = [this, &keys](const char* name, const QString& caption, QList<QKeySequence> shortcuts, auto run) {
    QAction* a = miNavigate->addAction(caption);
    a->setObjectName(name);
    a->setShortcuts(shortcuts);
    keys << a;
    connect(a, &QAction::triggered, this, run);
  };
  key("miZoomIn", "Zoom In", {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)}, [page] { page->ZoomBy(1); });
  key("miZoomOut", "Zoom Out", {QKeySequence(Qt::Key_Minus)}, [page] { page->ZoomBy(-1); });
  key("miFitLevel", "Fit Map", {QKeySequence(Qt::Key_Home)}, [page] { page->FitLevel(); });
  miNavigate->addSeparator();
  key("miPanLeft", "Pan Left", {QKeySequence(Qt::Key_Left)}, [page] { page->PanByTenths(-1, 0); });
  key("miPanRight", "Pan Right", {QKeySequence(Qt::Key_Right)}, [page] { page->PanByTenths(1, 0); });
  key("miPanUp", "Pan Up", {QKeySequence(Qt::Key_Up)}, [page] { page->PanByTenths(0, -1); });
  key("miPanDown", "Pan Down", {QKeySequence(Qt::Key_Down)}, [page] { page->PanByTenths(0, 1); });
  miNavigate->addSeparator();
  key("miLevelUp", "Previous Level", {QKeySequence(Qt::Key_PageUp)}, [this] { miPrevLevel->trigger(); });
  key("miLevelDown", "Next Level", {QKeySequence(Qt::Key_PageDown)}, [this] { miNextLevel->trigger(); });
  mapPage_->AddMapActions(keys);
}

void TfMain::BuildMapMenu() {
  pmMap = new QMenu(this);
  pmMap->setObjectName("pmMap");
  QAction* begin = pmMap->addAction("Begin New Track");
  begin->setObjectName("miBeginNewTrack");
  QAction* removeLast = pmMap->addAction("Delete Last Track Point");
  removeLast->setObjectName("miDeleteLastTrackPoint");
  QAction* save = pmMap->addAction("Save Track As...");
  save->setObjectName("miSaveTrackAs");
  miTrackColor = pmMap->addMenu("Track Color");
  miTrackColor->setObjectName("miTrackColor");
  auto* colours = new QActionGroup(miTrackColor);
  colours->setExclusive(true);
  for (std::size_t i = 0; i < GarminColors.size(); ++i) {
    QAction* c = miTrackColor->addAction(GarminColors[i].Name);
    c->setCheckable(true);
    colours->addAction(c);
    connect(c, &QAction::triggered, this, [this, i] {
      session_->SetTrackColour(static_cast<int>(i));
      mapPage_->SetTrackColour(static_cast<int>(i));
    });
  }
  connect(begin, &QAction::triggered, this, [this] {
    // A new track of one point where the right click was, shown at once.
    const QPoint at = mapPage_->PressPoint();
    TWpt p;
    p.Latitude = YToLat(state_.View, session_->Map(), at.y());
    p.Longitude = XToLon(state_.View, session_->Map(), at.x());
    session_->SetTrack({p});
    SetInfo(QString::fromStdString(TrackLengthText(session_->Gpx().Track)));
  });
  connect(removeLast, &QAction::triggered, this, [this] {
    session_->RemoveLastTrackPoint();
    SetInfo(QString::fromStdString(TrackLengthText(session_->Gpx().Track)));
  });
  connect(save, &QAction::triggered, this, [this] { SaveTrackAs(); });
}

void TfMain::UpdateMenuState() {
  miAutoUpdateMap->setChecked(state_.Settings.AutoUpdateMap);
  miUpdateMapNow->setVisible(!state_.Settings.AutoUpdateMap);
  miUpdateMap->setTitle(state_.Settings.AutoUpdateMap ? "AutoUpdateMap" : "UpdateMap");
}

void TfMain::FollowMapState() {
  // What the loaded map and its level offer.
  const TJnxMap& m = session_->Map();
  const bool loaded = session_->HasMap();
  const int level = session_->Level(), count = static_cast<int>(m.Levels.size());
  miPrevLevel->setVisible(count > 1);
  miNextLevel->setVisible(count > 1);
  miPrevLevel->setEnabled(level > 0);
  miNextLevel->setEnabled(level < count - 1);
  miAddDummyLevel->menuAction()->setVisible(loaded && CanAddDummyLevel(m));
  const int offered = loaded ? DummyLevelScaleCount(m) : 0;
  const auto items = miAddDummyLevel->actions();
  for (int i = 0; i < items.size(); ++i) items[i]->setVisible(i < offered);
  miDeleteTiles->setVisible(!session_->ChosenTiles().empty());
  miSaveTAR->setEnabled(loaded);
  miExportLevel->setEnabled(loaded);
  if (loaded) PageControl->setTabText(0, QFileInfo(DisplayName(session_->File())).completeBaseName());
  ShowCaption();
}

}  // namespace brelo
