// SPDX-License-Identifier: GPL-3.0-or-later
// The main window under the offscreen platform: settings, opening folders, menu state.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTabWidget>
#include <QUrl>
#include <QtTest>
#include <filesystem>

#include "GuiSupport.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/StringGridEx/TStringGridEx.h"
#include "gui/app/TfMain.h"
#include "gui/common/Settings.h"
#include "gui/session/TMapSession.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxUpdate.h"
#include "jnx/JnxWriter.h"

using namespace brelo;
using namespace brelo::test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      out.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

// A window over a fresh state whose errors are recorded instead of shown.
struct TWindow : TTestWindow {
  TTempDir& settings = Settings;
  TAppState& state = State;
  std::unique_ptr<TfMain>& window = Window;
  QStringList& errors = Errors;
};

}  // namespace

class TAppTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallModalWatchdog(); }

  void SettingsDefaultsOrderCaseAndBadValues() {
    TSettings d = ReadSettings({});
    QCOMPARE(d.Left, 238);
    QCOMPARE(d.Width, 812);
    QCOMPARE(d.Scale, 1.0);
    QVERIFY(!d.DrawGrid && d.DrawCrosshair && d.AutoUpdateMap);
    QCOMPARE(d.TileWidth, 256);
    // Keys without case; a value that does not convert keeps its default; groups stop at a gap.
    TSettings s =
        ReadSettings(Lines("scale=1,5\r\nLATITUDE=12\r\nDrawGrid=1\r\nwidth=abc\r\nGroup1=a\r\nGroup3=c\r\n"));
    QCOMPARE(s.Scale, 1.0);
    QCOMPARE(s.Latitude, 12);
    QVERIFY(s.DrawGrid);
    QCOMPARE(s.Width, 812);
    QCOMPARE(s.Groups, std::vector<std::string>{"a"});
    s.Scale = 0.25;
    s.Groups = {"g1", "g2"};
    const auto written = Lines(SettingsText(s, true));
    QCOMPARE(written.size(), std::size_t(19));
    QCOMPARE(written[0], std::string("AutoLoadWaypoints="));
    QCOMPARE(written[3], std::string("Scale=0.25"));
    QCOMPARE(written[12], std::string("TileHeight=256"));
    QCOMPARE(written[13], std::string("Left=238"));
    QCOMPARE(written[18], std::string("Group2=g2"));
    QCOMPARE(Lines(SettingsText(s, false)).size(), std::size_t(15));  // no bounds when maximised
    QCOMPARE(ReadSettings(written).Scale, 0.25);
  }

  void WindowStartsFromDefaultsAndWritesItsSettings() {
    TWindow w;
    w.window->ReadSettingsFile();
    QCOMPARE(w.window->geometry(), QRect(238, 184, 812, 580));
    QCOMPARE(w.Find<QLineEdit>("eScale")->text(), QString("1"));
    QCOMPARE(w.Find<QMenu>("miUpdateMap")->title(), QString("AutoUpdateMap"));
    QVERIFY(!w.Find<QAction>("miUpdateMapNow")->isVisible());
    QVERIFY(w.window->windowTitle().startsWith("brelo 0.1beta"));
    w.state.View.ViewScale = 1.5e-5;
    QVERIFY(w.window->WriteSettingsFile());
    const std::string text = ReadText(w.settings.Path("brelo.ini"));
    QVERIFY(text.find("Scale=1.5E-5\r\n") != std::string::npos);
    QVERIFY(text.find("Left=238\r\n") != std::string::npos);
    QVERIFY(std::filesystem::exists(w.settings.Path("OpenSave.ini")));
    // A window saved on a screen that is gone comes back onto the screen.
    WriteText(w.settings.Path("brelo.ini"), "Left=-30000\r\nTop=-30000\r\nAutoUpdateMap=0\r\n");
    w.window->ReadSettingsFile();
    QVERIFY(w.window->geometry().left() > -30000);
    QCOMPARE(w.Find<QMenu>("miUpdateMap")->title(), QString("UpdateMap"));
  }

  // A screen of 1600 x 1000 at twice the density (QT_SCALE_FACTOR=2) is 800 x 500 for the
  // window: it opens on it whole, its status row and tables too, wherever it was saved.
  void TheWindowFitsADenseScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen->devicePixelRatio() != 2 || screen->availableGeometry().height() > 600)
      QSKIP("needs a screen of 1600 x 1000 at QT_SCALE_FACTOR=2 (ctest runs it so as gui.app_test_hidpi)");
    const QRect avail = screen->availableGeometry();
    for (const char* saved : {"", "Left=900\r\nTop=700\r\nWidth=812\r\nHeight=580\r\n"}) {
      TTempDir dir;
      MakeTestJnx(dir.Path("m.jnx"), {2, 4});
      TTestWindow w;
      WriteText(w.Settings.Path("brelo.ini"), saved);
      w.Window->ReadSettingsFile();
      w.Window->show();
      QVERIFY(QTest::qWaitForWindowExposed(w.Window.get()));
      w.Window->OpenMap(dir.Path("m.jnx"));
      QTRY_VERIFY(avail.contains(w.Window->frameGeometry()));
      QVERIFY2(avail.contains(w.Window->frameGeometry()), qPrintable(QString("%1,%2 %3x%4 on %5x%6")
                                                                         .arg(w.Window->x())
                                                                         .arg(w.Window->y())
                                                                         .arg(w.Window->width())
                                                                         .arg(w.Window->height())
                                                                         .arg(avail.width())
                                                                         .arg(avail.height())));
      QVERIFY(w.Window->minimumWidth() <= avail.width() && w.Window->minimumHeight() <= avail.height());
      // The status row and the tile table lie inside the window.
      for (int page : {0, 1}) {
        w.Page(page);
        for (const char* name : {"lInfo", page == 1 ? "sgTiles" : "iMap"}) {
          auto* widget = w.Find<QWidget>(name);
          const QRect inWindow(widget->mapTo(w.Window.get(), QPoint(0, 0)), widget->size());
          QVERIFY2(widget->isVisible() && w.Window->rect().contains(inWindow), name);
        }
      }
    }
  }

  void PagesSwapTheirMenus() {
    TWindow w;
    w.window->show();
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    auto* pages = w.Find<QTabWidget>("PageControl");
    QVERIFY(w.Find<QMenuBar>("mmMap")->isVisible());
    QTest::keyClick(w.window.get(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 1);
    QVERIFY(!w.Find<QMenuBar>("mmMap")->isVisible());
    QVERIFY(w.Find<QMenuBar>("mmMapList")->isVisible());
    QTest::keyClick(w.window.get(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 0);
  }

  // Ctrl+Q ends the program from either page.
  void QuitShortcutWorksOnBothPages() {
    for (const int page : {0, 1}) {
      TTestWindow w(true, page);
      QVERIFY(QApplication::focusWidget() || w.Window->isActiveWindow());
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.Window.get(), Qt::Key_Q,
                      Qt::ControlModifier);
      QVERIFY2(!w.Window->isVisible(), qPrintable(QString("page %1").arg(page)));
    }
  }

  // A settings file that cannot be written does not cost the dialog's; a scale beyond the
  // offered range comes back into it.
  void SettingsFilesWhateverHappensToEither() {
    TWindow w;
    std::filesystem::create_directories(w.settings.Path("brelo.ini"));  // in the way
    QVERIFY(!w.window->WriteSettingsFile());
    QVERIFY(std::filesystem::exists(w.settings.Path("OpenSave.ini")));
    TWindow far;
    WriteText(far.settings.Path("brelo.ini"), "Scale=100000\r\n");
    far.window->ReadSettingsFile();
    QCOMPARE(far.state.View.ViewScale, 256.0);
    QCOMPARE(far.Find<QLineEdit>("eScale")->text(), QString("256"));
  }

  // A file named on the command line that is not there: one message, nothing scanned or
  // stored. A relative name is made absolute; a name that is not UTF-8 opens.
  void CommandLineFilesThatAreMissingRelativeOrLatin1() {
    TTempDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.Path()));
    {
      TWindow w;
      w.window->FirstActivation({"brelo", "missing.jnx"});
      QCOMPARE(w.errors.size(), 1);
      QVERIFY(!std::filesystem::exists(dir.Path("Maps.gpx")));
      QVERIFY(w.state.Settings.LastJNXFile.empty());
      QVERIFY(w.Session().File().empty());
    }
    std::filesystem::create_directories(dir.Path("sub"));
    MakeTestJnx(dir.Path("sub/K\xF6ln.jnx"), {1}, 4, "Latin-1");
    {
      TWindow w;
      w.window->FirstActivation({"brelo", "sub/../sub/K\xF6ln.jnx"});
      QVERIFY(w.errors.isEmpty());
      QCOMPARE(w.Session().File(), dir.Path("sub/K\xF6ln.jnx"));
      QCOMPARE(w.state.Settings.LastJNXFile, dir.Path("sub/K\xF6ln.jnx"));
      QCOMPARE(w.Session().Map().ProductName, std::string("Latin-1"));
      QCOMPARE(w.Find<QListWidget>("lbMaps")->item(0)->text(), QString::fromUtf8("K\xC3\xB6ln.jnx"));
      QVERIFY(w.window->windowTitle().endsWith(QString::fromUtf8("/sub/K\xC3\xB6ln.jnx")));
    }
    QDir::setCurrent(old);
  }

  // Opened through the file dialog, the information line names the files of the folder that
  // did not load, as a command-line open does.
  void OpenThroughTheDialogNamesUnreadableFiles() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1});
    WriteText(dir.Path("broken.jnx"), "not a map");
    TTestWindow w(true, 0);
    w.State.Settings.LastJNXFile = dir.Path("a.jnx");
    TfOpenSaveDialog& d = w.Window->OpenSaveDialog();
    WhenShown(&d, [&d] {
      d.findChild<QComboBox*>("cbFileName")->setFocus();  // a.jnx, the last file, is in the name box
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      if (d.isVisible()) d.reject();
    });
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMap"), w.Find<QAction>("miOpenJNX"));
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("a.jnx")));
    const QString info = w.Find<QLabel>("lInfo")->text();
    QVERIFY2(info.startsWith("Not read: broken.jnx: "), qPrintable(info));
  }

  // A Maps.gpx of the user's in the folder is left as it is, and the information line says so
  // once, not again at the next listing of the folder.
  void UsersOwnMapsGpxIsKeptAndSaidOnce() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1});
    const std::string track = "<gpx><trk><name>mine</name></trk></gpx>";
    WriteText(dir.Path("Maps.gpx"), track);
    TTestWindow w(true, 0);
    TfOpenSaveDialog& d = w.Window->OpenSaveDialog();
    auto open = [&] {
      w.State.Settings.LastJNXFile = dir.Path("a.jnx");
      WhenShown(&d, [&d] {
        d.findChild<QComboBox*>("cbFileName")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (d.isVisible()) d.reject();
      });
      ChooseOnMenuBar(w.Find<QMenuBar>("mmMap"), w.Find<QAction>("miOpenJNX"));
      return w.Find<QLabel>("lInfo")->text();
    };
    const QString first = open();
    QVERIFY2(first.contains("Maps.gpx is not an outline file written by brelo: it was left as it is"),
             qPrintable(first));
    QVERIFY2(!first.contains("Not read"), qPrintable(first));
    QCOMPARE(ReadText(dir.Path("Maps.gpx")), track);
    const QString again = open();
    QVERIFY2(!again.contains("Maps.gpx"), qPrintable(again));
    QCOMPARE(ReadText(dir.Path("Maps.gpx")), track);
  }

  // The programs' command lines: help and version without a display, a wrong option refused
  // with the usage; several files: the first opens, the rest are said not to be.
  void CommandLines() {
    const std::string brelo = BRELO_GUI_PATH, env = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ";
    TRunResult r = RunCommand(env + brelo + " --help");
    QCOMPARE(r.Status, 0);
    QVERIFY2(r.Out.rfind("Usage: brelo [options] [FILE.jnx]\n", 0) == 0, r.Out.c_str());
    r = RunCommand(env + brelo + " --version");
    QCOMPARE(r.Status, 0);
    QCOMPARE(r.Out, std::string("brelo ") + BRELO_VERSION + "\n");
    r = RunCommand(env + brelo + " --bogus");
    QCOMPARE(r.Status, 2);
    QVERIFY(r.Out.empty());
    QVERIFY2(r.Err.rfind("brelo: Unknown option 'bogus'.\n\nUsage: brelo", 0) == 0, r.Err.c_str());
    r = RunCommand(CliPath() + " --version");
    QCOMPARE(r.Status, 0);
    QCOMPARE(r.Out, std::string("brelo-cli ") + BRELO_VERSION + "\n");
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1});
    MakeTestJnx(dir.Path("b.jnx"), {1});
    TWindow w;
    w.window->FirstActivation({"brelo", dir.Path("a.jnx"), dir.Path("b.jnx")});
    QCOMPARE(w.Session().File(), dir.Path("a.jnx"));
    QCOMPARE(w.Find<QLabel>("lInfo")->text(), QString("Not opened (one map at a time): b.jnx"));
  }

  // The maps opened last are offered again; one no longer there leaves the list with a word;
  // they are kept beside the settings, and brelo.ini keeps its own keys only.
  void RecentFiles() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1});
    std::filesystem::create_directories(dir.Path("sub"));
    MakeTestJnx(dir.Path("sub/b.jnx"), {1});
    {
      TTestWindow w(true, 0);
      w.Window->OpenMap(dir.Path("a.jnx"));
      w.Window->OpenMap(dir.Path("sub/b.jnx"));
      QVERIFY(w.Window->WriteSettingsFile());
      QCOMPARE(ReadText(w.Settings.Path("recent.ini")),
               "File1=" + dir.Path("sub/b.jnx") + "\r\nFile2=" + dir.Path("a.jnx") + "\r\n");
      const auto keys = Lines(ReadText(w.Settings.Path("brelo.ini")));
      QCOMPARE(std::count_if(keys.begin(), keys.end(), [](const std::string& k) { return k.rfind("Group", 0) != 0; }),
               std::ptrdiff_t(17));
      for (const auto& k : keys) QVERIFY2(k.find("ecent") == std::string::npos, k.c_str());
      // a.jnx gone: opening the menu drops it and says so; the other entry opens its map.
      std::filesystem::remove(dir.Path("a.jnx"));
      auto* bar = w.Find<QMenuBar>("mmMap");
      auto* recent = w.Find<QMenu>("miRecent");
      WhenShown(recent, [recent] {
        QTest::keyClick(recent, Qt::Key_Down);
        QTest::keyClick(recent, Qt::Key_Return);
      });
      ChooseOnMenuBar(bar, recent->menuAction());
      QTRY_VERIFY(!recent->isVisible());
      QCOMPARE(recent->actions().size(), 1);
      QVERIFY2(w.Find<QLabel>("lInfo")->text().startsWith("No longer there, dropped from the recent files: "),
               qPrintable(w.Find<QLabel>("lInfo")->text()));
    }
  }

  // A map dropped on the window opens; a GPX file dropped on the Map page is drawn over it.
  void DroppedFiles() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1});
    WriteText(dir.Path("t.gpx"),
              "<gpx><trk><trkseg><trkpt lat=\"50.001\" lon=\"10.001\"/><trkpt lat=\"50.002\" "
              "lon=\"10.002\"/></trkseg></trk></gpx>");
    TTestWindow w(true, 1);
    auto drop = [&](const std::string& file) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
      const QPoint at = w.Window->rect().center();
      QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(w.Window.get(), &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(w.Window.get(), &dropped);
    };
    drop(dir.Path("a.jnx"));
    QCOMPARE(w.Session().File(), dir.Path("a.jnx"));
    w.Page(0);
    drop(dir.Path("t.gpx"));
    QCOMPARE(w.Session().Gpx().Track.size(), std::size_t(2));
  }

  // Ctrl+PageUp and Ctrl+Shift+Tab go back a page, as Ctrl+PageDown and Ctrl+Tab go forward.
  void PageKeysBothWays() {
    {
      TTestWindow w(true, 0);
      auto* pages = w.Find<QTabWidget>("PageControl");
      for (const auto& [key, modifiers] : {std::pair{Qt::Key_PageUp, Qt::KeyboardModifiers(Qt::ControlModifier)},
                                           {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}}) {
        pages->setCurrentIndex(1);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.Window.get(), key, modifiers);
        QCOMPARE(pages->currentIndex(), 0);
      }
    }
    // The Map page's list of maps, which moves its selection by Ctrl+PageDown of its own, leaves
    // the keys to the pages and the loaded map as it is.
    TTempDir dir;
    for (const char* name : {"a.jnx", "b.jnx", "c.jnx"}) MakeTestJnx(dir.Path(name), {1});
    TTestWindow m(true, 0);
    m.Window->OpenMap(dir.Path("a.jnx"));
    auto* pages = m.Find<QTabWidget>("PageControl");
    auto* list = m.Find<QListWidget>("lbMaps");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(m.Session().File(), dir.Path("a.jnx"));
  }

  void OpeningAFolderOfThreeMapsWithAHostileOne() {
    TTempDir dir;
    MakeTestJnx(dir.Path("b.jnx"), {2, 3}, 4, "Bravo");
    MakeTestJnx(dir.Path("A.jnx"), {1}, 4, "Alpha");
    MakeTestJnx(dir.Path("c.jnx"), {1, 1, 1, 1, 1}, 4, "Charlie");
    WriteText(dir.Path("broken.jnx"), "not a map");
    std::filesystem::create_directories(dir.Path("folder.jnx"));
    TTestWindow w(true, 0);
    w.Window->OpenMap(dir.Path("b.jnx"));
    auto* maps = w.Find<TStringGridEx>("sgMaps");
    QCOMPARE(maps->RowCount(), 4);
    QCOMPARE(maps->Text(1, 1), QString("A"));  // name order, ignoring case
    QCOMPARE(maps->Text(5, 2), QString("Bravo"));
    QCOMPARE(maps->Text(7, 3), QString("5"));
    QCOMPARE(maps->Row(), 2);
    QCOMPARE(w.Find<QListWidget>("lbMaps")->count(), 3);
    QCOMPARE(w.Find<QListWidget>("lbMaps")->currentRow(), 1);
    QVERIFY(w.Find<QLabel>("lInfo")->text().contains("broken.jnx"));
    QVERIFY(w.Errors.isEmpty());
    QVERIFY(std::filesystem::exists(dir.Path("Maps.gpx")));
    QCOMPARE(w.State.MapGroups.size(), std::size_t(3));
    QCOMPARE(w.State.MapGroups[1], std::string("0,Bravo,30,800m"));
    QVERIFY(w.Window->windowTitle().endsWith(QString::fromStdString(dir.Path("b.jnx"))));
    QVERIFY(w.Find<QAction>("miSaveMap")->isVisible());
    QVERIFY(w.Find<QAction>("miPrevLevel")->isVisible());
    QVERIFY(w.Find<QMenu>("miAddDummyLevel")->menuAction()->isVisible());
    QVERIFY(w.Find<QAction>("miSaveTAR")->isEnabled());
    QCOMPARE(w.Find<QComboBox>("cbTiles")->count(), 3);
    // Five levels: no placeholder offered; one level: no level stepping. The maps chosen in the
    // Map page's list of maps.
    auto* list = w.Find<QListWidget>("lbMaps");
    auto choose = [list](int row) {
      list->scrollToItem(list->item(row));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };
    choose(2);
    QCOMPARE(w.Session().File(), dir.Path("c.jnx"));
    QVERIFY(!w.Find<QMenu>("miAddDummyLevel")->menuAction()->isVisible());
    choose(0);
    QCOMPARE(w.Session().File(), dir.Path("A.jnx"));
    QVERIFY(!w.Find<QAction>("miPrevLevel")->isVisible());
    // Groups are built only while the list is empty.
    w.Window->OpenMap(dir.Path("c.jnx"));
    QCOMPARE(w.State.MapGroups.size(), std::size_t(3));
  }

  void DummyLastLevelShowsTheOneBeforeAndTheCentreMovesOntoTheMap() {
    TTempDir dir;
    MakeTestJnx(dir.Path("m.jnx"), {2, 4});
    TJnxMap map = LoadJnx(dir.Path("m.jnx"));
    AppendDummyLevel(map, 18, ReadFile(std::string(BRELO_SOURCE_DIR) + "/resources/dummy.jpg"));
    TWindow w;
    w.state.View.ViewCentreLon = DegToJnx(-120);
    w.window->OpenMap(dir.Path("m.jnx"));
    auto* levels = w.Find<TStringGridEx>("sgLevels");
    QCOMPARE(levels->RowCount(), 4);
    QCOMPARE(levels->Row(), 2);
    QCOMPARE(w.Find<QComboBox>("cbTiles")->count(), 4);
    QVERIFY(!w.Find<QMenu>("miAddDummyLevel")->menuAction()->isVisible());
    QCOMPARE(w.state.View.ViewCentreLon, Midpoint(w.Session().Map().West, w.Session().Map().East));
    QCOMPARE(Midpoint(DegToJnx(150), DegToJnx(170)), DegToJnx(160));
  }

  void FileCommandsLeaveFilesAsTheCommandLineDoes() {
    TTempDir dir;
    MakeTestJnx(dir.Path("m.jnx"), {3, 4});
    TWindow w;
    w.window->OpenMap(dir.Path("m.jnx"));
    auto* info = w.Find<QLabel>("lInfo");
    // SaveLevel: the level file is listed, the workspace stays.
    w.Find<QAction>("miSaveLevel1")->trigger();
    QCOMPARE(info->text(),
             QString::fromStdString(dir.Path("m_level2.jnx") + " saved.  Check: ok"));  // and its device check
    QCOMPARE(w.Find<TStringGridEx>("sgMaps")->RowCount(), 3);
    QCOMPARE(LoadJnx(dir.Path("m_level2.jnx")).Levels[0].TileCount, 4);
    // Update Map Now with auto update off: the file takes the new Guid, nothing else moves.
    w.state.Settings.AutoUpdateMap = false;
    const auto before = ReadFile(dir.Path("m.jnx"));
    w.Find<QAction>("miUpdateMapNow")->trigger();
    QCOMPARE(info->text(), QString::fromStdString(dir.Path("m.jnx") + " successfully updated."));
    const auto after = ReadFile(dir.Path("m.jnx"));
    QCOMPARE(after.size(), before.size());
    QCOMPARE(QString::fromStdString(LoadJnx(dir.Path("m.jnx")).Guid), QString::fromStdString(w.Session().Map().Guid));
    // A placeholder level from the submenu.
    w.Find<QMenu>("miAddDummyLevel")->actions().front()->trigger();
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).LevelCount, 3);
    QVERIFY(info->text().endsWith(" updated. Dummy level added."));
    // SaveTiles: every tile beside the map.
    w.Find<QAction>("miSaveTiles")->trigger();
    QCOMPARE(info->text(), QString::fromStdString("Kafelki zapisane do " + dir.Path("m_tiles/")));
    // SaveMap: the workspace moves on to the copy.
    w.Find<QAction>("miSaveMap")->trigger();
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("m_saved.jnx")));
    QCOMPARE(LoadJnx(dir.Path("m_saved.jnx")).LevelCount, 3);
    QVERIFY(w.errors.isEmpty());
    // A refused update is shown and leaves the file byte for byte.
    MakeTestJnx(dir.Path("full.jnx"), {1});
    TJnxMap full = LoadJnx(dir.Path("full.jnx"));
    full.DetailLevel = std::string(static_cast<std::size_t>(full.Levels[0].TilesOffset) - HeaderSize(full) - 1, 'x');
    WriteHeader(full, full.CurrentFile, false);
    w.window->OpenMap(dir.Path("full.jnx"));
    const auto fullBytes = ReadFile(dir.Path("full.jnx"));
    w.Find<QMenu>("miAddDummyLevel")->actions().front()->trigger();
    QCOMPARE(ReadFile(dir.Path("full.jnx")), fullBytes);
    QCOMPARE(w.errors.size(), 1);
    // The message, and why: the header has no room for the longer texts.
    QVERIFY2(w.errors[0].contains("NOT updated. ReadOnly? Save map first and try again.\n\n"), qPrintable(w.errors[0]));
    QVERIFY2(w.errors[0].contains("no room left in the header"), qPrintable(w.errors[0]));
  }

  void CommandLineArgumentAnyCaseFromTheCurrentFolder() {
    TTempDir dir;
    MakeTestJnx(dir.Path("UP.JNX"), {1});
    const QString old = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.Path()));
    TWindow w;
    w.window->FirstActivation({"brelo", "UP.JNX"});
    QDir::setCurrent(old);
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("UP.JNX")));
    QCOMPARE(w.Find<TStringGridEx>("sgMaps")->RowCount(), 2);
    TWindow other;
    other.window->FirstActivation({"brelo", "notes.txt"});
    QVERIFY(other.Session().File().empty());
  }
};

QTEST_MAIN(TAppTest)
#include "app_test.moc"
