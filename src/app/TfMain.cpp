#include "app/TfMain.h"

#include <iostream>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "OpenSaveDialog/TfOpenSaveDialog.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "app/TMapPage.h"
#include "commands/ExportCommand.h"
#include "commands/OutlineCommand.h"
#include "gpx/GarminColors.h"
#include "gpx/GpxWriter.h"
#include "view/MapTexts.h"
#include "view/canvas/TMapCanvas.h"
#include "gpx/GpxReader.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxUpdate.h"
#include "jnx/ScaleTable.h"
#include "tables/MapTables.h"
#include "StringGridEx/TStringGridEx.h"
#include "tables/TMapListPage.h"
#include "uMapCreation/dialog/TfMapCreation.h"
#include "uMapCreation/MapSource.h"

namespace brelo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

TfMain::TfMain(TAppState& state, const QString& settingsFolder, QWidget* parent)
    : QMainWindow(parent), state_(state), settingsFolder_(settingsFolder) {
  setObjectName("TfMain");
  ErrorBox = [this](const QString& text) { QMessageBox::critical(this, "brelo", text); };
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
  layout->addWidget(lInfo);
  setCentralWidget(central);
  BuildMapPage(tsMap);
  BuildMapListPage();
  BuildMenus();
  BuildMapMenu();
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) { SwitchPage(index); });
  // Ctrl+Tab and Ctrl+PageDown move between the pages wherever the focus is.
  for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
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

  auto action = [this](QMenuBar* bar, const char* name, const QString& caption) {
    QAction* a = bar->addAction(caption);
    a->setObjectName(name);
    return a;
  };
  miOpenJNX = action(mmMap, "miOpenJNX", "&OpenJNX...");
  miSaveLevel = action(mmMap, "miSaveLevel", "&SaveLevel");
  miSaveTAR = action(mmMap, "miSaveTAR", "SaveTAR");
  MAP2JNX1 = action(mmMap, "MAP2JNX1", "MAP2JNX...");
  connect(MAP2JNX1, &QAction::triggered, this, [this] { MAP2JNX1Click(); });
  miLoadGPX = action(mmMap, "miLoadGPX", "&LoadGPX...");
  miPrevLevel = action(mmMap, "miPrevLevel", "PrevLevel");
  miNextLevel = action(mmMap, "miNextLevel", "NextLevel");
  miDeleteTiles = action(mmMap, "miDeleteTiles", "DeleteTiles");
  miRedrawMap = action(mmMap, "miRedrawMap", "&RedrawMap");
  ShowMemo1 = action(mmMap, "ShowMemo1", "ShowMemo");
  ShowMemo1->setVisible(QFileInfo::exists("brelo.memo"));
  connect(ShowMemo1, &QAction::triggered, this, [this] { Memo1->setVisible(!Memo1->isVisible()); });
  miQuit = action(mmMap, "miQuit", "Quit");
  miOpenJNX1 = action(mmMapList, "miOpenJNX1", "OpenJNX...");
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
  miQuit1 = action(mmMapList, "miQuit1", "Quit");
  for (QAction* q : {miQuit, miQuit1}) {
    q->setShortcut(QKeySequence::Quit);
    q->setShortcutContext(Qt::WindowShortcut);
    addAction(q);
    connect(q, &QAction::triggered, this, &QWidget::close);
  }
  connect(miOpenJNX, &QAction::triggered, this, [this] { miOpenJNXClick(); });
  connect(miLoadGPX, &QAction::triggered, this, [this] { miLoadGPXClick(); });
  connect(miSaveTAR, &QAction::triggered, this, [this] { miSaveTARClick(); });
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
  for (QAction* a : {miSaveLevel, miSaveLevel1, miSaveMap, miSaveTiles}) a->setVisible(false);
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
  connect(lbMaps, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { lbMapsClick(lbMaps->row(item)); });
  // A name wider than the list is readable in full as the hint of the entry under the pointer.
  lbMaps->setMouseTracking(true);
  connect(lbMaps, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) {
    const bool wide = QFontMetrics(lbMaps->font()).horizontalAdvance(item->text()) + 8 > lbMaps->viewport()->width();
    item->setToolTip(wide ? item->text() : QString());
  });
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
    // A new track from the point of the right click.
    state_.Gpx.Track.clear();
    mapPage_->iMap->AddTrackPointAt(mapPage_->iMap->DragLastX, mapPage_->iMap->DragLastY);
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
  page.LoadMap = [this](const std::string& path) { ShowJnx(Q(path), true); };
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
    const QString path = Q(state_.Map.CurrentFile);
    setWindowTitle(AppTitle() + " - " + (index == 1 ? QFileInfo(path).path() : path));
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

bool TfMain::WriteSettingsFile() const {
  TSettings s = state_.Settings;
  s.Scale = state_.View.ViewScale;
  s.Latitude = state_.View.ViewCentreLat;
  s.Longitude = state_.View.ViewCentreLon;
  const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
  const QRect r = normal ? geometry() : normalGeometry_;
  s.Left = r.left(), s.Top = r.top(), s.Width = r.width(), s.Height = r.height();
  s.Groups = state_.MapGroups;
  const std::string text = SettingsText(s, normal);
  try {
    WriteFileBytes(S(settingsFolder_ + "/brelo.ini"), text.data(), text.size());
  } catch (const EBreloError& e) {
    std::cerr << "brelo: the settings were not saved: " << e.what() << '\n';
    return false;
  }
  if (!dialog_->WriteSettings())
    std::cerr << "brelo: " << S(settingsFolder_) << "/OpenSave.ini: the dialog's settings were not saved\n";
  return true;
}

void TfMain::FirstActivation(const QStringList& arguments) {
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
  if (arguments.size() < 2 || !arguments[1].toLower().endsWith(".jnx")) return;
  QString path = arguments[1];
  if (!QFileInfo(QFileInfo(path).path()).isDir() || QFileInfo(path).path() == ".")
    path = QDir::currentPath() + "/" + path;
  state_.Map.CurrentFile = S(QDir::cleanPath(path));
  ShowJnx(Q(state_.Map.CurrentFile), true);
  QCoreApplication::processEvents();
  RefreshMapList();
  state_.Settings.LastJNXFile = state_.Map.CurrentFile;
}

bool TfMain::AskFile(const QString& caption, const QString& filter, const std::string& last, bool save,
                     const QString& name) {
  TfOpenSaveDialog& d = *dialog_;
  d.SaveMode = save;
  d.Filter = filter;
  const QString file = Q(last);
  d.Folder = file.isEmpty() ? QString() : QFileInfo(file).path() + "/";
  d.FileName = name.isEmpty() ? file : name;
  d.setWindowTitle(caption);
  return d.Execute();
}

void TfMain::miOpenJNXClick() {
  if (!AskFile("Open JNX map", "*.jnx", state_.Settings.LastJNXFile, false)) return;
  OpenMap(dialog_->FileName);
  SetInfo("Ok");
}

void TfMain::OpenMap(const QString& path) {
  state_.Map.CurrentFile = S(path);
  RefreshMapList();
  state_.Settings.LastJNXFile = S(path);
}

void TfMain::RefreshMapList() {
  const bool buildGroups = state_.MapGroups.empty();
  lbMaps->clear();
  const std::string folder = FolderOf(state_.Map.CurrentFile);
  TFolderScan scan;
  try {
    scan = ScanJnxFolder(folder);
  } catch (const EBreloError& e) {
    ShowError(Q(e.what()));
    return;
  }
  listPage_->BeginScan(static_cast<int>(scan.Maps.size()));
  QStringList names;
  int row = 0;
  for (const auto& m : scan.Maps) {
    listPage_->FillMapRow(m.Path, m.Header, ++row);
    names << Q(FileNameOf(m.Path));
    if (buildGroups) state_.MapGroups.push_back(MapGroupItem(m.Header));
  }
  listPage_->EndScan(state_.Map.CurrentFile);
  lbMaps->addItems(names);
  for (int r = 0; r < static_cast<int>(scan.Maps.size()); ++r)
    if (scan.Maps[static_cast<std::size_t>(r)].Path == state_.Map.CurrentFile) lbMaps->setCurrentRow(r);
  if (row > 0) listPage_->sgMaps->setFocus();
  // One file that does not load, or an outline that cannot be written, does not stop the rest.
  QStringList problems;
  for (const auto& u : scan.Unreadable) problems << Q(FileNameOf(u.Path)) + ": " + Q(u.Reason);
  const TCommandResult outline = WriteFolderOutline(folder, scan);
  if (!outline.Ok) problems << Q(outline.Text);
  ShowJnx(Q(state_.Map.CurrentFile), true);
  dialog_->FileName = Q(state_.Map.CurrentFile);
  dialog_->Folder = Q(folder);
  for (QAction* a : {miSaveLevel, miSaveMap, miSaveLevel1, miSaveTiles}) a->setVisible(true);
  miUpdateMap->menuAction()->setVisible(true);
  if (!problems.isEmpty()) SetInfo("Not read: " + problems.join("; "));
}

void TfMain::ShowJnx(const QString& path, bool withDetails) {
  try {
    ReadJnx(state_.Map, S(path), withDetails);
  } catch (const EBreloError& e) {
    ShowError(Q(e.what()));
    return;
  }
  state_.Map.CurrentFile = S(path);
  setWindowTitle(AppTitle() + " - " + (PageControl->currentIndex() == 1 ? QFileInfo(path).path() : path));
  if (!withDetails) return;
  listPage_->FillLevelTable();
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
  PageControl->setTabText(0, QFileInfo(path).completeBaseName());
  miSaveTAR->setEnabled(true);
}

bool TfMain::ShowTile(int level, int tile) { return listPage_->ShowTile(level, tile); }

void TfMain::lbMapsClick(int row) {
  if (row < 0 || row >= lbMaps->count()) return;
  ShowJnx(Q(FolderOf(state_.Map.CurrentFile)) + lbMaps->item(row)->text(), true);
}

void TfMain::miLoadGPXClick() {
  if (!AskFile("Load GPX file", "*.gpx", state_.Settings.LastGPXFile, false)) return;
  TfOpenSaveDialog& d = *dialog_;
  state_.Settings.LastGPXFile = S(d.FileName);
  // A conversion error keeps what was read before it, and is shown.
  QString error;
  try {
    ReadGpx(S(d.FileName), state_.Gpx);
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

void TfMain::SaveTrackAs() {
  if (!AskFile("Save track as", "*.gpx", state_.Settings.LastGPXFile, true, "New track.gpx")) return;
  QString path = dialog_->FileName;
  if (!path.toLower().endsWith(".gpx")) path += ".gpx";
  try {
    WriteTrackGpx(S(path), state_.Gpx.Track, state_.Gpx.CheckedTrackColor);
    state_.Settings.LastGPXFile = S(path);
    mapPage_->HoldInfo("Track " + path + " saved.");
  } catch (const EBreloError& e) {
    mapPage_->HoldInfo(Q(e.what()));
  }
}

void TfMain::miSaveTARClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::vector<std::string> memo;
  TExportReport report{[this](const std::string& line) { SetInfo(Q(line)); }, &memo};
  const TCommandResult r = ExportLevelCommand(state_.Map, mapPage_->iMap->Level + 1, report);
  QApplication::restoreOverrideCursor();
  state_.Memo = memo;
  QStringList lines;
  for (const auto& l : memo) lines << Q(l);
  Memo1->setPlainText(lines.join('\n'));
  if (r.Ok)
    mapPage_->HoldInfo(Q(r.Text));
  else
    ShowError(Q(r.Text));
}

void TfMain::MAP2JNX1Click() {
  fMapCreation->show();
  fMapCreation->raise();
  fMapCreation->activateWindow();
}

void TfMain::closeEvent(QCloseEvent* event) {
  WriteSettingsFile();
  event->accept();
}

void TfMain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange && windowState() == Qt::WindowNoState) normalGeometry_ = geometry();
  QMainWindow::changeEvent(event);
}

}  // namespace brelo
