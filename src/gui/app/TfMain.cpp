// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/TfMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <iostream>

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "gpx/GpxWriter.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/DisplayName.h"
#include "gui/common/InfoLine.h"
#include "gui/common/LongWork.h"
#include "gui/common/WorkBar.h"
#include "gui/export/TfExportLevel.h"
#include "gui/mappage/TMapPage.h"
#include "gui/session/TMapSession.h"
#include "gui/tables/MapTables.h"
#include "gui/tables/TMapListPage.h"
#include "gui/uMapCreation/TfMapCreation.h"
#include "view/MapTexts.h"

namespace brelo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// The window's least size: the design's 812 x 580, or less on a smaller screen.
constexpr int kMinWidth = 812, kMinHeight = 580;

// A question with its buttons' mnemonics (Alt+S, Alt+D, Alt+C, Alt+Y, Alt+N).
QMessageBox::StandardButton AskWithMnemonics(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
  QMessageBox box(QMessageBox::Question, "brelo", text, buttons, parent);
  box.setDefaultButton(defaultButton);
  const std::pair<QMessageBox::StandardButton, const char*> captions[] = {{QMessageBox::Save, "&Save"},
                                                                          {QMessageBox::Discard, "&Discard"},
                                                                          {QMessageBox::Cancel, "&Cancel"},
                                                                          {QMessageBox::Yes, "&Yes"},
                                                                          {QMessageBox::No, "&No"}};
  for (const auto& [button, caption] : captions)
    if (QAbstractButton* b = box.button(button)) b->setText(caption);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

TfMain::TfMain(TAppState& state, const QString& settingsFolder, QWidget* parent)
    : QMainWindow(parent), state_(state), settingsFolder_(settingsFolder) {
  setObjectName("TfMain");
  session_ = new TMapSession(this);
  longWork_ = new TLongWork(this);
  ErrorBox = [this](const QString& text) { QMessageBox::critical(this, "brelo", text); };
  Question = [this](const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
    return AskWithMnemonics(this, text, buttons, def);
  };
  auto* exportOptions = new TfExportLevel(this);
  AskExportOptions = [exportOptions](const QString& path, TGisExportOptions& options) {
    return exportOptions->Execute(path, options);
  };
  setAcceptDrops(true);
  recent_ = std::make_unique<TRecentFiles>(S(settingsFolder_ + "/recent.ini"));
  recent_->Read();
  setMinimumSize(kMinWidth, kMinHeight);
  setWindowTitle(AppTitle());

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  PageControl = new QTabWidget(central);
  PageControl->setObjectName("PageControl");
  auto* tsMap = new QWidget(PageControl);
  tsMap->setObjectName("tsMap");
  auto* mapLayout = new QHBoxLayout(tsMap);
  mapLayout->setContentsMargins(0, 0, 0, 0);
  mapPage_ = new TMapPage(*session_, state_, tsMap);
  mapLayout->addWidget(mapPage_);
  listPage_ = new TMapListPage(*session_, state_, PageControl);
  PageControl->addTab(tsMap, "Map");
  PageControl->addTab(listPage_, "List of Maps");
  lInfo = new TInfoLine(central);
  lInfo->setObjectName("lInfo");
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

  dialog_ = new TfOpenSaveDialog(settingsFolder_, QCoreApplication::applicationDirPath(), this);
  fMapCreation = new TfMapCreation(*dialog_, state_.Settings, *longWork_, this);
  connect(fMapCreation, &TfMapCreation::Memo, this, [this](const std::vector<std::string>& memo) { ShowMemo(memo); });
  fMapCreation->ErrorBox = [this](const QString& text) { ShowError(text); };

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

  // The pages ask; the window decides (a question first, the commands).
  connect(mapPage_, &TMapPage::Info, this, [this](const QString& t) { lInfo->setText(t); });
  connect(mapPage_, &TMapPage::Error, this, [this](const QString& t) { ShowError(t); });
  connect(mapPage_, &TMapPage::OpenRequested, this, [this](const std::string& path) { LoadListedMap(path); });
  connect(mapPage_, &TMapPage::MenuRequested, this, [this](QPoint at) { pmMap->popup(at); });
  connect(listPage_, &TMapListPage::OpenRequested, this, [this](const std::string& path) { LoadListedMap(path); });
  connect(listPage_, &TMapListPage::MapPageRequested, this, [this] { PageControl->setCurrentIndex(0); });
  connect(listPage_, &TMapListPage::EditCommitted, this, [this] {
    if (state_.Settings.AutoUpdateMap) miUpdateMapNow->trigger();
  });
  // The document tells the window what changed.
  connect(session_, &TMapSession::MapLoaded, this, [this] { FollowMapState(); });
  connect(session_, &TMapSession::LevelChanged, this, [this] { FollowMapState(); });
  connect(session_, &TMapSession::SelectionChanged, this,
          [this] { miDeleteTiles->setVisible(!session_->ChosenTiles().empty()); });
  connect(session_, &TMapSession::ChangedOnDisk, this, [this] { OfferReload(); });
  connect(session_, &TMapSession::Notice, this, [this](const QString& t) { SetInfo(t); });
  // Long commands: the rest of the window takes no input but the bar's Cancel meanwhile, and
  // changes on disk are looked at after them.
  connect(longWork_, &TLongWork::Started, this, [this] {
    session_->Hold(true);
    for (QWidget* w : {static_cast<QWidget*>(PageControl), menuWidget(), static_cast<QWidget*>(Memo1)})
      w->setEnabled(false);
  });
  connect(longWork_, &TLongWork::Finished, this, [this] {
    for (QWidget* w : {static_cast<QWidget*>(PageControl), menuWidget(), static_cast<QWidget*>(Memo1)})
      w->setEnabled(true);
    session_->Hold(false);
    if (quitPending_) QTimer::singleShot(0, this, [this] { close(); });
  });

  SwitchPage(0);
  UpdateMenuState();
  FollowMapState();
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

void TfMain::ShowMemo(const std::vector<std::string>& memo) {
  state_.Memo = memo;
  QStringList lines;
  for (const auto& l : memo) lines << Q(l);
  Memo1->setPlainText(lines.join('\n'));
}

void TfMain::SwitchPage(int index) {
  mmMap->setVisible(index == 0);
  mmMapList->setVisible(index == 1);
  if (index == 1) lInfo->clear();
  if (index == 0) mapPage_->Redraw(false);
  ShowCaption();
}

void TfMain::ShowCaption() {
  if (!session_->HasMap()) {
    setWindowTitle(AppTitle());
    return;
  }
  const std::string& path = session_->File();
  setWindowTitle(AppTitle() + " - " +
                 DisplayName(PageControl->currentIndex() == 1 ? CaptionFolder(FolderOf(path)) : path));
}

// Settings and the window's place --------------------------------------------------------------

void TfMain::PlaceWindow() {
  const TSettings& s = state_.Settings;
  QRect r(s.Left, s.Top, std::max(s.Width, kMinWidth), std::max(s.Height, kMinHeight));
  // The screen the window opens on: the one its saved place is on, else the primary one.
  QScreen* screen = QGuiApplication::screenAt(r.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen) {
    const QRect avail = screen->availableGeometry();
    // A window never larger than its screen, and wholly on it: a place saved on a larger or
    // denser screen, or one that is gone, comes back onto this one.
    setMinimumSize(std::min(kMinWidth, avail.width()), std::min(kMinHeight, avail.height()));
    r.setWidth(std::min(r.width(), avail.width()));
    r.setHeight(std::min(r.height(), avail.height()));
    if (!avail.contains(r)) {
      r.moveLeft(std::clamp(r.left(), avail.left(), avail.right() + 1 - r.width()));
      r.moveTop(std::clamp(r.top(), avail.top(), avail.bottom() + 1 - r.height()));
    }
  }
  setGeometry(r);
  normalGeometry_ = r;
}

void TfMain::FitScreen() {
  // Shown on a screen smaller than the design's size (a dense screen at double scale): the
  // window's least size follows it, and the window with its frame stays on it.
  QScreen* s = screen();
  if (!s) return;
  const QRect avail = s->availableGeometry();
  const QRect frame = frameGeometry(), inner = geometry();
  const QSize margins(frame.width() - inner.width(), frame.height() - inner.height());
  setMinimumSize(std::min(kMinWidth, avail.width() - margins.width()),
                 std::min(kMinHeight, avail.height() - margins.height()));
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
  if (avail.contains(frame)) return;
  const QSize size(std::min(inner.width(), avail.width() - margins.width()),
                   std::min(inner.height(), avail.height() - margins.height()));
  resize(size);
  const QSize outer = size + margins;
  move(std::clamp(frame.left(), avail.left(), avail.right() + 1 - outer.width()),
       std::clamp(frame.top(), avail.top(), avail.bottom() + 1 - outer.height()));
}

void TfMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FitScreen();
  // A window manager gives the window its frame a moment after it is shown.
  QTimer::singleShot(0, this, [this] { FitScreen(); });
  QTimer::singleShot(500, this, [this] { FitScreen(); });
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
  mapPage_->ApplySettings();
  UpdateMenuState();
  fMapCreation->ApplySettings();
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
  // The map takes the keyboard from the start: its keys work before any click.
  mapPage_->FocusMap();
  if (!state_.Settings.AutoLoadWaypoints.empty()) {
    // A conversion error keeps what was read before it, and is shown.
    if (const auto error = session_->LoadGpx(state_.Settings.AutoLoadWaypoints)) {
      ShowError(Q(*error));
      return;
    }
  }
  if (arguments.size() < 2 || LowerAscii(ExtensionOf(arguments[1])) != ".jnx") return;
  // A file that does not load is said once; its folder is not scanned and nothing is stored.
  const std::string path = AbsolutePath(arguments[1]);
  if (!LoadMap(path)) return;
  QCoreApplication::processEvents();
  RefreshMapList(false);
  mapPage_->FocusMap();
  state_.Settings.LastJNXFile = path;
  NoteRecent(path);
  if (arguments.size() > 2) {
    QStringList rest;
    for (std::size_t i = 2; i < arguments.size(); ++i) rest << DisplayName(FileNameOf(arguments[i]));
    SetInfo("Not opened (one map at a time): " + rest.join(", "));
  }
}

// Opening maps ---------------------------------------------------------------------------------

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

bool TfMain::LoadMap(const std::string& path) {
  const TBusyCursor busy;
  if (const auto error = session_->Load(path)) {
    ShowError(Q(*error));
    return false;
  }
  return true;
}

void TfMain::OpenMap(const std::string& path) {
  // A file that does not load leaves the workspace as it was.
  if (!LoadMap(path)) return;
  RefreshMapList();
  state_.Settings.LastJNXFile = path;
  NoteRecent(path);
}

bool TfMain::ConfirmLeaveMap() {
  if (!session_->HasMap() || !session_->HasUnwrittenEdits()) return true;
  const QString name = DisplayName(FileNameOf(session_->File()));
  switch (Question("Write the changes to " + name + "?", QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                   QMessageBox::Save)) {
    case QMessageBox::Save:
      miUpdateMapNowClick();
      return !session_->HasUnwrittenEdits();  // a failed write keeps the user on the map
    case QMessageBox::Discard: session_->DropEdits(); return true;
    default: return false;
  }
}

bool TfMain::LoadListedMap(const std::string& path) {
  if (path == session_->File()) return true;
  if (!ConfirmLeaveMap()) return false;
  return LoadMap(path);
}

void TfMain::RefreshMapList(bool takeFocus) {
  const TBusyCursor busy;
  const std::vector<std::string> problems = session_->ScanFolder();
  // Groups are built from the first folder listed while there are none.
  if (state_.MapGroups.empty())
    for (const TListedMap& l : session_->Listed()) state_.MapGroups.push_back(MapGroupItem(l.Header));
  if (takeFocus) listPage_->FocusMapTable();
  dialog_->FileName = DisplayName(session_->File());
  dialog_->Folder = DisplayName(session_->Folder());
  for (QAction* a : {miSaveLevel, miSaveMap, miSaveLevel1, miSaveTiles, miExportLevel1}) a->setVisible(true);
  miUpdateMap->menuAction()->setVisible(true);
  ShowFolderProblems(problems);
}

void TfMain::ShowFolderProblems(const std::vector<std::string>& notes) {
  if (notes.empty()) return;
  QStringList lines;
  for (const auto& n : notes) lines << DisplayName(n);
  SetInfo(lines.join("; "));
}

void TfMain::OfferReload() {
  const std::string path = session_->File();
  const QString name = DisplayName(FileNameOf(path));
  if (!FileExists(path)) {
    ShowError(name + " changed on disk since it was loaded: it is gone. Nothing was written.");
    return;
  }
  if (Question(name + " changed on disk since it was loaded. Nothing was written.\n\nLoad it again? Changes not yet "
                      "written are lost.",
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes)
    LoadMap(path);
}

// GPX --------------------------------------------------------------------------------------------

void TfMain::miLoadGPXClick() {
  if (!AskFile("Load GPX file", "*.gpx", state_.Settings.LastGPXFile, false)) return;
  LoadGpxFile(dialog_->Path());
}

void TfMain::LoadGpxFile(const std::string& file) {
  state_.Settings.LastGPXFile = file;
  // A conversion error keeps what was read before it, and is shown.
  const std::optional<std::string> error = session_->LoadGpx(file);
  mapPage_->ShowOverlay();
  const TGpxData& gpx = session_->Gpx();
  if (gpx.CheckedTrackColor >= 0 && gpx.CheckedTrackColor < miTrackColor->actions().size()) {
    miTrackColor->actions()[gpx.CheckedTrackColor]->setChecked(true);
    mapPage_->SetTrackColour(gpx.CheckedTrackColor);
  }
  PageControl->setCurrentIndex(0);
  const TTrackBounds& b = gpx.TrackBounds;
  if (!gpx.Track.empty()) mapPage_->FitToBounds(b.MinLat, b.MinLon, b.MaxLat, b.MaxLon);
  if (error) ShowError(Q(*error));
}

void TfMain::SaveTrackAs() {
  // The dialog gives the name its ".gpx" before it asks whether to replace a file of that name.
  if (!AskFile("Save track as", "*.gpx", state_.Settings.LastGPXFile, true, "New track.gpx", ".gpx")) return;
  const std::string path = dialog_->Path();
  try {
    WriteTrackGpx(path, session_->Gpx().Track, session_->Gpx().CheckedTrackColor);
    state_.Settings.LastGPXFile = path;
    mapPage_->HoldInfo("Track " + DisplayName(path) + " saved.");
  } catch (const EBreloError& e) {
    ShowError("An error occurred while writing\n" + DisplayName(path) + "\n" + Q(e.what()));
    mapPage_->HoldInfo();
  }
}

// Recent files and dropped files -----------------------------------------------------------------

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

// Closing ----------------------------------------------------------------------------------------

void TfMain::closeEvent(QCloseEvent* event) {
  // Long work first stops (when the user says so); the window closes once it has.
  if (longWork_->Running()) {
    event->ignore();
    if (quitPending_) return;
    if (!longWork_->Cancellable()) {
      quitPending_ = true;
      SetInfo("brelo quits once " + longWork_->What() + " is done.");
      return;
    }
    if (Question("Stop " + longWork_->What() + " and quit?", QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
      return;
    quitPending_ = longWork_->Running();
    longWork_->Cancel();
    if (!quitPending_) QTimer::singleShot(0, this, [this] { close(); });  // it ended meanwhile
    return;
  }
  quitPending_ = false;
  if (!ConfirmLeaveMap()) {
    event->ignore();
    return;
  }
  WriteSettingsFile();
  fMapCreation->close();
  event->accept();
}

void TfMain::Terminate() {
  if (longWork_->Running()) {
    quitPending_ = true;
    longWork_->Cancel();
    return;
  }
  close();
}

void TfMain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange && windowState() == Qt::WindowNoState) normalGeometry_ = geometry();
  QMainWindow::changeEvent(event);
}

}  // namespace brelo
