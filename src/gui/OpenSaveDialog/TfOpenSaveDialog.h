// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own open/save dialog: one folder at a time (folders, then the files that pass
// the chosen filter), drives and recent folders, favourites, going up, deleting to the trash,
// file details, and a small settings file of its own. One instance serves the whole run.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QStatusBar;
class QToolButton;
class QPushButton;

namespace brelo {

class TfOpenSaveDialog : public QDialog {
  Q_OBJECT

 public:
  // settingsFolder holds OpenSave.ini; programFolder is the folder shown for a folder that
  // does not exist and the first favourite.
  TfOpenSaveDialog(const QString& settingsFolder, const QString& programFolder, QWidget* parent = nullptr);

  // Set by the caller before Execute, read after it. Paths use "/"; Folder ends in "/".
  QString Filter = "*.*";
  QString Folder;
  QString FileName;
  bool SaveMode = false;
  // In save mode, the chosen name with its extension replaced by this one (".gpx"; added when
  // it has none) is the name asked about and returned. Empty: the name as typed.
  QString DefaultExt;
  // True when the user accepted; FileName is then the chosen file's full path.
  bool Execute();
  // The chosen file's path as bytes: a listed name that is not UTF-8 is kept as it is on disk.
  std::string Path() const { return path_; }

  // Asks before an existing file is replaced in save mode (a message box with No as the
  // default; tests replace it).
  std::function<bool(const QString& title, const QString& text)> Confirm;
  // Says why something did not happen (a message box; tests replace it).
  std::function<void(const QString& text)> Warn;

  // The external file manager's configuration whose "[DirMenu]" gives favourites.
  QString HotlistFile;
  // Writes OpenSave.ini (all keys, rewritten whole); false when it cannot be written.
  bool WriteSettings();

  // Parts of the dialog that tests and the main window look at.
  QString CurrentFolder() const { return current_; }
  int DriveCount() const { return driveCount_; }
  void ListFolder(QString folder, QString mask = QString());
  void Navigate(QString folder);
  bool SelectByCaption(const QString& name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillDrives();
  // Before the folder selector opens: the drives listed anew, the recent folders kept.
  void RefreshDrives();
  void BuildFavorites();
  void AddFavorite(const QString& caption, const QString& folder, int position);
  void ReadSettings();
  void ShowDetails(QListWidgetItem* item);
  void UpDir();
  void DeleteSelected();
  void Accept();
  void EnterInFileName();
  // A path typed into the name box (absolute, or from ~/): its folder is listed, a file's name
  // taken; false when the text is not a path.
  bool GoToTypedPath();
  QString SelectedMask() const;

  QToolButton* sbFavorites;
  QMenu* pmFavorites;
  QComboBox* cbPath;
  QToolButton* sbUpDir;
  QToolButton* sbDelete;
  QListWidget* lvFiles;
  QComboBox* cbFileName;
  QComboBox* cbFileExt;
  QPushButton* bOK;
  QPushButton* bCancel;
  QStatusBar* sb;
  std::vector<QLabel*> panels_;

  // The bytes of a listed name from the text it is shown with; the text itself otherwise.
  std::string NameBytes(const QString& shown) const;
  QString FreeSpaceText() const;
  // Centred over the main window, unless the settings gave a place.
  void PlaceOverParent();

  QString settingsFile_, programFolder_, current_;
  std::string path_;
  bool placed_ = false;  // the dialog has a position: from its settings, or centred once
  QString firstDrive_ = "C";
  int minColsWidth_ = 150;
  int driveCount_ = 0;
  QAction* addCurrent_ = nullptr;
  QAction* lastSeparator_ = nullptr;
};

}  // namespace brelo
