// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/TfMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <iostream>

#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "commands/ExportCommand.h"
#include "commands/GisExportCommand.h"
#include "commands/OutlineCommand.h"
#include "gpx/GarminColors.h"
#include "gpx/GpxReader.h"
#include "gpx/GpxWriter.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/StringGridEx/TStringGridEx.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/DisplayName.h"
#include "gui/common/WorkBar.h"
#include "gui/export/TfExportLevel.h"
#include "gui/mappage/TMapCanvas.h"
#include "gui/mappage/TMapPage.h"
#include "gui/tables/MapTables.h"
#include "gui/tables/TMapListPage.h"
#include "gui/uMapCreation/TfMapCreation.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxUpdate.h"
#include "jnx/ScaleTable.h"
#include "uMapCreation/MapSource.h"
#include "view/MapTexts.h"

namespace brelo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

TfMain::TfMain(TAppState& state, const QString& settingsFolder, QWidget* parent)
    : QMainWindow(parent), state_(state), settingsFolder_(settingsFolder) {
  setObjectName("TfMain");
  ErrorBox = [this](const QString& text) { QMessageBox::critical(this, "brelo", text); };
  Question = [this](const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
    return QMessageBox::question(this, "brelo", text, buttons, def);
  };
  auto* exportOptions = new TfExportLevel(this);
  AskExportOptions = [exportOptions](const QString& path, TGisExportOptions& options) {
    return exportOptions->Execute(path, options);
  };
  setAcceptDrops(true);
  recent_ = std::make_unique<TRecentFiles>(S(settingsFolder_ + "/recent.ini"));
  recent_->Read();
  watcher_ = new QFileSystemWatcher(this);
  // A burst of changes (a copy, a save through a temporary file) is taken as one.
  folderChanged_.setSingleShot(true);
  folderChanged_.setInterval(300);
  connect(&folderChanged_, &QTimer::timeout, this, [this] { FolderChanged(); });
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { folderChanged_.start(); });
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { folderChanged_.start(); });
  setMinimumSize(812, 580);
  setWindowTitle(AppTitle());

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  PageControl = new QTabWidget(central);
  PageControl->setObjectName("PageControl");
  tsMap = new QWidget(PageControl);
  tsMap->setObjectName("tsMap");
  listPage_ = new TMapListPage(state_, PageControl);
  tsMapList = listPage_;
  PageControl->addTab(tsMap, "Map");
  PageControl->addTab(tsMapList, "List of Maps");
  lInfo = new QLabel(central);
  lInfo->setObjectName("lInfo");
  lInfo->setMinimumHeight(lInfo->fontMetrics().height() + 4);
  lInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The diagnostic panel, for development: its menu item exists only when the marker file
  // "brelo.memo" is in the working directory.
  Memo1 = new QPlainTextEdit(central);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setMaximumHeight(160);
  Memo1->hide();
  layout->addWidget(PageControl, 1);
  layout->addWidget(Memo1);
  // The status row: the information line, and the progress bar of a long command.
  auto* status = new QHBoxLayout;
  status->setContentsMargins(0, 0, 4, 0);
  status->addWidget(lInfo, 1);
  workBar_ = new TWorkBar(lInfo, central);
  status->addWidget(workBar_);
  layout->addLayout(status);
  setCentralWidget(central);
  BuildMapPage(tsMap);
  BuildMapListPage();
  BuildMenus();
  BuildMapMenu();
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) { SwitchPage(index); });
  // Ctrl+Tab and Ctrl+PageDown move between the pages wherever the focus is, Ctrl+Shift+Tab
  // and Ctrl+PageUp back (with two pages, the same move).
  for (const QKeySequence& key :
       {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
        QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
    auto* s = new QShortcut(key, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, [this] { PageControl->setCurrentIndex(1 - PageControl->currentIndex()); });
  }
  SwitchPage(0);
  UpdateMenuState();

  // The default frame around the view centre, until a map is shown.
  state_.View.CanvasWidth = 640, state_.View.CanvasHeight = 482;
  SetDefaultFrame(state_.View, state_.Map);
  const TMapExtent e = MapExtent(state_.View, state_.Map);
  lLevelInfo->setText(QString::asprintf("No map\n%.3gkm x %.3gkm\n%dpx x %dpx\nscale_x/scale_y=%.4f", e.WidthKm,
                                        e.HeightKm, e.WidthPx, e.HeightPx, e.Ratio));
  dialog_ = new TfOpenSaveDialog(settingsFolder_, QCoreApplication::applicationDirPath(), this);
  fMapCreation = new TfMapCreation(*dialog_, state_.Settings, this);
  fMapCreation->Memo = [this](const std::vector<std::string>& memo) {
    state_.Memo = memo;
    QStringList lines;
    for (const auto& l : memo) lines << Q(l);
    Memo1->setPlainText(lines.join('\n'));
  };
  fMapCreation->ErrorBox = [this](const QString& text) { ShowError(text); };
}

TfMain::~TfMain() = default;

QString TfMain::AppTitle() {
  const QStringList parts = QString(BRELO_VERSION).split('.');
  return "brelo " + (parts.size() >= 2 ? parts[0] + "." + parts[1] : QString()) + "beta";
}

void TfMain::ShowError(const QString& text) {
  if (ErrorBox) ErrorBox(text);
  QString line = text;
  line.replace('\n', ' ');
  lInfo->setText(line);
}

void TfMain::SetInfo(const QString& text) {
  lInfo->setText(text);
  lInfo->repaint();
}

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
  connect(MAP2JNX1, &QAction::triggered, this, [this] { MAP2JNX1Click(); });
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
  // One Quit shortcut for the whole window, held by the window itself, so that it works on
  // either page and is never ambiguous.
  for (QAction* q : {miQuit, miQuit1}) connect(q, &QAction::triggered, this, &QWidget::close);
  auto* quit = new QAction(this);
  quit->setObjectName("acQuit");
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setShortcutContext(Qt::WindowShortcut);
  addAction(quit);
  connect(quit, &QAction::triggered, this, &QWidget::close);
  for (QAction* q : {miQuit, miQuit1}) q->setToolTip(quit->shortcut().toString(QKeySequence::NativeText));
  connect(miOpenJNX, &QAction::triggered, this, [this] { miOpenJNXClick(); });
  connect(miLoadGPX, &QAction::triggered, this, [this] { miLoadGPXClick(); });
  connect(miSaveTAR, &QAction::triggered, this, [this] { miSaveTARClick(); });
  connect(miExportLevel, &QAction::triggered, this, [this] { ExportLevel(mapPage_->iMap->Level + 1); });
  connect(miExportLevel1, &QAction::triggered, this, [this] { ExportLevel(listPage_->CurrentLevelRow()); });
  connect(miRedrawMap, &QAction::triggered, this, [this] {
    FreeTileCache(state_.Map);
    mapPage_->iMap->RedrawMap();
  });
  auto level = [this](TMapPage::TLevelSender sender) {
    const int p = mapPage_->ChangeLevel(sender);
    if (p >= 0) listPage_->SetCurrentLevelRow(p + 1);
  };
  connect(miPrevLevel, &QAction::triggered, this, [level] { level(TMapPage::TLevelSender::Prev); });
  connect(miNextLevel, &QAction::triggered, this, [level] { level(TMapPage::TLevelSender::Next); });
  mapPage_->LevelButtons = [this](bool prev, bool next) {
    miPrevLevel->setEnabled(prev);
    miNextLevel->setEnabled(next);
  };
  mapPage_->SelectionChanged = [this](bool any) { miDeleteTiles->setVisible(any); };
  connect(miDeleteTiles, &QAction::triggered, this, [this] { miDeleteTilesClick(); });
  miDeleteTiles->setVisible(false);
  // The Delete key on the map is the same command, with the same question.
  miDeleteTiles->setShortcut(QKeySequence::Delete);
  miDeleteTiles->setShortcutContext(Qt::WidgetShortcut);
  mapPage_->iMap->addAction(miDeleteTiles);
  connect(miOpenJNX1, &QAction::triggered, this, [this] { miOpenJNXClick(); });
  connect(miAutoUpdateMap, &QAction::toggled, this, [this](bool on) {
    state_.Settings.AutoUpdateMap = on;
    UpdateMenuState();
  });
  connect(miSaveMap, &QAction::triggered, this, [this] { miSaveMapClick(); });
  connect(miSaveLevel, &QAction::triggered, this, [this] { miSaveLevelClick(); });
  connect(miSaveLevel1, &QAction::triggered, this, [this] { miSaveLevelClick(); });
  connect(miUpdateMapNow, &QAction::triggered, this, [this] { miUpdateMapNowClick(TUpdateFrom::UpdateMapNow); });
  connect(miSaveTiles, &QAction::triggered, this, [this] { miSaveTilesClick(); });
  for (QAction* a : miAddDummyLevel->actions())
    connect(a, &QAction::triggered, this, [this, a] { AddDummyLevel(a->text()); });
  miSaveTAR->setEnabled(false);
  miExportLevel->setEnabled(false);
  for (QAction* a : {miSaveLevel, miSaveLevel1, miSaveMap, miSaveTiles, miExportLevel1}) a->setVisible(false);
  miUpdateMap->menuAction()->setVisible(false);
  miPrevLevel->setVisible(false);
  miNextLevel->setVisible(false);
  miAddDummyLevel->menuAction()->setVisible(false);
}

void TfMain::BuildMapPage(QWidget* page) {
  auto* layout = new QHBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  mapPage_ = new TMapPage(state_, page);
  layout->addWidget(mapPage_);
  lLevelInfo = mapPage_->lLevelInfo;
  eScale = mapPage_->eScale;
  lbMaps = mapPage_->lbMaps;
  mapPage_->MapTabActive = &mapTabActive_;
  mapPage_->Info = [this](const QString& t) { lInfo->setText(t); };
  mapPage_->iMap->Error = [this](const QString& text) { ShowError(text); };
  connect(lbMaps, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { lbMapsClick(lbMaps->row(item)); });
  // A name wider than the list is readable in full as the hint of the entry under the pointer.
  lbMaps->setMouseTracking(true);
  connect(lbMaps, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) {
    const bool wide = QFontMetrics(lbMaps->font()).horizontalAdvance(item->text()) + 8 > lbMaps->viewport()->width();
    item->setToolTip(wide ? item->text() : QString());
  });
}

void TfMain::BuildNavigateMenu() {
  // The map's keys, shown with their shortcuts; they act while the map has the keyboard.
  miNavigate = mmMap->addMenu("&Navigate");
  miNavigate->setObjectName("miNavigate");
  TMapPage* page = mapPage_;
  auto key = [this, page](const char* name, const QString& caption, QList<QKeySequence> keys, auto run) {
    QAction* a = miNavigate->addAction(caption);
    a->setObjectName(name);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WidgetShortcut);
    page->iMap->addAction(a);
    connect(a, &QAction::triggered, this, run);
    return a;
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
}

void TfMain::BuildMapMenu() {
  pmMap = new QMenu(mapPage_->iMap);
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
      state_.Gpx.CheckedTrackColor = static_cast<int>(i);
      mapPage_->iMap->Options.TrackColour = static_cast<int>(i);
      mapPage_->iMap->ForceRedrawMap();
    });
  }
  mapPage_->iMap->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(mapPage_->iMap, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmMap->popup(mapPage_->iMap->mapToGlobal(at)); });
  connect(begin, &QAction::triggered, this, [this] {
    // A new track of one point where the right click was, shown at once.
    TMapCanvas& canvas = *mapPage_->iMap;
    TWpt p;
    p.Latitude = YToLat(state_.View, state_.Map, canvas.DragLastY);
    p.Longitude = XToLon(state_.View, state_.Map, canvas.DragLastX);
    state_.Gpx.Track = {p};
    canvas.ForceRedrawMap();
    SetInfo(Q(TrackLengthText(state_.Gpx.Track)));
  });
  connect(removeLast, &QAction::triggered, this, [this] {
    if (!state_.Gpx.Track.empty()) state_.Gpx.Track.pop_back();
    mapPage_->iMap->ForceRedrawMap();
    SetInfo(Q(TrackLengthText(state_.Gpx.Track)));
  });
  connect(save, &QAction::triggered, this, [this] { SaveTrackAs(); });
}

void TfMain::BuildMapListPage() {
  TMapListPage& page = *listPage_;
  page.LoadMap = [this](const std::string& path) { LoadListedMap(path); };
  page.ShowMapPage = [this] {
    PageControl->setCurrentIndex(0);
    mapPage_->iMap->ForceRedrawMap();
  };
  page.UpdateMapNow = [this] { miUpdateMapNow->trigger(); };
  page.LevelChosen = [this](int level) {
    mapPage_->iMap->Level = level;
    mapPage_->ChangeLevel(TMapPage::TLevelSender::None);
  };
}

void TfMain::SwitchPage(int index) {
  mmMap->setVisible(index == 0);
  mmMapList->setVisible(index == 1);
  mapTabActive_ = index == 0;
  if (index == 1) lInfo->clear();
  if (index == 0 && mapPage_->iMap->isVisible()) mapPage_->iMap->ForceRedrawMap();
  if (!state_.Map.CurrentFile.empty()) {
    const std::string& path = state_.Map.CurrentFile;
    setWindowTitle(AppTitle() + " - " + DisplayName(index == 1 ? CaptionFolder(FolderOf(path)) : path));
  }
}

void TfMain::UpdateMenuState() {
  miAutoUpdateMap->setChecked(state_.Settings.AutoUpdateMap);
  miUpdateMapNow->setVisible(!state_.Settings.AutoUpdateMap);
  miUpdateMap->setTitle(state_.Settings.AutoUpdateMap ? "AutoUpdateMap" : "UpdateMap");
}

void TfMain::PlaceWindow() {
  const TSettings& s = state_.Settings;
  QRect r(s.Left, s.Top, std::max(s.Width, 812), std::max(s.Height, 580));
  // A position saved on a screen that is gone comes back onto one that is there.
  if (!QGuiApplication::screenAt(r.center()) && QGuiApplication::primaryScreen()) {
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    r.moveCenter(avail.center());
    r.moveTopLeft(QPoint(std::max(avail.left(), r.left()), std::max(avail.top(), r.top())));
  }
  setGeometry(r);
  normalGeometry_ = r;
}

void TfMain::ReadSettingsFile() {
  std::vector<std::string> lines;
  try {
    const auto bytes = ReadFileBytes(S(settingsFolder_ + "/brelo.ini"));
    lines = SplitLines(std::string(bytes.begin(), bytes.end()));
  } catch (const EBreloError&) {
    // A missing or unreadable settings file leaves every default.
  }
  TSettings defaults = state_.Settings;
  state_.Settings = ReadSettings(lines, defaults);
  // A scale outside the offered range (an older or edited file) comes back into it.
  state_.Settings.Scale = ClampViewScale(state_.Settings.Scale);
  const TSettings& s = state_.Settings;
  state_.View.ViewScale = s.Scale;
  state_.View.ViewCentreLat = s.Latitude;
  state_.View.ViewCentreLon = s.Longitude;
  PlaceWindow();
  if (!s.Groups.empty()) state_.MapGroups = s.Groups;
  eScale->setText(Q(ShortestNumber(state_.View.ViewScale)));
  mapPage_->cbDrawGrid->setChecked(s.DrawGrid);
  mapPage_->cbDrawCrosshair->setChecked(s.DrawCrosshair);
  mapPage_->cbDrawTrack->setChecked(s.DrawTrack);
  mapPage_->cbDrawWaypoints->setChecked(s.DrawWaypoints);
  mapPage_->ApplyOptions();
  UpdateMenuState();
  fMapCreation->leTileW->setText(QString::number(s.TileWidth));
  fMapCreation->leTileH->setText(QString::number(s.TileHeight));
}

bool TfMain::WriteSettingsFile() {
  TSettings s = state_.Settings;
  s.Scale = state_.View.ViewScale;
  s.Latitude = state_.View.ViewCentreLat;
  s.Longitude = state_.View.ViewCentreLon;
  const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
  const QRect r = normal ? geometry() : normalGeometry_;
  s.Left = r.left(), s.Top = r.top(), s.Width = r.width(), s.Height = r.height();
  s.Groups = state_.MapGroups;
  const std::string text = SettingsText(s, normal);
  bool written = true;
  try {
    WriteFileBytes(S(settingsFolder_ + "/brelo.ini"), text.data(), text.size());
  } catch (const EBreloError& e) {
    std::cerr << "brelo: the settings were not saved: " << e.what() << '\n';
    written = false;
  }
  // The dialog's settings go beside them whatever became of brelo.ini.
  if (!dialog_->WriteSettings()) {
    std::cerr << "brelo: " << S(settingsFolder_) << "/OpenSave.ini: the dialog's settings were not saved\n";
    written = false;
  }
  return written;
}

void TfMain::FirstActivation(const std::vector<std::string>& arguments) {
  if (state_.Activated) return;
  state_.Activated = true;
  if (!state_.Settings.AutoLoadWaypoints.empty()) {
    // A conversion error keeps what was read before it, and is shown.
    try {
      ReadGpx(state_.Settings.AutoLoadWaypoints, state_.Gpx);
    } catch (const EBreloError& e) {
      mapPage_->FillWaypoints();
      ShowError(QString::fromStdString(e.what()));
      return;
    }
    mapPage_->FillWaypoints();
  }
  if (arguments.size() < 2 || LowerAscii(ExtensionOf(arguments[1])) != ".jnx") return;
  // A file that does not load is said once; its folder is not scanned and nothing is stored.
  const std::string path = AbsolutePath(arguments[1]);
  if (!ShowJnx(path, true)) return;
  QCoreApplication::processEvents();
  RefreshMapList();
  state_.Settings.LastJNXFile = path;
  NoteRecent(path);
  if (arguments.size() > 2) {
    QStringList rest;
    for (std::size_t i = 2; i < arguments.size(); ++i) rest << DisplayName(FileNameOf(arguments[i]));
    SetInfo("Not opened (one map at a time): " + rest.join(", "));
  }
}

bool TfMain::AskFile(const QString& caption, const QString& filter, const std::string& last, bool save,
                     const QString& name, const QString& defaultExt) {
  TfOpenSaveDialog& d = *dialog_;
  d.SaveMode = save;
  d.Filter = filter;
  d.DefaultExt = defaultExt;
  const QString file = DisplayName(last);
  d.Folder = file.isEmpty() ? QString() : DisplayName(FolderOf(last));
  d.FileName = name.isEmpty() ? file : name;
  d.setWindowTitle(caption);
  return d.Execute();
}

void TfMain::miOpenJNXClick() {
  if (!AskFile("Open JNX map", "*.jnx", state_.Settings.LastJNXFile, false)) return;
  if (!ConfirmLeaveMap()) return;
  SetInfo("Ok");
  OpenMap(dialog_->Path());  // says which files of the folder did not load, if any
}

void TfMain::OpenMap(const std::string& path) {
  // A file that does not load leaves the workspace as it was.
  if (!ShowJnx(path, true)) return;
  RefreshMapList();
  state_.Settings.LastJNXFile = path;
  NoteRecent(path);
}

bool TfMain::ConfirmLeaveMap() {
  if (state_.Map.CurrentFile.empty() || !listPage_->HasUnwrittenEdits()) return true;
  const QString name = DisplayName(FileNameOf(state_.Map.CurrentFile));
  switch (Question("Write the changes to " + name + "?", QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                   QMessageBox::Save)) {
    case QMessageBox::Save:
      miUpdateMapNowClick(TUpdateFrom::UpdateMapNow);
      return !listPage_->HasUnwrittenEdits();  // a failed write keeps the user on the map
    case QMessageBox::Discard: return true;
    default: return false;
  }
}

bool TfMain::LoadListedMap(const std::string& path) {
  if (path == state_.Map.CurrentFile) return true;
  if (!ConfirmLeaveMap()) return false;
  return ShowJnx(path, true);
}

void TfMain::RefreshMapList(bool takeFocus) {
  const bool buildGroups = state_.MapGroups.empty();
  const std::string folder = FolderOf(state_.Map.CurrentFile);
  TFolderScan scan;
  try {
    scan = ScanJnxFolder(folder);
  } catch (const EBreloError& e) {
    ShowError(Q(e.what()));
    return;
  }
  // Edits of the loaded map not yet written survive the new listing.
  const std::string loaded = state_.Map.CurrentFile;
  const bool keepEdits = listPage_->HasUnwrittenEdits();
  const TMapEditCells edits = listPage_->CellsFromTables();
  lbMaps->clear();
  listPage_->BeginScan(static_cast<int>(scan.Maps.size()));
  int row = 0;
  for (const auto& m : scan.Maps) {
    listPage_->FillMapRow(m.Path, m.Header, ++row);
    auto* item = new QListWidgetItem(DisplayName(FileNameOf(m.Path)), lbMaps);
    item->setData(Qt::UserRole, QByteArray::fromStdString(m.Path));
    if (buildGroups) state_.MapGroups.push_back(MapGroupItem(m.Header));
  }
  listPage_->EndScan(state_.Map.CurrentFile);
  for (int r = 0; r < static_cast<int>(scan.Maps.size()); ++r)
    if (scan.Maps[static_cast<std::size_t>(r)].Path == state_.Map.CurrentFile) lbMaps->setCurrentRow(r);
  if (row > 0 && takeFocus) listPage_->sgMaps->setFocus();
  folderSignature_ = JnxFolderSignature(folder);
  // One file that does not load, or an outline that cannot be written, does not stop the rest.
  QStringList problems;
  for (const auto& u : scan.Unreadable) {
    // The reason without the path it starts with: the file's name comes first already.
    const std::string reason = u.Reason.rfind(u.Path + ": ", 0) == 0 ? u.Reason.substr(u.Path.size() + 2) : u.Reason;
    problems << DisplayName(FileNameOf(u.Path)) + ": " + Q(reason);
  }
  const QString outline = Q(outlineNotice_.Next(folder, WriteFolderOutline(folder, scan)));
  if (ShowJnx(state_.Map.CurrentFile, true) && keepEdits && state_.Map.CurrentFile == loaded)
    listPage_->RestoreCells(edits);
  dialog_->FileName = DisplayName(state_.Map.CurrentFile);
  dialog_->Folder = DisplayName(folder);
  for (QAction* a : {miSaveLevel, miSaveMap, miSaveLevel1, miSaveTiles, miExportLevel1}) a->setVisible(true);
  miUpdateMap->menuAction()->setVisible(true);
  QStringList notes;
  if (!problems.isEmpty()) notes << "Not read: " + problems.join("; ");
  if (!outline.isEmpty()) notes << outline;
  if (!notes.isEmpty()) SetInfo(notes.join("; "));
  WatchWorkspace();
}

bool TfMain::ShowJnx(const std::string& path, bool withDetails) {
  // Loaded aside: a file that does not load leaves the loaded map as it was.
  TJnxMap loaded;
  loaded.CurrentFile = path;
  try {
    ReadJnx(loaded, path, withDetails);
  } catch (const EBreloError& e) {
    ShowError(Q(e.what()));
    return false;
  }
  state_.Map = std::move(loaded);
  setWindowTitle(AppTitle() + " - " +
                 DisplayName(PageControl->currentIndex() == 1 ? CaptionFolder(FolderOf(path)) : path));
  if (!withDetails) return true;
  listPage_->FillLevelTable();
  listPage_->MarkLoadedRow();
  listPage_->MarkClean();
  // The check of the tables and of each tile's first bytes follows, without holding the map.
  listPage_->ShowCheck(path, MapCheckOf(state_.Map));
  listPage_->CheckInBackground(path);
  for (int r = 0; r < lbMaps->count(); ++r)
    if (lbMaps->item(r)->data(Qt::UserRole).toByteArray().toStdString() == path) lbMaps->setCurrentRow(r);
  TJnxMap& m = state_.Map;
  const int shown = ShownLevel(m);
  // A view centre off the map moves onto the map's middle.
  TViewState& v = state_.View;
  const bool inside = Diff32(v.ViewCentreLon, m.West) >= 0 && Diff32(m.East, v.ViewCentreLon) >= 0 &&
                      Diff32(v.ViewCentreLat, m.South) >= 0 && Diff32(m.North, v.ViewCentreLat) >= 0;
  if (!inside) {
    v.ViewCentreLon = Midpoint(m.West, m.East);
    v.ViewCentreLat = Midpoint(m.South, m.North);
  }
  miPrevLevel->setVisible(m.LevelCount > 1);
  miNextLevel->setVisible(m.LevelCount > 1);
  miAddDummyLevel->menuAction()->setVisible(CanAddDummyLevel(m));
  const int offered = DummyLevelScaleCount(m);
  const auto items = miAddDummyLevel->actions();
  for (int i = 0; i < items.size(); ++i) items[i]->setVisible(i < offered);
  mapPage_->iMap->Level = shown;
  mapPage_->ChangeLevel(TMapPage::TLevelSender::None);
  PageControl->setTabText(0, QFileInfo(DisplayName(path)).completeBaseName());
  miSaveTAR->setEnabled(true);
  miExportLevel->setEnabled(true);
  WatchWorkspace();
  return true;
}

bool TfMain::ShowTile(int level, int tile) { return listPage_->ShowTile(level, tile); }

void TfMain::lbMapsClick(int row) {
  if (row < 0 || row >= lbMaps->count()) return;
  // The entry's own path: its text may show a name that is not UTF-8 otherwise.
  LoadListedMap(lbMaps->item(row)->data(Qt::UserRole).toByteArray().toStdString());
}

void TfMain::miLoadGPXClick() {
  if (!AskFile("Load GPX file", "*.gpx", state_.Settings.LastGPXFile, false)) return;
  LoadGpxFile(dialog_->Path());
}

void TfMain::LoadGpxFile(const std::string& file) {
  state_.Settings.LastGPXFile = file;
  // A conversion error keeps what was read before it, and is shown.
  QString error;
  try {
    ReadGpx(file, state_.Gpx);
  } catch (const EBreloError& e) {
    error = Q(e.what());
  }
  mapPage_->FillWaypoints();
  mapPage_->cbDrawTrack->setChecked(true);
  mapPage_->cbDrawWaypoints->setChecked(true);
  mapPage_->ApplyOptions();
  if (state_.Gpx.CheckedTrackColor >= 0 && state_.Gpx.CheckedTrackColor < miTrackColor->actions().size()) {
    miTrackColor->actions()[state_.Gpx.CheckedTrackColor]->setChecked(true);
    mapPage_->iMap->Options.TrackColour = state_.Gpx.CheckedTrackColor;
  }
  PageControl->setCurrentIndex(0);
  const TTrackBounds& b = state_.Gpx.TrackBounds;
  if (!state_.Gpx.Track.empty()) mapPage_->FitToBounds(b.MinLat, b.MinLon, b.MaxLat, b.MaxLon);
  if (!error.isEmpty()) ShowError(error);
}

void TfMain::FillRecentMenu(QMenu* menu) {
  menu->clear();
  QStringList gone;
  for (const std::string& path : std::vector<std::string>(recent_->Files())) {
    if (!FileExists(path)) {
      recent_->Remove(path);
      gone << DisplayName(path);
      continue;
    }
    QAction* a = menu->addAction(DisplayName(path));
    connect(a, &QAction::triggered, this, [this, path] {
      if (ConfirmLeaveMap()) OpenMap(path);
    });
  }
  if (menu->isEmpty()) menu->addAction("(none)")->setEnabled(false);
  if (!gone.isEmpty()) {
    recent_->Write();
    SetInfo("No longer there, dropped from the recent files: " + gone.join(", "));
  }
}

void TfMain::NoteRecent(const std::string& path) {
  recent_->Add(path);
  recent_->Write();
}

void TfMain::dragEnterEvent(QDragEnterEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    const QString ext = QFileInfo(url.toLocalFile()).suffix().toLower();
    if (url.isLocalFile() && (ext == "jnx" || ext == "gpx")) {
      event->acceptProposedAction();
      return;
    }
  }
}

void TfMain::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    const std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
    const QString ext = QFileInfo(url.toLocalFile()).suffix().toLower();
    if (ext == "jnx") {
      event->acceptProposedAction();
      if (ConfirmLeaveMap()) OpenMap(path);
      return;
    }
    if (ext == "gpx" && PageControl->currentIndex() == 0) {
      event->acceptProposedAction();
      LoadGpxFile(path);
      return;
    }
  }
}

void TfMain::SaveTrackAs() {
  // The dialog gives the name its ".gpx" before it asks whether to replace a file of that name.
  if (!AskFile("Save track as", "*.gpx", state_.Settings.LastGPXFile, true, "New track.gpx", ".gpx")) return;
  const std::string path = dialog_->Path();
  try {
    WriteTrackGpx(path, state_.Gpx.Track, state_.Gpx.CheckedTrackColor);
    state_.Settings.LastGPXFile = path;
    mapPage_->HoldInfo("Track " + DisplayName(path) + " saved.");
  } catch (const EBreloError& e) {
    ShowError("An error occurred while writing\n" + DisplayName(path) + "\n" + Q(e.what()));
    mapPage_->tNoUpdateInfo.start();
  }
}

void TfMain::miSaveTARClick() {
  std::vector<std::string> memo;
  TCommandResult r;
  RunLong(true, [&](const TWorkMeter& meter, const ProgressSink& line) {
    r = ExportLevelCommand(state_.Map, mapPage_->iMap->Level + 1, {line, &memo, &meter});
  });
  state_.Memo = memo;
  QStringList lines;
  for (const auto& l : memo) lines << Q(l);
  Memo1->setPlainText(lines.join('\n'));
  if (r.Ok)
    mapPage_->HoldInfo(Q(r.Text));
  else
    Show(r);
}

void TfMain::ExportLevel(int level) {
  if (state_.Map.CurrentFile.empty() || level < 1 || level > static_cast<int>(state_.Map.Levels.size())) return;
  const std::string suggested = WithoutExtension(state_.Map.CurrentFile) + Format("_level%d.tif", level);
  if (!AskFile("Export level " + QString::number(level), "*.tif|*.png|*.mbtiles", suggested, true,
               DisplayName(FileNameOf(suggested))))
    return;
  const std::string path = dialog_->Path();
  TGisExportOptions options;
  if (!AskExportOptions(DisplayName(path), options)) return;
  options.Overwrite = true;  // the file dialog asked before a file was chosen to be replaced
  TCommandResult r;
  RunLong(true, [&](const TWorkMeter& meter, const ProgressSink& line) {
    r = ExportGisCommand(state_.Map, level, path, options, line, &meter);
  });
  if (!r.Ok) {
    if (r.Cancelled)
      SetInfo(Q(r.Text));
    else
      Show(r);
    return;
  }
  QStringList notes;
  for (const auto& n : r.Earlier) notes << Q(n);
  mapPage_->HoldInfo(Q(r.Text) + (notes.isEmpty() ? QString() : "; " + notes.join("; ")));
}

void TfMain::RunLong(bool cancellable, const std::function<void(const TWorkMeter&, const ProgressSink&)>& work) {
  // The window takes no input but the bar's Cancel while the command runs; it still paints.
  const QList<QWidget*> closed{PageControl, menuWidget(), Memo1};
  for (QWidget* w : closed) w->setEnabled(false);
  folderChanged_.stop();
  try {
    workBar_->Run(cancellable, work);
  } catch (...) {
    for (QWidget* w : closed) w->setEnabled(true);
    throw;
  }
  for (QWidget* w : closed) w->setEnabled(true);
}

void TfMain::MAP2JNX1Click() {
  fMapCreation->show();
  fMapCreation->raise();
  fMapCreation->activateWindow();
}

void TfMain::closeEvent(QCloseEvent* event) {
  // A long command first stops; the window closes once it has.
  if (workBar_->Running()) {
    workBar_->Cancel();
    event->ignore();
    return;
  }
  if (!ConfirmLeaveMap()) {
    event->ignore();
    return;
  }
  WriteSettingsFile();
  event->accept();
}

void TfMain::WatchWorkspace() {
  const QStringList old = watcher_->files() + watcher_->directories();
  if (!old.isEmpty()) watcher_->removePaths(old);
  if (state_.Map.CurrentFile.empty()) return;
  const std::string folder = FolderOf(state_.Map.CurrentFile);
  watcher_->addPath(QFile::decodeName(QByteArray::fromStdString(folder.empty() ? std::string("./") : folder)));
  if (FileExists(state_.Map.CurrentFile))
    watcher_->addPath(QFile::decodeName(QByteArray::fromStdString(state_.Map.CurrentFile)));
}

void TfMain::FolderChanged() {
  if (state_.Map.CurrentFile.empty()) return;
  if (workBar_->Running()) {
    folderChanged_.start();  // after the command
    return;
  }
  // The loaded file first: another program's change to it is followed, or offered.
  TCommandResult changed = ChangedOnDiskFailure(state_.Map).value_or(TCommandResult{});
  if (changed.ChangedOnDisk) {
    if (!FileExists(state_.Map.CurrentFile)) {
      SetInfo(DisplayName(FileNameOf(state_.Map.CurrentFile)) + " was removed by another program");
    } else if (listPage_->HasUnwrittenEdits()) {
      OfferReload();
      return;
    } else {
      const TBusyCursor busy;
      if (ShowJnx(state_.Map.CurrentFile, true))
        SetInfo(DisplayName(FileNameOf(state_.Map.CurrentFile)) + " changed on disk; loaded again");
    }
  }
  // The listing follows files added, removed or replaced; the loaded map and its edits stay.
  if (JnxFolderSignature(FolderOf(state_.Map.CurrentFile)) == folderSignature_) return;
  const TBusyCursor busy;
  RefreshMapList(false);
}

void TfMain::OfferReload() {
  const std::string path = state_.Map.CurrentFile;
  const QString name = DisplayName(FileNameOf(path));
  if (!FileExists(path)) {
    ShowError(name + " changed on disk since it was loaded: it is gone. Nothing was written.");
    return;
  }
  if (Question(name + " changed on disk since it was loaded. Nothing was written.\n\nLoad it again? Changes not yet "
                      "written are lost.",
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes)
    ShowJnx(path, true);
}

void TfMain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange && windowState() == Qt::WindowNoState) normalGeometry_ = geometry();
  QMainWindow::changeEvent(event);
}

}  // namespace brelo
