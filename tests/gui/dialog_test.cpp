// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog driven through its real widgets while Execute runs.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStorageInfo>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "GuiSupport.h"
#include "TestSupport.h"
#include "gui/OpenSaveDialog/FileListing.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"

using namespace brelo;
using namespace brelo::test;

namespace {

QStringList Captions(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

// Runs body once the dialog's modal loop is up, then closes the dialog if body did not.
template <class Body>
bool WhileExecuting(TfOpenSaveDialog& d, Body body) {
  QTimer::singleShot(0, &d, [&] {
    d.activateWindow();
    if (!QTest::qWaitForWindowActive(&d)) qWarning("the dialog did not become active");
    body();
    if (d.isVisible()) d.reject();
  });
  return d.Execute();
}

}  // namespace

class TDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallModalWatchdog(); }

  void ListingRules() {
    QCOMPARE(FilterItems("*.map;*.tar|*.map|*.tar"),
             (std::vector<std::string>{"*.map;*.tar", "*.map", "*.tar", "*.*"}));
    QCOMPARE(FilterItems("*.gpx"), (std::vector<std::string>{"*.gpx", "*.*"}));
    QVERIFY(MaskMatches("*.map;*.tar", "a.MAP"));
    QVERIFY(MaskMatches("*.map;*.tar", "x.ma"));
    QVERIFY(!MaskMatches("*.map;*.tar", "x.jnx"));
    QVERIFY(MaskMatches("g", "Gory.gpx"));
    QVERIFY(!MaskMatches("g", "a.gpx"));
    QCOMPARE(FormatSize(512), std::string("512B"));
    QCOMPARE(FormatSize(1536), std::string("1.50KB"));
    QCOMPARE(FormatSize(1000), std::string("0.98KB"));
    QCOMPARE(FileIcon("a.JPG"), 2);
    QCOMPARE(FileIcon("t.gpx"), 10);
    QCOMPARE(FileIcon("m.jnx"), 1);
    const auto menu = ParseDirMenu({"[Other]", "menu1=x", "[DirMenu]", "menu1=Maps", "cmd1=cd /data/maps", "menu2=Gpx",
                                    "cmd2=cd /data/gpx", "[Next]", "cmd3=cd /no"});
    QCOMPARE(menu.size(), std::size_t(2));
    QCOMPARE(menu[0].second, std::string("/data/maps"));
    QCOMPARE(menu[1].first, std::string("Gpx"));
  }

  void FoldersFirstMasksAndEnter() {
    TTempDir dir, settings;
    std::filesystem::create_directories(dir.Path("Zeta"));
    std::filesystem::create_directories(dir.Path("alpha"));
    for (const char* f : {"b.map", "A.TAR", "x.ma", "g1.gpx", "gory.gpx", "c.jnx"}) WriteText(dir.Path(f), "x");
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    d.Filter = "*.map;*.tar|*.map|*.tar";
    d.Folder = QString::fromStdString(dir.Path());
    auto* list = d.findChild<QListWidget*>("lvFiles");
    auto* types = d.findChild<QComboBox*>("cbFileExt");
    auto* name = d.findChild<QComboBox*>("cbFileName");
    WhileExecuting(d, [&] {
      QCOMPARE(types->count(), 4);
      QCOMPARE(types->itemText(3), QString("*.*"));
      QCOMPARE(Captions(list), (QStringList{"alpha", "Zeta", "A.TAR", "b.map", "x.ma"}));
      QVERIFY(
          d.findChild<QStatusBar*>("sb")->findChildren<QLabel*>().front()->text().contains("2 directories, 3 files"));
      // Enter in open mode: the text becomes the mask.
      name->setEditText("g");
      QTest::keyClick(name->lineEdit(), Qt::Key_Return);
      QCOMPARE(Captions(list), (QStringList{"alpha", "Zeta", "g1.gpx", "gory.gpx"}));
      QVERIFY(d.isVisible());
    });
  }

  void UpDirSelectsTheFolderLeftAndRecentFoldersKeep15() {
    TTempDir dir, settings;
    std::filesystem::create_directories(dir.Path("Maps/Poland"));
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    d.Folder = QString::fromStdString(dir.Path("Maps/Poland"));
    auto* list = d.findChild<QListWidget*>("lvFiles");
    auto* path = d.findChild<QComboBox*>("cbPath");
    WhileExecuting(d, [&] {
      QTest::mouseClick(d.findChild<QToolButton*>("sbUpDir"), Qt::LeftButton);
      QCOMPARE(d.CurrentFolder(), QString::fromStdString(dir.Path("Maps/")));
      QVERIFY(list->currentItem());
      QCOMPARE(list->currentItem()->text(), QString("Poland"));
      for (int i = 0; i < 20; ++i) {
        const std::string folder = dir.Path(std::string("f").append(std::to_string(i)));
        std::filesystem::create_directories(folder);
        d.Navigate(QString::fromStdString(folder));
      }
      QCOMPARE(path->count(), 15);
      QCOMPARE(path->itemData(d.DriveCount()).toString(), QString::fromStdString(dir.Path("f19/")));
      d.Navigate("/");
      QVERIFY(!d.findChild<QToolButton*>("sbUpDir")->isEnabled());
    });
  }

  void SaveAsksBeforeReplacingAndOpenNeedsAnExistingFile() {
    TTempDir dir, settings;
    WriteText(dir.Path("t.gpx"), "x");
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    QStringList asked;
    bool answer = false;
    d.Confirm = [&](const QString& title, const QString& text) {
      asked << title + "|" + text;
      return answer;
    };
    d.Filter = "*.gpx";
    d.SaveMode = true;
    d.Folder = QString::fromStdString(dir.Path());
    d.FileName = "t.gpx";
    auto* ok = d.findChild<QPushButton*>("bOK");
    QVERIFY(!WhileExecuting(d, [&] {
      QTest::mouseClick(ok, Qt::LeftButton);
      QVERIFY(d.isVisible());  // No keeps it open
    }));
    QCOMPARE(asked,
             QStringList{"Save as|" + QString::fromStdString(dir.Path("t.gpx")) + " already exists!\nOverwrite?"});
    answer = true;
    QVERIFY(WhileExecuting(d, [&] { QTest::mouseClick(ok, Qt::LeftButton); }));
    QCOMPARE(d.FileName, QString::fromStdString(dir.Path("t.gpx")));
    // Open mode: OK with a name that does not exist does nothing.
    d.SaveMode = false;
    d.FileName = "missing.gpx";
    QVERIFY(!WhileExecuting(d, [&] {
      QTest::mouseClick(ok, Qt::LeftButton);
      QVERIFY(d.isVisible());
    }));
  }

  void DeleteMovesToTheTrash() {
    TTempDir dir, settings;
    WriteText(dir.Path("old.gpx"), "x");
    std::filesystem::create_directories(settings.Path("data"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(settings.Path("data")));
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    d.Folder = QString::fromStdString(dir.Path());
    d.FileName = "old.gpx";
    auto* list = d.findChild<QListWidget*>("lvFiles");
    WhileExecuting(d, [&] {
      QCOMPARE(list->currentItem()->text(), QString("old.gpx"));
      QTest::mouseClick(d.findChild<QToolButton*>("sbDelete"), Qt::LeftButton);
      QCOMPARE(list->count(), 0);
    });
    QVERIFY(!std::filesystem::exists(dir.Path("old.gpx")));
    bool inTrash = false;
    for (auto& e : std::filesystem::recursive_directory_iterator(settings.Path("data")))
      inTrash = inTrash || e.path().filename() == "old.gpx";
    QVERIFY(inTrash);
  }

  // Delete acts on what the user sees selected, and a trash that cannot take the file leaves
  // it where it is and says so.
  void DeleteNeedsAVisibleSelectionAndAWorkingTrash() {
    TTempDir dir, settings;
    WriteText(dir.Path("keep.gpx"), "x");
    std::filesystem::create_directories(settings.Path("data"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(settings.Path("data")));
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    QStringList warnings;
    d.Warn = [&](const QString& text) { warnings << text; };
    d.Folder = QString::fromStdString(dir.Path());
    d.FileName = "";
    auto* list = d.findChild<QListWidget*>("lvFiles");
    auto* del = d.findChild<QToolButton*>("sbDelete");
    WhileExecuting(d, [&] {
      list->setCurrentItem(list->item(0), QItemSelectionModel::NoUpdate);  // current, not selected
      QVERIFY(list->selectedItems().isEmpty());
      QTest::mouseClick(del, Qt::LeftButton);
    });
    QVERIFY(std::filesystem::exists(dir.Path("keep.gpx")));
    // No trash can be made (its folder is a file): the file stays, the user is told.
    WriteText(settings.Path("data/Trash"), "not a folder");
    d.FileName = "keep.gpx";
    WhileExecuting(d, [&] {
      QCOMPARE(list->selectedItems().size(), 1);
      QTest::mouseClick(del, Qt::LeftButton);
      QCOMPARE(list->count(), 1);
    });
    QVERIFY(std::filesystem::exists(dir.Path("keep.gpx")));
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings[0].startsWith("keep.gpx was not moved to the trash"), qPrintable(warnings[0]));
    QStringList working;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
      working << QString::fromStdString(e.path().filename().string());
    QVERIFY(!working.contains("keep.gpx"));
  }

  // Enter in the name box opens a listed file, whichever part of the box has the focus; names
  // are listed whole; the free space is the folder's own; the dialog opens over its window.
  void EnterAcceptsAndNamesAreWhole() {
    TTempDir dir, settings;
    const std::string longName = "a rather long name of a map of the High Tatras.jnx";
    WriteText(dir.Path(longName), "x");
    WriteText(dir.Path("b.jnx"), "x");
    QWidget owner;
    owner.setGeometry(300, 200, 900, 700);
    owner.show();
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()), &owner);
    d.Filter = "*.jnx";
    d.Folder = QString::fromStdString(dir.Path());
    d.FileName = "";
    auto* list = d.findChild<QListWidget*>("lvFiles");
    auto* name = d.findChild<QComboBox*>("cbFileName");
    QVERIFY(WhileExecuting(d, [&] {
      QVERIFY((d.geometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
      for (int i = 0; i < list->count(); ++i)
        QVERIFY2(
            list->visualItemRect(list->item(i)).width() >= list->fontMetrics().horizontalAdvance(list->item(i)->text()),
            qPrintable(list->item(i)->text()));
      const auto panels = d.findChild<QStatusBar*>("sb")->findChildren<QLabel*>();
      const QString free = QString::fromStdString(FormatSize(static_cast<std::uint64_t>(
                               QStorageInfo(QString::fromStdString(dir.Path())).bytesAvailable()))) +
                           " free";
      QVERIFY(std::any_of(panels.begin(), panels.end(), [&](QLabel* l) { return l->text() == free; }));
      name->setFocus();  // the box itself, as a click on it leaves it
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(QApplication::focusWidget(), "b.jnx");
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }));
    QCOMPARE(d.Path(), dir.Path("b.jnx"));
  }

  // In save mode the name takes the given extension before the dialog asks about a file of
  // that name: "gpsdata" where gpsdata.gpx exists is asked about; "trip.txt" gives trip.gpx.
  void SaveNameTakesItsExtensionBeforeTheQuestion() {
    TTempDir dir, settings;
    WriteText(dir.Path("gpsdata.gpx"), "mine");
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    QStringList asked;
    d.Confirm = [&](const QString&, const QString& text) {
      asked << text;
      return false;
    };
    d.SaveMode = true;
    d.Filter = "*.gpx";
    d.DefaultExt = ".gpx";
    d.Folder = QString::fromStdString(dir.Path());
    for (const char* typed : {"gpsdata", "trip.txt"}) {
      d.FileName = "New track.gpx";
      WhileExecuting(d, [&] {
        d.findChild<QComboBox*>("cbFileName")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      });
    }
    QCOMPARE(asked, QStringList{QString::fromStdString(dir.Path("gpsdata.gpx")) + " already exists!\nOverwrite?"});
    QCOMPARE(d.Path(), dir.Path("trip.gpx"));
    QCOMPARE(ReadText(dir.Path("gpsdata.gpx")), std::string("mine"));
  }

  // A name that is not UTF-8 (Latin-1 from an older system) is listed readably and opened by
  // its own bytes.
  void Latin1NamesAreListedAndOpened() {
    TTempDir dir, settings;
    const std::string name = "K\xF6ln.jnx";
    WriteText(dir.Path(name), "x");
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    d.Filter = "*.jnx";
    d.Folder = QString::fromStdString(dir.Path());
    d.FileName = QString::fromLatin1("K\xF6ln.jnx");
    auto* list = d.findChild<QListWidget*>("lvFiles");
    QVERIFY(WhileExecuting(d, [&] {
      QCOMPARE(Captions(list), QStringList{QString::fromUtf8("K\xC3\xB6ln.jnx")});
      QTest::mouseClick(d.findChild<QPushButton*>("bOK"), Qt::LeftButton);
    }));
    QCOMPARE(d.Path(), dir.Path(name));
  }

  // The keys of the listing: Enter opens a folder and chooses a file, the arrows put a file's
  // name in the name box, Backspace and Alt+Up go up; a path typed into the name box goes
  // there; the desktop's bookmarks are favourites; files get icons.
  void KeysPathsAndBookmarks() {
    TTempDir dir, settings, config;
    std::filesystem::create_directories(dir.Path("maps"));
    WriteText(dir.Path("maps/one.jnx"), "x");
    WriteText(dir.Path("maps/two.jnx"), "x");
    std::filesystem::create_directories(config.Path("gtk-3.0"));
    WriteText(config.Path("gtk-3.0/bookmarks"),
              "file://" + dir.Path("maps") + " Field maps\nsftp://host/x Remote\nfile:///no/such/folder\n");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path()));
    TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
    qunsetenv("XDG_CONFIG_HOME");
    QStringList favourites;
    for (QAction* a : d.findChild<QMenu*>("pmFavorites")->actions()) favourites << a->text();
    QVERIFY2(favourites.contains("Field maps"), qPrintable(favourites.join(", ")));
    QVERIFY(!favourites.contains("Remote"));
    d.Filter = "*.jnx";
    d.Folder = QString::fromStdString(dir.Path());
    d.FileName = "";
    auto* list = d.findChild<QListWidget*>("lvFiles");
    auto* name = d.findChild<QComboBox*>("cbFileName");
    QVERIFY(WhileExecuting(d, [&] {
      list->setFocus();
      QCOMPARE(Captions(list), QStringList{"maps"});
      list->setCurrentRow(0);
      KeyToFocus(Qt::Key_Return);  // into the folder
      QCOMPARE(d.CurrentFolder(), QString::fromStdString(dir.Path("maps/")));
      QVERIFY(!list->item(0)->icon().isNull());
      list->setCurrentRow(0);
      KeyToFocus(Qt::Key_Down);
      QTRY_COMPARE(name->currentText(), QString("two.jnx"));
      KeyToFocus(Qt::Key_Backspace);
      QCOMPARE(d.CurrentFolder(), QString::fromStdString(dir.Path()));
      KeyToFocus(Qt::Key_Return);  // "maps" is selected again: back in
      QCOMPARE(d.CurrentFolder(), QString::fromStdString(dir.Path("maps/")));
      KeyToFocus(Qt::Key_Up, Qt::AltModifier);
      QCOMPARE(d.CurrentFolder(), QString::fromStdString(dir.Path()));
      // A typed path: its folder, then its file chosen.
      name->setFocus();
      KeyToFocus(Qt::Key_A, Qt::ControlModifier);
      TypeToFocus(QString::fromStdString(dir.Path("maps/one.jnx")));
      KeyToFocus(Qt::Key_Return);
    }));
    QCOMPARE(d.Path(), dir.Path("maps/one.jnx"));
    // From the home folder.
    d.FileName = "";
    QVERIFY(!WhileExecuting(d, [&] {
      name->setFocus();
      KeyToFocus(Qt::Key_A, Qt::ControlModifier);
      TypeToFocus("~/");
      KeyToFocus(Qt::Key_Return);
      QCOMPARE(d.CurrentFolder(), QDir::homePath() + "/");
    }));
  }

  void SettingsAndFavouritesSurvive() {
    TTempDir dir, settings;
    {
      TfOpenSaveDialog d(QString::fromStdString(settings.Path()), QString::fromStdString(dir.Path()));
      d.Folder = QString::fromStdString(dir.Path());
      WhileExecuting(
          d, [&] { d.findChild<QMenu*>("pmFavorites")->findChild<QAction*>("miAddCurrentDirectory")->trigger(); });
      QVERIFY(d.WriteSettings());
    }
    const std::string ini = ReadText(settings.Path("OpenSave.ini"));
    QVERIFY(ini.rfind("WinCmd.ini=path_to_WinCmd.ini\r\nLastFile=", 0) == 0);
    QVERIFY2(ini.find("Favorite1=" + dir.Path() + "=" + dir.Path() + "\r\n") != std::string::npos, ini.c_str());
  }
};

QTEST_MAIN(TDialogTest)
#include "dialog_test.moc"
