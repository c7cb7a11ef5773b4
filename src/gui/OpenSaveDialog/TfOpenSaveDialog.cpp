// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStorageInfo>
#include <QStyle>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "base/Paths.h"
#include "gui/OpenSaveDialog/FileListing.h"
#include "gui/common/DisplayName.h"

namespace brelo {

namespace {

constexpr int kMaxPathEntries = 15;
constexpr int kFolderIcon = 0;
const char kAddCurrent[] = "Add current directory";

QString WithSlash(QString folder) {
  if (!folder.endsWith('/')) folder += '/';
  return folder;
}

QIcon Icon(int index) {
  static const char* const theme[] = {"folder",
                                      "text-x-generic-template",
                                      "image-x-generic",
                                      "text-x-generic",
                                      "video-x-generic",
                                      "package-x-generic",
                                      "audio-x-generic",
                                      "application-x-executable",
                                      "x-office-document",
                                      "x-office-spreadsheet",
                                      "application-gpx+xml",
                                      "application-pdf",
                                      "text-html"};
  const QStyle* style = QApplication::style();
  const QIcon fallback = style->standardIcon(index == kFolderIcon ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
  return QIcon::fromTheme(theme[index], fallback);
}

// A listed entry, read by its name's bytes (which need not be UTF-8).
struct TEntry {
  std::string Name;
  bool Folder = false, Writable = true, Link = false;
  qint64 Size = 0;
  QDateTime Modified;
};

bool ReadEntry(const std::string& folder, const std::string& name, TEntry& e) {
  const std::string path = folder + name;
  struct stat st {
  }, lst{};
  if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) return false;
  e.Name = name;
  e.Folder = S_ISDIR(st.st_mode);
  e.Size = st.st_size;
  e.Link = ::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
  e.Writable = ::access(path.c_str(), W_OK) == 0;
  e.Modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
  return true;
}

// Seven characters, "-" or a letter: read-only, archive, hidden, system, volume, directory,
// then the seventh (symbolic link here).
QString AttributeText(const TEntry& f, QChar seventh) {
  QString t = "-------";
  if (!f.Writable) t[0] = 'r';
  if (!f.Name.empty() && f.Name[0] == '.') t[2] = 'h';
  if (f.Folder) t[5] = 'd';
  if (f.Link) t[6] = seventh;
  return t;
}

std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

constexpr int kNameBytes = Qt::UserRole + 1;

QString Thousands(qint64 n) {
  QString digits = QString::number(n), out;
  for (int i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return out;
}

bool IsPseudoFileSystem(const QByteArray& type) {
  static const char* const pseudo[] = {"proc",       "sysfs",    "cgroup",  "cgroup2", "devtmpfs",    "devpts",
                                       "securityfs", "pstore",   "bpf",     "debugfs", "tracefs",     "mqueue",
                                       "hugetlbfs",  "configfs", "fusectl", "autofs",  "binfmt_misc", "nsfs",
                                       "rpc_pipefs", "efivarfs", "ramfs",   "overlay", "squashfs",    "tmpfs"};
  return std::any_of(std::begin(pseudo), std::end(pseudo), [&](const char* p) { return type == p; });
}

// The bookmarks of ~/.config/gtk-3.0/bookmarks: "file:///path Label" lines, folders only.
std::vector<std::pair<QString, QString>> DesktopBookmarks() {
  std::vector<std::pair<QString, QString>> out;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QFile file(config + "/gtk-3.0/bookmarks");
  if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) return out;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    const int space = line.indexOf(' ');
    const QUrl url(space < 0 ? line : line.left(space));
    if (!url.isLocalFile()) continue;
    const QString folder = WithSlash(url.toLocalFile());
    if (!QFileInfo(folder).isDir()) continue;
    out.emplace_back(space < 0 ? QFileInfo(url.toLocalFile()).fileName() : line.mid(space + 1), folder);
  }
  return out;
}

// A file's icon from the desktop's theme where it has one, else the listing's own.
QIcon FileTypeIcon(const QString& name, int group) {
  static const QFileIconProvider provider;
  const QIcon themed = QIcon::themeName().isEmpty() ? QIcon() : provider.icon(QFileInfo(name));
  return themed.isNull() || themed.availableSizes().isEmpty() ? Icon(group) : themed;
}

}  // namespace

TfOpenSaveDialog::TfOpenSaveDialog(const QString& settingsFolder, const QString& programFolder, QWidget* parent)
    : QDialog(parent),
      settingsFile_(WithSlash(settingsFolder) + "OpenSave.ini"),
      programFolder_(WithSlash(programFolder)) {
  setObjectName("TfOpenSaveDialog");
  setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
  setMinimumSize(480, 360);
  resize(562, 482);
  QFont f = font();
  f.setPixelSize(13);
  setFont(f);
  Confirm = [this](const QString& title, const QString& text) {
    return QMessageBox::warning(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
  Warn = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };

  auto tool = [this](const char* name, const char* hint, QStyle::StandardPixmap pixmap) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setIcon(style()->standardIcon(pixmap));
    return b;
  };
  sbFavorites = tool("sbFavorites", "Favorites", QStyle::SP_DirHomeIcon);
  pmFavorites = new QMenu(this);
  pmFavorites->setObjectName("pmFavorites");
  cbPath = new QComboBox(this);
  cbPath->setObjectName("cbPath");
  sbUpDir = tool("sbUpDir", "Up Dir", QStyle::SP_FileDialogToParent);
  sbDelete = tool("sbDelete", "Delete File or Directory", QStyle::SP_TrashIcon);
  lvFiles = new QListWidget(this);
  lvFiles->setObjectName("lvFiles");
  lvFiles->setViewMode(QListView::ListMode);
  lvFiles->setFlow(QListView::TopToBottom);
  lvFiles->setWrapping(true);
  lvFiles->setResizeMode(QListView::Adjust);
  lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  cbFileName = new QComboBox(this);
  cbFileName->setObjectName("cbFileName");
  cbFileName->setEditable(true);
  cbFileName->setCompleter(nullptr);
  cbFileName->setInsertPolicy(QComboBox::NoInsert);
  cbFileExt = new QComboBox(this);
  cbFileExt->setObjectName("cbFileExt");
  bOK = new QPushButton("OK", this);
  bOK->setObjectName("bOK");
  bOK->setAutoDefault(false);
  bCancel = new QPushButton("Cancel", this);
  bCancel->setObjectName("bCancel");
  bCancel->setAutoDefault(false);
  sb = new QStatusBar(this);
  sb->setObjectName("sb");
  sb->setSizeGripEnabled(false);
  for (const char* sample : {"1 222 333 333 bytes", "11-22-3333", "11:22:33", "1234567"}) {
    auto* panel = new QLabel(this);
    panel->setMinimumWidth(fontMetrics().horizontalAdvance(sample) + 10);
    panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sb->addWidget(panel);
    panels_.push_back(panel);
  }
  panels_.back()->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  auto* top = new QHBoxLayout;
  top->addWidget(sbFavorites);
  top->addWidget(cbPath, 1);
  top->addSpacing(8);
  top->addWidget(sbUpDir);
  top->addWidget(sbDelete);
  auto* bottom = new QGridLayout;
  auto* lName = new QLabel("File Name", this);
  auto* lType = new QLabel("File Type", this);
  bottom->addWidget(lName, 0, 0);
  bottom->addWidget(cbFileName, 0, 1);
  bottom->addWidget(bOK, 0, 2);
  bottom->addWidget(lType, 1, 0);
  bottom->addWidget(cbFileExt, 1, 1, Qt::AlignLeft);
  bottom->addWidget(bCancel, 1, 2);
  bottom->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 0);
  layout->addLayout(top);
  layout->addWidget(lvFiles, 1);
  layout->addLayout(bottom);
  layout->addWidget(sb);

  connect(sbFavorites, &QToolButton::clicked, this,
          [this] { pmFavorites->exec(sbFavorites->mapToGlobal(QPoint(0, sbFavorites->height()))); });
  connect(sbUpDir, &QToolButton::clicked, this, [this] { UpDir(); });
  connect(sbDelete, &QToolButton::clicked, this, [this] { DeleteSelected(); });
  connect(cbPath, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { Navigate(cbPath->itemData(index).toString()); });
  connect(cbFileExt, qOverload<int>(&QComboBox::activated), this, [this](int) { ListFolder(current_); });
  connect(lvFiles, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { ShowDetails(item); });
  connect(lvFiles, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (item->data(Qt::UserRole).toBool())
      Navigate(current_ + item->text());
    else
      Accept();
  });
  connect(cbFileName, qOverload<int>(&QComboBox::activated), this, [this](int) { EnterInFileName(); });
  connect(bOK, &QPushButton::clicked, this, [this] { Accept(); });
  connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
  cbFileName->lineEdit()->installEventFilter(this);
  cbFileName->installEventFilter(this);
  cbPath->installEventFilter(this);
  lvFiles->installEventFilter(this);
  auto* up = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), this);
  connect(up, &QShortcut::activated, this, [this] { UpDir(); });

  ReadSettings();
  FillDrives();
  BuildFavorites();
}

void TfOpenSaveDialog::ReadSettings() {
  QFile file(settingsFile_);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
  std::vector<std::pair<QString, QString>> values;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine();
    const int eq = line.indexOf('=');
    if (eq > 0) values.emplace_back(line.left(eq), line.mid(eq + 1));
  }
  auto find = [&](const QString& key) -> const QString* {
    for (const auto& [k, v] : values)
      if (k.compare(key, Qt::CaseInsensitive) == 0) return &v;
    return nullptr;
  };
  if (const QString* v = find("WinCmd.ini"); v && !v->isEmpty()) HotlistFile = *v;
  if (const QString* v = find("LastFile")) {
    FileName = *v;
    Folder = QFileInfo(*v).path() + "/";
  }
  if (const QString* v = find("FirstDrive"); v && !v->isEmpty()) firstDrive_ = v->left(1);
  auto integer = [&](const char* key, int& value) {
    bool ok = false;
    if (const QString* v = find(key)) {
      const int n = v->toInt(&ok);
      if (ok) value = n;
    }
  };
  integer("MinColsWidth", minColsWidth_);
  // Without a position of its own the dialog opens centred over the main window.
  placed_ = find("Left") && find("Top");
  QRect r = geometry();
  int left = r.left(), topEdge = r.top(), width = r.width(), height = r.height();
  integer("Left", left);
  integer("Top", topEdge);
  integer("Width", width);
  integer("Height", height);
  setGeometry(left, topEdge, std::max(width, 480), std::max(height, 360));
}

bool TfOpenSaveDialog::WriteSettings() {
  // A dialog never shown has the place it would have taken: centred over the main window.
  PlaceOverParent();
  QFile file(settingsFile_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QTextStream out(&file);
  const QRect r = geometry();
  out << "WinCmd.ini=" << HotlistFile << "\r\n"
      << "LastFile=" << FileName << "\r\n"
      << "FirstDrive=" << firstDrive_ << "\r\n"
      << "Left=" << r.left() << "\r\n"
      << "Top=" << r.top() << "\r\n"
      << "Width=" << r.width() << "\r\n"
      << "Height=" << r.height() << "\r\n"
      << "MinColsWidth=" << minColsWidth_ << "\r\n";
  // The user's favourites: every item after the last separator but "Add current directory".
  int n = 0;
  bool after = false;
  for (QAction* a : pmFavorites->actions()) {
    if (a == lastSeparator_)
      after = true;
    else if (after && a != addCurrent_)
      out << "Favorite" << ++n << "=" << a->text() << "=" << a->data().toString() << "\r\n";
  }
  out.flush();
  return file.error() == QFile::NoError;
}

void TfOpenSaveDialog::FillDrives() {
  cbPath->clear();
  const QString home = WithSlash(QDir::homePath());
  cbPath->addItem(Icon(kFolderIcon), home + ": " + tr("Home"), home);
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    if (!v.isValid() || !v.isReady() || IsPseudoFileSystem(v.fileSystemType()) || v.bytesTotal() <= 0) continue;
    const QString label = v.name().isEmpty() ? QString::fromUtf8("Dysk wymienny") : v.name();
    // Free as df shows it: what the user may still write.
    const QString text = v.rootPath() + ": " + label + QString::fromUtf8(" \u2022 ") +
                         QString::fromStdString(FormatSize(static_cast<std::uint64_t>(v.bytesTotal()))) +
                         QString::fromUtf8(" total \u2022 ") +
                         QString::fromStdString(FormatSize(static_cast<std::uint64_t>(v.bytesAvailable()))) +
                         QString::fromUtf8(" free \u2022 ") + QString::fromLatin1(v.fileSystemType());
    cbPath->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), text, WithSlash(v.rootPath()));
  }
  driveCount_ = cbPath->count();
}

void TfOpenSaveDialog::RefreshDrives() {
  std::vector<std::pair<QString, QString>> recent;
  for (int i = driveCount_; i < cbPath->count(); ++i)
    recent.emplace_back(cbPath->itemText(i), cbPath->itemData(i).toString());
  FillDrives();
  for (const auto& [text, folder] : recent) cbPath->addItem(Icon(kFolderIcon), text, folder);
  const int current = cbPath->findData(current_);
  if (current >= 0) cbPath->setCurrentIndex(current);
}

void TfOpenSaveDialog::AddFavorite(const QString& caption, const QString& folder, int position) {
  auto* a = new QAction(caption, pmFavorites);
  a->setData(folder);
  connect(a, &QAction::triggered, this, [this, a] { Navigate(a->data().toString()); });
  QAction* before =
      position >= 0 && position < pmFavorites->actions().size() ? pmFavorites->actions()[position] : nullptr;
  pmFavorites->insertAction(before, a);
}

void TfOpenSaveDialog::BuildFavorites() {
  pmFavorites->clear();
  const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  AddFavorite("[Application - " + program + "] " + programFolder_, programFolder_, -1);
  pmFavorites->addSeparator();
  if (!HotlistFile.isEmpty() && QFileInfo::exists(HotlistFile)) {
    QFile file(HotlistFile);
    std::vector<std::string> lines;
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
      while (!file.atEnd()) lines.push_back(file.readLine().toStdString());
    for (const auto& [caption, folder] : ParseDirMenu(lines))
      AddFavorite(QString::fromStdString(caption), QString::fromStdString(folder), -1);
  } else {
    HotlistFile = "path_to_WinCmd.ini";
  }
  // The desktop's own bookmarks (the GTK file chooser's list, which GNOME's Files keeps).
  for (const auto& [caption, folder] : DesktopBookmarks()) AddFavorite(caption, folder, -1);
  lastSeparator_ = pmFavorites->addSeparator();
  QFile file(settingsFile_);
  if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTextStream in(&file);
    std::vector<QString> lines;
    while (!in.atEnd()) lines.push_back(in.readLine());
    for (int n = 1;; ++n) {
      const QString key = "Favorite" + QString::number(n) + "=";
      auto it = std::find_if(lines.begin(), lines.end(),
                             [&](const QString& l) { return l.startsWith(key, Qt::CaseInsensitive); });
      if (it == lines.end()) break;
      const QString value = it->mid(key.size());
      const int eq = value.indexOf('=');
      AddFavorite(eq < 0 ? value : value.left(eq), eq < 0 ? value : value.mid(eq + 1), -1);
    }
  }
  addCurrent_ = new QAction(kAddCurrent, pmFavorites);
  addCurrent_->setObjectName("miAddCurrentDirectory");
  connect(addCurrent_, &QAction::triggered, this,
          [this] { AddFavorite(current_, current_, static_cast<int>(pmFavorites->actions().indexOf(addCurrent_))); });
  pmFavorites->addAction(addCurrent_);
}

QString TfOpenSaveDialog::SelectedMask() const { return cbFileExt->currentText(); }

bool TfOpenSaveDialog::Execute() {
  cbFileExt->clear();
  for (const auto& item : FilterItems(Filter.toStdString())) cbFileExt->addItem(QString::fromStdString(item));
  cbFileExt->setCurrentIndex(0);
  int widest = 0;
  for (int i = 0; i < cbFileExt->count(); ++i)
    widest = std::max(widest, fontMetrics().horizontalAdvance(cbFileExt->itemText(i)));
  cbFileExt->setMinimumWidth(widest + 25 + 20);
  cbFileName->setEditText(QFileInfo(FileName).fileName());
  if (Folder.isEmpty() || !QFileInfo(Folder).isDir()) Folder = programFolder_;
  Navigate(Folder);
  PlaceOverParent();
  if (SaveMode)
    cbFileName->setFocus();
  else
    lvFiles->setFocus();
  const bool ok = exec() == QDialog::Accepted;
  if (ok) {
    Folder = current_;
    FileName = current_ + cbFileName->currentText();
  }
  return ok;
}

void TfOpenSaveDialog::PlaceOverParent() {
  if (placed_ || !parentWidget()) return;
  const QRect over = parentWidget()->window()->frameGeometry();
  move(over.center() - QPoint(width() / 2, height() / 2));
  placed_ = true;
}

std::string TfOpenSaveDialog::NameBytes(const QString& shown) const {
  for (int i = 0; i < lvFiles->count(); ++i)
    if (lvFiles->item(i)->text() == shown) return lvFiles->item(i)->data(kNameBytes).toByteArray().toStdString();
  return Bytes(shown);
}

QString TfOpenSaveDialog::FreeSpaceText() const {
  const QStorageInfo volume(current_);
  if (!volume.isValid()) return QString();
  return QString::fromStdString(FormatSize(static_cast<std::uint64_t>(volume.bytesAvailable()))) + " free";
}

void TfOpenSaveDialog::ListFolder(QString folder, QString mask) {
  if (mask.isEmpty()) mask = SelectedMask();
  mask = mask.toLower();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = programFolder_;
  folder = WithSlash(QDir::cleanPath(folder));
  if (folder == "//") folder = "/";
  sbUpDir->setEnabled(folder.size() > 1);
  // Recent folders follow the drives, the newest first.
  for (int i = cbPath->count() - 1; i >= driveCount_; --i)
    if (cbPath->itemData(i).toString() == folder) cbPath->removeItem(i);
  cbPath->insertItem(driveCount_, Icon(kFolderIcon), folder, folder);
  while (cbPath->count() > kMaxPathEntries) cbPath->removeItem(cbPath->count() - 1);
  cbPath->setCurrentIndex(driveCount_);
  current_ = folder;
  const QString name = cbFileName->currentText();
  if (!name.isEmpty() && cbFileName->findText(name) < 0) cbFileName->addItem(name);

  // Listed by the names' bytes: a name that is not UTF-8 is shown as Latin-1 and opened as it is.
  const std::string dir = Bytes(folder);
  std::vector<TEntry> folders, files;
  std::error_code ec;
  for (const auto& d : std::filesystem::directory_iterator(dir, ec)) {
    TEntry e;
    if (!ReadEntry(dir, d.path().filename().string(), e)) continue;
    if (e.Folder)
      folders.push_back(std::move(e));
    else if (MaskMatches(mask.toStdString(), e.Name))
      files.push_back(std::move(e));
  }
  auto byName = [](const TEntry& a, const TEntry& b) {
    return QString::compare(DisplayName(a.Name), DisplayName(b.Name), Qt::CaseInsensitive) < 0;
  };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  lvFiles->clear();
  int widest = fontMetrics().horizontalAdvance("..");
  auto add = [&](const TEntry& e) {
    const QString shown = DisplayName(e.Name);
    auto* item = new QListWidgetItem(e.Folder ? Icon(kFolderIcon) : FileTypeIcon(shown, FileIcon(e.Name)), shown);
    item->setData(Qt::UserRole, e.Folder);
    item->setData(kNameBytes, QByteArray::fromStdString(e.Name));
    item->setToolTip(shown + "\n" + (e.Folder ? QString() : Thousands(e.Size) + " bytes\n") +
                     QLocale::c().toString(e.Modified, "d MMM yyyy h:mm:ss.zzz") + "\n" + AttributeText(e, 'l'));
    lvFiles->addItem(item);
    widest = std::max(widest, lvFiles->fontMetrics().horizontalAdvance(shown));
  };
  for (const auto& e : folders) add(e);
  for (const auto& e : files) add(e);
  // Columns as wide as the widest name (icon, gap and margins besides): every name whole.
  const int icon =
      lvFiles->iconSize().isValid() ? lvFiles->iconSize().width() : style()->pixelMetric(QStyle::PM_SmallIconSize);
  lvFiles->setGridSize(QSize(widest + icon + 24, std::max(fontMetrics().height(), icon) + 6));
  panels_[0]->setText(QString("%1 directories, %2 files").arg(folders.size()).arg(files.size()));
  panels_[1]->setText(FreeSpaceText());
  for (std::size_t i = 2; i < panels_.size(); ++i) panels_[i]->clear();
}

void TfOpenSaveDialog::Navigate(QString folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return;
  ListFolder(WithSlash(folder));
  SelectByCaption(cbFileName->currentText());
}

bool TfOpenSaveDialog::SelectByCaption(const QString& name) {
  for (int i = 0; i < lvFiles->count(); ++i) {
    QListWidgetItem* item = lvFiles->item(i);
    if (item->text().compare(name, Qt::CaseInsensitive) != 0) continue;
    lvFiles->setCurrentItem(item);
    lvFiles->scrollToItem(item);
    ShowDetails(item);
    return true;
  }
  return false;
}

void TfOpenSaveDialog::ShowDetails(QListWidgetItem* item) {
  if (!item || item->data(Qt::UserRole).toBool()) return;
  TEntry f;
  if (!ReadEntry(Bytes(current_), item->data(kNameBytes).toByteArray().toStdString(), f)) return;
  cbFileName->setEditText(item->text());
  panels_[0]->setText(Thousands(f.Size) + " bytes");
  panels_[1]->setText(f.Modified.toString("d-MM-yyyy"));
  panels_[2]->setText(f.Modified.toString("h:mm:ss"));
  panels_[3]->setText(AttributeText(f, 's'));
}

void TfOpenSaveDialog::UpDir() {
  QString path = current_;
  if (path.size() <= 1) return;
  path.chop(1);
  const int slash = path.lastIndexOf('/');
  const QString left = path.mid(slash + 1), parent = slash <= 0 ? QString("/") : path.left(slash + 1);
  ListFolder(parent);
  if (!SelectByCaption(cbFileName->currentText())) SelectByCaption(left);
}

void TfOpenSaveDialog::DeleteSelected() {
  // Only an entry the user sees selected: the current item alone may be left over from a
  // listing and is not a choice.
  const QList<QListWidgetItem*> chosen = lvFiles->selectedItems();
  if (chosen.isEmpty()) return;
  QListWidgetItem* item = chosen.front();
  const std::string path = Bytes(current_) + item->data(kNameBytes).toByteArray().toStdString();
  // Into the desktop's trash, never a permanent delete. A trash that cannot take the file
  // leaves it where it is, and says so.
  QString inTrash;
  const QString name = QFile::decodeName(QByteArray::fromStdString(path));
  if (!QFile::moveToTrash(name, &inTrash)) {
    Warn(item->text() +
         " was not moved to the trash (no trash can take it on this file system); it stays where it is.");
    return;
  }
  const std::string trashed = Bytes(inTrash);
  if (trashed.find("/Trash/files/") == std::string::npos && trashed.find("/.Trash-") == std::string::npos &&
      trashed.find("/.Trash/") == std::string::npos) {
    // Not a trash folder: the file goes back.
    ::rename(trashed.c_str(), path.c_str());
    Warn(item->text() + " was not moved to the trash; it stays where it is.");
    return;
  }
  ListFolder(current_);
}

void TfOpenSaveDialog::Accept() {
  QString name = cbFileName->currentText();
  if (name.isEmpty()) return;
  if (SaveMode && !DefaultExt.isEmpty()) {
    const int dot = name.lastIndexOf('.');
    name = (dot > 0 ? name.left(dot) : name) + DefaultExt;
    cbFileName->setEditText(name);
  }
  const std::string p = Bytes(current_) + NameBytes(name);
  struct stat st {};
  const bool exists = ::stat(p.c_str(), &st) == 0;
  if (!SaveMode) {
    if (!exists || S_ISDIR(st.st_mode)) return;
  } else if (exists && !Confirm("Save as", DisplayName(p) + " already exists!\nOverwrite?")) {
    return;
  }
  path_ = p;
  accept();
}

bool TfOpenSaveDialog::GoToTypedPath() {
  QString text = cbFileName->currentText().trimmed();
  if (text.startsWith("~/") || text == "~") text = QDir::homePath() + text.mid(1);
  if (!text.startsWith('/')) return false;
  const QFileInfo typed(text);
  if (typed.isDir()) {
    cbFileName->setEditText(QString());
    Navigate(WithSlash(typed.absoluteFilePath()));
    return true;
  }
  // A file's path: its folder is listed and its name taken, then accepted as if typed there.
  if (!QFileInfo(typed.absolutePath()).isDir()) return false;
  Navigate(WithSlash(typed.absolutePath()));
  cbFileName->setEditText(typed.fileName());
  SelectByCaption(typed.fileName());
  if (SaveMode || typed.isFile()) Accept();
  return true;
}

void TfOpenSaveDialog::EnterInFileName() {
  const QString text = cbFileName->currentText();
  ListFolder(current_, text);
  const QString lower = text.toLower();
  for (int i = 0; i < lvFiles->count(); ++i)
    if (lvFiles->item(i)->text().toLower().contains(lower)) {
      lvFiles->setCurrentItem(lvFiles->item(i));
      lvFiles->scrollToItem(lvFiles->item(i));
      break;
    }
  cbFileName->setEditText(text);
}

bool TfOpenSaveDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbPath && event->type() == QEvent::MouseButtonPress) RefreshDrives();
  // The box or its line: a focused combo box hands keys to its line without its filters.
  if (watched == lvFiles && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    QListWidgetItem* item = lvFiles->currentItem();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && item) {
      // A folder opens, a file is chosen.
      if (item->data(Qt::UserRole).toBool())
        Navigate(current_ + item->text());
      else
        Accept();
      return true;
    }
    if (key == Qt::Key_Backspace) {
      UpDir();
      return true;
    }
    // Moving through the list with the keys puts each file's name in the name box, once the
    // list has moved.
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right ||
        key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp || key == Qt::Key_PageDown)
      QTimer::singleShot(0, this, [this] { ShowDetails(lvFiles->currentItem()); });
  }
  if ((watched == cbFileName || watched == cbFileName->lineEdit()) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && GoToTypedPath()) return true;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // A name that is there (or any name, in save mode) is accepted; other text filters.
      struct stat st {};
      const std::string p = Bytes(current_) + NameBytes(cbFileName->currentText());
      if (SaveMode || (::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)))
        Accept();
      else
        EnterInFileName();
      return true;  // consumed
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace brelo
