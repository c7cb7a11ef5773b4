// SPDX-License-Identifier: GPL-3.0-or-later
// The List of Maps page driven through its real widgets: sorting, loading maps from the table,
// the cell editor and the selectors, map groups, and the files that edits reach.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>

#include "GuiSupport.h"
#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "gui/OpenSaveDialog/TfOpenSaveDialog.h"
#include "gui/StringGridEx/TStringGridEx.h"
#include "gui/app/TfMain.h"
#include "gui/mappage/TMapCanvas.h"
#include "gui/session/TMapSession.h"
#include "jnx/JnxUpdate.h"
#include "jnx/JnxWriter.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A shown window on the List of Maps page of a folder; errors are recorded, not shown.
struct TListWindow : TTestWindow {
  std::unique_ptr<TfMain>& window = Window;
  TAppState& state = State;
  QStringList& errors = Errors;
  TStringGridEx* sgMaps = Find<TStringGridEx>("sgMaps");
  TStringGridEx* sgLevels = Find<TStringGridEx>("sgLevels");
  TStringGridEx* sgTiles = Find<TStringGridEx>("sgTiles");
  QLineEdit* eEditor = Find<QLineEdit>("eEditor");
  QComboBox* cbTiles = Find<QComboBox>("cbTiles");
  QComboBox* cbScale = Find<QComboBox>("cbScale");
  QComboBox* cbMapGroup = Find<QComboBox>("cbMapGroup");
  explicit TListWindow(const std::string& map) : TTestWindow(true, 1) {
    window->OpenMap(map);
    QCoreApplication::processEvents();
  }
  // A press on cell (c, r) of a table, as the user makes it.
  static void Press(TStringGridEx* t, int c, int r, bool twice = false) { PressCell(t, c, r, Qt::LeftButton, twice); }
  // Types text into the cell editor over (c, r) of a table and presses Enter, as the user
  // does: every key to the widget with the focus.
  void Edit(TStringGridEx* t, int c, int r, const QString& text) {
    Press(t, c, r);
    QVERIFY(eEditor->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(eEditor));
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus(text);
    KeyToFocus(Qt::Key_Return);
  }
  int RowOf(const std::string& name) const {
    for (int r = 1; r < sgMaps->RowCount(); ++r)
      if (sgMaps->Cell(1, r) == name) return r;
    return -1;
  }
};

// A file's bytes with its Guid blanked: every write gives a map a new one.
std::vector<std::uint8_t> WithoutGuid(const std::string& path) {
  std::vector<std::uint8_t> bytes = ReadFile(path);
  const std::string guid = LoadJnx(path).Guid;
  for (std::size_t i = 0; guid.size() == 36 && i + 36 <= bytes.size(); ++i)
    if (std::equal(guid.begin(), guid.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                   [](char a, std::uint8_t b) { return a == std::toupper(b); })) {
      std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(i), 36, 'G');
      break;
    }
  return bytes;
}

// The command line run beside the window; it must succeed.
void RunCli(const std::string& arguments) {
  const TRunResult r = RunCommand(Cli(arguments));
  QVERIFY2(r.Status == 0, r.Err.c_str());
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

class TListTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallModalWatchdog(); }

  void SortingKeepsTheCurrentMapAndRowPressesLoadMaps() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1}, 4, "bravo");
    MakeTestJnx(dir.Path("b.jnx"), {1, 2}, 4, "Alpha");
    MakeTestJnx(dir.Path("C.JNX"), {3}, 4, "charlie");
    TListWindow w(dir.Path("a.jnx"));
    TStringGridEx* maps = w.sgMaps;
    QCOMPARE(maps->RowCount(), 4);
    QCOMPARE(maps->FixedRows(), 1);
    QCOMPARE(maps->Text(1, maps->Row()), QString("a"));
    TListWindow::Press(maps, 5, 0);
    QCOMPARE(maps->SortColumn, 5);
    QVERIFY(maps->SortAscending);
    QCOMPARE(maps->Text(5, 1) + maps->Text(5, 2) + maps->Text(5, 3), QString("Alphabravocharlie"));
    QCOMPARE(maps->Text(1, maps->Row()), QString("a"));  // still the current map
    QCOMPARE(maps->Col(), 5);
    TListWindow::Press(maps, 5, 0);
    QVERIFY(!maps->SortAscending);
    QCOMPARE(maps->Text(5, 1), QString("charlie"));
    QCOMPARE(maps->Text(1, maps->Row()), QString("a"));
    // A press on a fixed cell loads the row's file, whatever the case of its extension.
    TListWindow::Press(maps, 0, w.RowOf("C"));
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("C.JNX")));
    QCOMPARE(maps->Row(), w.RowOf("C"));
    QCOMPARE(w.sgLevels->RowCount(), 2);
    QCOMPARE(w.cbTiles->count(), 3);
    QVERIFY(w.errors.isEmpty());
    // The level table: a press refills the tile selector and shows that level's first tile.
    TListWindow::Press(maps, 1, w.RowOf("b"));
    w.Page(0);
    w.CtrlClickTile(1);  // a tile of level 2, chosen on the map page
    QCOMPARE(w.Session().ChosenTiles(), std::vector<int>{1});
    w.Page(1);
    TListWindow::Press(w.sgLevels, 1, 1);
    QVERIFY(w.Session().SelectedTiles().empty());
    QCOMPARE(w.cbTiles->count(), 1);
    QCOMPARE(w.sgTiles->Text(0, 1), QString("0"));
    QCOMPARE(w.sgTiles->Text(1, 1), QString("8"));
    QCOMPARE(w.Session().Level(), 0);
    // A double click on a fixed cell switches to the Map page.
    TListWindow::Press(maps, 0, 1, true);
    QCOMPARE(w.window->findChild<QTabWidget*>("PageControl")->currentIndex(), 0);
  }

  void EditsReachTheFileByTheAcceptanceRules() {
    TTempDir dir;
    MakeTestJnx(dir.Path("m.jnx"), {2, 3});
    TListWindow w(dir.Path("m.jnx"));
    TStringGridEx* maps = w.sgMaps;
    const int row = 1;
    // Version 5 is refused: the file keeps 4 and the cell shows it again.
    w.Edit(maps, 3, row, "5");
    QCOMPARE(maps->Text(3, row), QString("4"));
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).Version, 4);
    struct TCase {
      const char* typed;
      int stored;
    } ids[] = {{"12x", 12}, {"abc", 0}, {"-3", 0}, {"-3x", 3}, {"70000", 70000}};
    for (const auto& c : ids) {
      w.Edit(maps, 4, row, c.typed);
      QCOMPARE(LoadJnx(dir.Path("m.jnx")).ProductId, c.stored);
      QCOMPARE(maps->Text(4, row), QString::number(c.stored));
    }
    QCOMPARE(maps->Text(22, row), QString("4464"));
    w.Edit(maps, 4, row, "40000");
    QCOMPARE(maps->Text(22, row), QString("-25536"));
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).ProductId2, -25536);
    w.Edit(maps, 6, row, "150");
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).ZOrder, 30);
    w.Edit(maps, 6, row, "77");
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).ZOrder, 77);
    // A blank product name, typed into the group selector, keeps the old one.
    TListWindow::Press(maps, 5, row);
    KeyToFocus(Qt::Key_A, Qt::ControlModifier);
    TypeToFocus("   ");
    KeyToFocus(Qt::Key_Return);
    QCOMPARE(maps->Text(5, row), QString("Test map"));
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).ProductName, std::string("Test map"));
    // Level texts through the level table; Esc drops an edit.
    w.Edit(w.sgLevels, 5, 2, "Top");
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).Levels[1].Name, std::string("Top"));
    TListWindow::Press(w.sgLevels, 6, 2);
    QTest::keyClicks(w.eEditor, "zzz");
    QTest::keyClick(w.eEditor, Qt::Key_Escape);
    QVERIFY(!w.eEditor->isVisible());
    QCOMPARE(w.sgLevels->Text(6, 2), QString("Description 2"));
    // The GUID opens read-only with all of it selected; Enter changes nothing.
    const auto before = ReadFile(dir.Path("m.jnx"));
    TListWindow::Press(maps, 19, row);
    QVERIFY(w.eEditor->isReadOnly());
    QCOMPARE(w.eEditor->selectedText(), maps->Text(19, row));
    QTest::keyClick(w.eEditor, Qt::Key_Return);
    QCOMPARE(ReadFile(dir.Path("m.jnx")), before);
    // Tile cells are read-only too.
    TListWindow::Press(w.sgTiles, 3, 1);
    QVERIFY(w.eEditor->isReadOnly());
    QVERIFY(w.errors.isEmpty());
  }

  void ScaleSelectorAndMapGroups() {
    TTempDir dir;
    MakeTestJnx(dir.Path("m.jnx"), {2, 3});
    MakeTestJnx(dir.Path("n.jnx"), {1}, 4, "Other");
    TListWindow w(dir.Path("m.jnx"));
    QCOMPARE(w.state.MapGroups.size(), std::size_t(2));
    QCOMPARE(w.state.MapGroups[0], std::string("0,Test map,30,800m"));
    // The scale selector over "eTrex Scale" writes value and name, and the update follows.
    TListWindow::Press(w.sgLevels, 3, 1);
    QVERIFY(w.cbScale->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cbScale));
    QCOMPARE(w.cbScale->currentText(), QString("1.2km"));  // level 1's
    ChooseInFocusedCombo("2km");
    QVERIFY(!w.cbScale->isVisible());
    QCOMPARE(w.sgLevels->Text(2, 1), QString("6000"));
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).Levels[0].Scale, 6000u);
    // Choosing a group: three fields and level 1's scale.
    w.state.MapGroups = {"51,Name,25,1.2km", "52,Other,26, 3km", "nocomma"};
    const int row = w.RowOf("m");
    auto chooseGroup = [&](const QString& item) {
      TListWindow::Press(w.sgMaps, 5, row);
      QVERIFY(w.cbMapGroup->isVisible());
      ChooseInFocusedCombo(item);
      QVERIFY(!w.cbMapGroup->isVisible());
    };
    TListWindow::Press(w.sgMaps, 5, row);
    QCOMPARE(w.cbMapGroup->currentText(), QString("Test map"));
    // Its list is as wide as its widest item, however narrow the column.
    QVERIFY(w.cbMapGroup->view()->minimumWidth() >=
            QFontMetrics(w.cbMapGroup->view()->font()).horizontalAdvance("52,Other,26, 3km"));
    KeyToFocus(Qt::Key_Escape);
    chooseGroup("51,Name,25,1.2km");
    TJnxMap m = LoadJnx(dir.Path("m.jnx"));
    QCOMPARE(m.ProductId, 51);
    QCOMPARE(m.ProductName, std::string("Name"));
    QCOMPARE(m.ZOrder, 25);
    QCOMPARE(m.Levels[0].Scale, 4777u);
    QCOMPARE(w.sgLevels->Text(3, 1), QString("1.2km"));
    // A blank before the scale name applies no scale.
    chooseGroup("52,Other,26, 3km");
    m = LoadJnx(dir.Path("m.jnx"));
    QCOMPARE(m.ProductId, 52);
    QCOMPARE(m.Levels[0].Scale, 4777u);
    // No comma applies nothing, yet the update still runs (a new Guid).
    const std::string guid = m.Guid;
    chooseGroup("nocomma");
    m = LoadJnx(dir.Path("m.jnx"));
    QCOMPARE(m.ProductId, 52);
    QVERIFY(m.Guid != guid);
    // Enter in the selector writes the cell and appends an item, duplicates included.
    for (int i = 0; i < 2; ++i) {
      TListWindow::Press(w.sgMaps, 5, row);
      KeyToFocus(Qt::Key_A, Qt::ControlModifier);
      TypeToFocus("Typed");
      KeyToFocus(Qt::Key_Return);
    }
    QCOMPARE(LoadJnx(dir.Path("m.jnx")).ProductName, std::string("Typed"));
    QCOMPARE(w.state.MapGroups.size(), std::size_t(5));
    QCOMPARE(w.state.MapGroups[3], std::string("52,Typed,26,1.2km"));
    QCOMPARE(w.state.MapGroups[4], w.state.MapGroups[3]);
    QVERIFY(w.window->WriteSettingsFile());
    QVERIFY(ReadText(w.Settings.Path("brelo.ini")).find("Group5=52,Typed,26,1.2km\r\n") != std::string::npos);
    QVERIFY(w.errors.isEmpty());
  }

  void RefusedUpdateLeavesTheFileAndShowsItsValuesAgain() {
    TTempDir dir;
    MakeTestJnx(dir.Path("v3.jnx"), {1}, 3);
    TListWindow w(dir.Path("v3.jnx"));
    TStringGridEx* maps = w.sgMaps;
    w.Edit(maps, 6, 1, "50");
    QCOMPARE(LoadJnx(dir.Path("v3.jnx")).ZOrder, -1);  // version 3: always -1
    QCOMPARE(maps->Text(6, 1), QString("-1"));
    // A name that does not fit before the tiles: refused, the file unchanged, the old name back.
    const auto before = ReadFile(dir.Path("v3.jnx"));
    TListWindow::Press(maps, 12, 1);
    QTest::keyClick(w.eEditor, Qt::Key_Escape);
    w.Edit(maps, 12, 1, QString(2000, 'n'));
    QCOMPARE(w.errors.size(), 1);
    QCOMPARE(ReadFile(dir.Path("v3.jnx")), before);
    QCOMPARE(maps->Text(12, 1), QString("detail"));
  }

  void WindowCommandsWriteWhatTheCommandLineWrites() {
    TTempDir dir;
    std::filesystem::create_directories(dir.Path("win"));
    std::filesystem::create_directories(dir.Path("cli"));
    const std::string win = dir.Path("win/tatry.jnx"), cli = dir.Path("cli/tatry.jnx");
    std::filesystem::copy_file(SampleFile(), win);
    std::filesystem::copy_file(SampleFile(), cli);
    TListWindow w(win);
    QAction* autoUpdate = w.window->findChild<QAction*>("miAutoUpdateMap");
    autoUpdate->setChecked(false);
    // Edits stay in the tables until Update Map Now.
    w.Edit(w.sgMaps, 12, 1, "edited detail");
    w.Edit(w.sgLevels, 5, 1, "First");
    QCOMPARE(LoadJnx(win).DetailLevel, LoadJnx(SampleFile()).DetailLevel);
    w.window->findChild<QAction*>("miUpdateMapNow")->trigger();
    RunCli("edit " + Quoted(cli) + " 'DetailLevel=edited detail' L1.Name=First");
    QCOMPARE(WithoutGuid(win), WithoutGuid(cli));
    // Save level: the level whose row was pressed last.
    w.window->findChild<QAction*>("miSaveLevel1")->trigger();
    RunCli("save-level " + Quoted(cli) + " 1");
    QCOMPARE(WithoutGuid(dir.Path("win/tatry_level1.jnx")), WithoutGuid(dir.Path("cli/tatry_level1.jnx")));
    // Deleting the selected tiles of the shown level (2), after the question: chosen with
    // Ctrl+clicks on the whole level, one of them taken back, then the Delete key.
    TListWindow::Press(w.sgLevels, 0, 2);
    w.Page(0);
    w.Find<TMapCanvas>("iMap")->setFocus();
    KeyToFocus(Qt::Key_Home);
    for (int tile : {2, 4, 5, 4}) w.CtrlClickTile(tile);
    QCOMPARE(w.Session().SelectedTiles(), (std::vector<int>{2, -1, 5}));
    w.Answers = {QMessageBox::Yes};
    KeyToFocus(Qt::Key_Delete);
    QCOMPARE(w.Questions.back(), QString("Delete 2 tiles of level 2 from tatry.jnx?"));
    RunCli("delete-tiles " + Quoted(cli) + " 2 3,6");
    QCOMPARE(WithoutGuid(win), WithoutGuid(cli));
    QCOMPARE(LoadJnx(win).Levels[1].TileCount, 10);
    // A placeholder level, then save tiles and save map.
    w.Page(1);
    for (QAction* a : w.Find<QMenu>("miAddDummyLevel")->actions())
      if (a->text() == "500m") a->trigger();
    RunCli("add-dummy-level " + Quoted(cli) + " 500m");
    QCOMPARE(WithoutGuid(win), WithoutGuid(cli));
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMapList"), w.Find<QAction>("miSaveTiles"));
    RunCli("save-tiles " + Quoted(cli));
    std::size_t tiles = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path("win/tatry_tiles"))) {
      if (!e.is_regular_file()) continue;
      const auto relative = std::filesystem::relative(e.path(), dir.Path("win"));
      QCOMPARE(ReadFile(e.path().string()), ReadFile(dir.Path("cli/" + relative.string())));
      ++tiles;
    }
    QCOMPARE(tiles, std::size_t(4 + 10 + 1));
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMapList"), w.Find<QAction>("miSaveMap"));
    RunCli("save-map " + Quoted(cli));
    QCOMPARE(WithoutGuid(dir.Path("win/tatry_saved.jnx")), WithoutGuid(dir.Path("cli/tatry_saved.jnx")));
    QVERIFY(w.errors.isEmpty());
  }

  // The keyboard and a right click move through the map table; an edit then reaches the map
  // that is loaded, with that map's own header fields, never another map's.
  void EditsReachTheLoadedMapOnly() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {2}, 4, "Map A");
    MakeTestJnx(dir.Path("b.jnx"), {2}, 4, "Map B");
    MakeTestJnx(dir.Path("c.jnx"), {2}, 4, "Map C");
    RunCli("edit " + Quoted(dir.Path("b.jnx")) + " ProductId=5 ZOrder=70");
    TListWindow w(dir.Path("a.jnx"));
    TStringGridEx* maps = w.sgMaps;
    TListWindow::Press(maps, 5, w.RowOf("a"));
    KeyToFocus(Qt::Key_Escape);  // the product name's selector closes; the table has the keyboard
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(maps));
    KeyToFocus(Qt::Key_Down);
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("b.jnx")));
    QCOMPARE(maps->Row(), w.RowOf("b"));
    w.Edit(w.sgLevels, 5, 1, "Renamed");
    const TJnxMap a = LoadJnx(dir.Path("a.jnx")), b = LoadJnx(dir.Path("b.jnx"));
    QCOMPARE(b.Levels[0].Name, std::string("Renamed"));
    QCOMPARE(b.ProductName, std::string("Map B"));
    QCOMPARE(b.ProductId, 5);
    QCOMPARE(b.ZOrder, 70);
    QCOMPARE(a.ProductName, std::string("Map A"));
    QCOMPARE(a.Levels[0].Name, LoadJnx(dir.Path("c.jnx")).Levels[0].Name);
    // A right click on another row loads that row's map; its edit is its own.
    PressCell(maps, 1, w.RowOf("c"), Qt::RightButton);
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("c.jnx")));
    QCOMPARE(maps->Row(), w.RowOf("c"));
    w.Edit(w.sgLevels, 6, 1, "Described");
    QCOMPARE(LoadJnx(dir.Path("c.jnx")).ProductName, std::string("Map C"));
    QCOMPARE(LoadJnx(dir.Path("c.jnx")).Levels[0].Description, std::string("Described"));
    QCOMPARE(LoadJnx(dir.Path("b.jnx")).Levels[0].Description, b.Levels[0].Description);
    QVERIFY(w.errors.isEmpty());
  }

  // With Auto Update off, edits not yet written are never dropped without a word.
  void UnwrittenEditsAreAskedAbout() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1, 2}, 4, "Map A");
    MakeTestJnx(dir.Path("b.jnx"), {1}, 4, "Map B");
    TListWindow w(dir.Path("a.jnx"));
    w.window->findChild<QAction*>("miAutoUpdateMap")->setChecked(false);
    TStringGridEx* maps = w.sgMaps;
    const auto before = ReadFile(dir.Path("a.jnx"));
    w.Edit(w.sgLevels, 5, 2, "Pending");
    // A press on the loaded map's own row keeps the edit.
    TListWindow::Press(maps, 1, w.RowOf("a"));
    QVERIFY(w.Questions.isEmpty());
    QCOMPARE(w.sgLevels->Text(5, 2), QString("Pending"));
    // Another map: asked; Cancel stays on this map with the edit.
    w.Answers = {QMessageBox::Cancel};
    TListWindow::Press(maps, 1, w.RowOf("b"));
    QCOMPARE(w.Questions.last(), QString("Write the changes to a.jnx?"));
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("a.jnx")));
    QCOMPARE(maps->Row(), w.RowOf("a"));
    QCOMPARE(w.sgLevels->Text(5, 2), QString("Pending"));
    // Quitting asks as well, and Cancel keeps the window open.
    w.Answers = {QMessageBox::Cancel};
    KeyToFocus(Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(w.Questions.size(), 2);
    QVERIFY(w.window->isVisible());
    // Discard: the other map loads, the file is as it was.
    w.Answers = {QMessageBox::Discard};
    TListWindow::Press(maps, 1, w.RowOf("b"));
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("b.jnx")));
    QCOMPARE(ReadFile(dir.Path("a.jnx")), before);
    // Save: written before the other map loads.
    w.Edit(w.sgLevels, 5, 1, "Kept");
    w.Answers = {QMessageBox::Save};
    TListWindow::Press(maps, 1, w.RowOf("a"));
    QCOMPARE(LoadJnx(dir.Path("b.jnx")).Levels[0].Name, std::string("Kept"));
    QCOMPARE(QString::fromStdString(w.Session().File()), QString::fromStdString(dir.Path("a.jnx")));
    QVERIFY(w.errors.isEmpty());
  }

  // Save Level saves the level chosen in the level table.
  void SaveLevelTakesTheLevelOfTheTable() {
    TTempDir dir;
    MakeTestJnx(dir.Path("m.jnx"), {1, 3}, 4, "Two levels");
    TListWindow w(dir.Path("m.jnx"));
    TListWindow::Press(w.sgLevels, 1, 2);
    KeyToFocus(Qt::Key_Escape);  // the cell's editor closes; the table has the keyboard
    KeyToFocus(Qt::Key_F2);      // and opens again from the keyboard
    QVERIFY(w.eEditor->isVisible());
    KeyToFocus(Qt::Key_Escape);
    KeyToFocus(Qt::Key_Up);  // level 1 in the table
    QCOMPARE(w.sgLevels->Row(), 1);
    QCOMPARE(w.Session().Level(), 0);
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMapList"), w.Find<QAction>("miSaveLevel1"));
    QVERIFY(std::filesystem::exists(dir.Path("m_level1.jnx")));
    QVERIFY(!std::filesystem::exists(dir.Path("m_level2.jnx")));
    QCOMPARE(LoadJnx(dir.Path("m_level1.jnx")).Levels[0].TileCount, 1);
  }

  // A pending edit, the file replaced by another program, the reload declined, the map left
  // with Discard: the row shows the new file, and the next edit of that map writes its own
  // fields only, never the dropped edit or the old file's.
  void ADeclinedReloadLeavesNoStaleCellToWrite() {
    TTempDir dir;
    std::filesystem::copy_file(SampleFile(), dir.Path("a.jnx"));
    MakeTestJnx(dir.Path("b.jnx"), {1}, 4, "Map B");
    MakeTestJnx(dir.Path("new.bin"), {1, 2, 3}, 4, "Replacement");
    RunCli("edit " + Quoted(dir.Path("new.bin")) + " ProductId=7 'DetailLevel=new detail'");
    TListWindow w(dir.Path("a.jnx"));
    w.Find<QAction>("miAutoUpdateMap")->setChecked(false);
    TStringGridEx* maps = w.sgMaps;
    w.Edit(maps, 4, w.RowOf("a"), "99");
    QCOMPARE(maps->Text(4, w.RowOf("a")), QString("99"));
    std::filesystem::rename(dir.Path("new.bin"), dir.Path("a.jnx"));
    w.Answers = {QMessageBox::No};
    QTRY_COMPARE_WITH_TIMEOUT(w.Questions.size(), 1, 5000);
    QVERIFY2(w.Questions[0].contains("a.jnx changed on disk"), qPrintable(w.Questions[0]));
    // The map table has the keyboard; Down leaves a for b, and its edit is dropped.
    PressCell(maps, 1, w.RowOf("a"));
    w.Answers = {QMessageBox::Discard};
    KeyToFocus(Qt::Key_Down);
    QCOMPARE(w.Questions.last(), QString("Write the changes to a.jnx?"));
    QCOMPARE(w.Session().File(), dir.Path("b.jnx"));
    const TJnxMap replaced = LoadJnx(dir.Path("a.jnx"));
    const int a = w.RowOf("a");
    QCOMPARE(maps->Text(4, a), QString("7"));
    QCOMPARE(maps->Text(5, a), QString("Replacement"));
    QCOMPARE(maps->Text(2, a), QString::number(replaced.FileSize));
    QCOMPARE(maps->Text(7, a), QString("3"));
    // a again, its Z order only.
    KeyToFocus(Qt::Key_Up);
    QCOMPARE(w.Session().File(), dir.Path("a.jnx"));
    w.Edit(maps, 6, a, "40");
    w.Find<QAction>("miUpdateMapNow")->trigger();
    const TJnxMap written = LoadJnx(dir.Path("a.jnx"));
    QCOMPARE(written.ZOrder, 40);
    QCOMPARE(written.ProductId, 7);
    QCOMPARE(written.ProductName, std::string("Replacement"));
    QCOMPARE(written.DetailLevel, std::string("new detail"));
    QCOMPARE(written.LevelCount, 3);
    QVERIFY2(w.errors.isEmpty(), qPrintable(w.errors.join("; ")));
  }

  // The Check column follows every write: a map whose GUID a write changed is no copy any
  // more (nor is the other), a level given another level's scale shows its error in the hint,
  // and a rescan keeps what the tiles' check found.
  void TheCheckColumnFollowsWritesAndRescans() {
    TTempDir dir;
    MakeTestJnx(dir.Path("good.jnx"), {1, 2});
    std::filesystem::copy_file(dir.Path("good.jnx"), dir.Path("trunc.jnx"));
    TListWindow w(dir.Path("good.jnx"));
    TStringGridEx* maps = w.sgMaps;
    const int check = maps->ColCount() - 1;
    QTRY_COMPARE(maps->Text(check, w.RowOf("good")), QString("1 warning"));
    QCOMPARE(maps->Text(check, w.RowOf("trunc")), QString("1 warning"));
    w.Edit(maps, 12, w.RowOf("good"), "Edited");  // written at once: a new GUID
    QCOMPARE(LoadJnx(dir.Path("good.jnx")).DetailLevel, std::string("Edited"));
    QCOMPARE(maps->Text(check, w.RowOf("good")), QString("ok"));
    QCOMPARE(maps->Object(check, w.RowOf("good")) & 0xFFFFFF, 0x008000u);  // green
    QCOMPARE(maps->Text(check, w.RowOf("trunc")), QString("ok"));
    // Level 2 at level 1's scale: an error, and the hint says which.
    PressCell(w.sgLevels, 3, 2);
    ChooseInFocusedCombo(w.sgLevels->Text(3, 1));
    QTRY_COMPARE(maps->Text(check, w.RowOf("good")), QString("1 error"));
    maps->ScrollTo(check, w.RowOf("good"));
    QTest::mouseMove(maps->viewport(), maps->CellRect(check, w.RowOf("good")).center());
    QVERIFY2(maps->toolTip().startsWith("error: levels 1 and 2 share the scale"), qPrintable(maps->toolTip()));
    QVERIFY2(!maps->toolTip().contains("trunc.jnx"), qPrintable(maps->toolTip()));
    // A map of bad tiles: the tiles' check arrives, and stays through a rescan of the folder.
    {
      TJnxMap prog = LoadJnx(dir.Path("trunc.jnx"));
      std::vector<std::uint8_t> jpeg;
      EncodeJpeg(TestPicture(8, 8), 80, false, true, jpeg);  // progressive
      for (auto& level : prog.Levels)
        for (auto& t : level.Tiles) t.ImageSize = static_cast<std::int32_t>(jpeg.size() - 2);
      RebuildSourceLocations(prog);
      WriteJnx(
          prog, dir.Path("prog.jnx"), -1,
          [&](TFileStream& out, std::uint32_t) {
            for (int i = 0; i < 3; ++i) out.Write(jpeg.data() + 2, jpeg.size() - 2);
          },
          nullptr);
    }
    QTRY_VERIFY_WITH_TIMEOUT(w.RowOf("prog") > 0, 5000);
    PressCell(maps, 1, w.RowOf("prog"));
    QTRY_COMPARE(maps->Text(check, w.RowOf("prog")), QString("3 errors"));
    MakeTestJnx(dir.Path("later.jnx"), {1});
    QTRY_VERIFY_WITH_TIMEOUT(w.RowOf("later") > 0, 5000);
    QCOMPARE(maps->Text(check, w.RowOf("prog")), QString("3 errors"));
    QVERIFY2(w.errors.isEmpty(), qPrintable(w.errors.join("; ")));
  }

  // Another program replaces or removes the loaded file: nothing is written into what is
  // there now, the user is told and offered the file as it is; the list follows the folder.
  void FilesChangedByOthersAreLeftAloneAndFollowed() {
    TTempDir dir;
    MakeTestJnx(dir.Path("a.jnx"), {1, 2}, 4, "Map A");
    MakeTestJnx(dir.Path("other.bin"), {3}, 4, "Other");
    TListWindow w(dir.Path("a.jnx"));
    std::filesystem::rename(dir.Path("other.bin"), dir.Path("a.jnx"));
    const auto replaced = ReadFile(dir.Path("a.jnx"));
    w.Answers = {QMessageBox::No};
    w.Edit(w.sgMaps, 12, w.RowOf("a"), "Edited");
    QCOMPARE(ReadFile(dir.Path("a.jnx")), replaced);
    QCOMPARE(w.Questions.size(), 1);
    QVERIFY2(w.Questions[0].startsWith("a.jnx changed on disk since it was loaded"), qPrintable(w.Questions[0]));
    // Loaded again on request: the file's own fields.
    w.Answers = {QMessageBox::Yes};
    w.Edit(w.sgMaps, 12, w.RowOf("a"), "Edited again");
    QCOMPARE(ReadFile(dir.Path("a.jnx")), replaced);
    QCOMPARE(w.Session().Map().ProductName, std::string("Other"));
    // Removed: nothing is created in its place.
    std::filesystem::remove(dir.Path("a.jnx"));
    w.Edit(w.sgMaps, 12, w.RowOf("a"), "Once more");
    QVERIFY(!std::filesystem::exists(dir.Path("a.jnx")));
    QVERIFY(!w.errors.isEmpty());
    // A map copied into the folder is listed.
    MakeTestJnx(dir.Path("new.jnx"), {1}, 4, "New");
    QTRY_VERIFY_WITH_TIMEOUT(w.RowOf("new") > 0, 5000);
  }

  // The map table's last column: each map's device check, coloured, its findings in the hint;
  // what needs the tiles' bytes arrives once the map is loaded.
  void TheCheckColumn() {
    TTempDir dir;
    MakeTestJnx(dir.Path("good.jnx"), {1, 2});
    MakeTestJnx(dir.Path("dup.jnx"), {1, 2});
    RunCli("edit " + Quoted(dir.Path("dup.jnx")) + " L1.Scale=800m");  // both levels at one scale
    {
      TJnxMap prog = LoadJnx(dir.Path("good.jnx"));
      std::vector<std::uint8_t> jpeg;
      EncodeJpeg(TestPicture(8, 8), 80, false, true, jpeg);  // progressive
      for (auto& level : prog.Levels)
        for (auto& t : level.Tiles) t.ImageSize = static_cast<std::int32_t>(jpeg.size() - 2);
      RebuildSourceLocations(prog);
      WriteJnx(
          prog, dir.Path("prog.jnx"), -1,
          [&](TFileStream& out, std::uint32_t) {
            for (int i = 0; i < 3; ++i) out.Write(jpeg.data() + 2, jpeg.size() - 2);
          },
          nullptr);
    }
    TListWindow w(dir.Path("good.jnx"));
    TStringGridEx* maps = w.sgMaps;
    const int check = maps->ColCount() - 1;
    QCOMPARE(maps->Text(check, 0), QString("Check"));
    QCOMPARE(maps->Text(check, w.RowOf("good")), QString("ok"));
    QCOMPARE(maps->Text(check, w.RowOf("dup")), QString("1 error"));
    QCOMPARE(maps->Object(check, w.RowOf("dup")) & 0xFFFFFF, 0xC80000u);  // red
    QCOMPARE(maps->Text(check, w.RowOf("prog")), QString("ok"));          // its header is
    TListWindow::Press(maps, 1, w.RowOf("prog"));
    QTRY_COMPARE(maps->Text(check, w.RowOf("prog")), QString("3 errors"));
    maps->ScrollTo(check, w.RowOf("prog"));
    QTest::mouseMove(maps->viewport(), maps->CellRect(check, w.RowOf("prog")).center());
    QVERIFY2(maps->toolTip().startsWith("error: level 1, tile 1: a progressive JPEG"), qPrintable(maps->toolTip()));

    // A copy of a map in the folder: the receiver shows one of the two, both rows say so, and
    // the loaded map's tile check keeps saying so.
    std::filesystem::copy_file(dir.Path("good.jnx"), dir.Path("same.jnx"));
    QTRY_VERIFY_WITH_TIMEOUT(w.RowOf("same") > 0, 5000);
    QTRY_COMPARE(maps->Text(check, w.RowOf("same")), QString("1 warning"));
    QCOMPARE(maps->Text(check, w.RowOf("good")), QString("1 warning"));
    QCOMPARE(maps->Object(check, w.RowOf("good")) & 0xFFFFFF, 0xBE6E00u);  // orange
    QCOMPARE(maps->Text(check, w.RowOf("dup")), QString("1 error"));
    TListWindow::Press(maps, 1, w.RowOf("good"));
    QTRY_COMPARE(w.Session().File(), dir.Path("good.jnx"));
    QTest::qWait(500);  // the tile check of the loaded map arrives
    QCOMPARE(maps->Text(check, w.RowOf("good")), QString("1 warning"));
    maps->ScrollTo(check, w.RowOf("good"));
    QTest::mouseMove(maps->viewport(), maps->CellRect(check, w.RowOf("good")).center());
    QCOMPARE(maps->toolTip(),
             QString("warning: the map GUID is also that of same.jnx: the receiver shows only one of them"));
  }

  void LayoutSharesTheWidthAndPlacesTheOverlays() {
    TTempDir dir;
    MakeTestJnx(dir.Path("m.jnx"), {4}, 4, std::string(300, 'u'));
    TListWindow w(dir.Path("m.jnx"));
    for (TStringGridEx* t : {w.sgTiles, w.sgLevels}) {
      const int n = t->ColCount(), width = t->ClientWidth();
      const int share = static_cast<int>(std::nearbyint(static_cast<double>(width - 2 * 21 - n) / (n - 1)));
      QCOMPARE(t->ColWidth(1), share);
      QCOMPARE(t->ColWidth(0), width - (n - 1) * (share + 1));
    }
    QCOMPARE(w.sgTiles->height() - 2 * w.sgTiles->frameWidth(), 44);
    // cbTiles lies over the tile number; the editor over its cell, a pixel out on every side.
    const QRect tiles = w.sgTiles->geometry();
    QCOMPARE(w.cbTiles->geometry().topLeft(), tiles.topLeft() + QPoint(0, 21 + 2));
    QCOMPARE(w.cbTiles->width(), w.sgTiles->ColWidth(0) + 3);
    TListWindow::Press(w.sgMaps, 12, 1);
    const QRect cell = w.sgMaps->CellRect(12, 1);
    const QPoint origin = w.sgMaps->viewport()->mapTo(w.Find<QWidget>("tsMapList"), cell.topLeft());
    QCOMPARE(w.eEditor->geometry(), QRect(origin - QPoint(1, 1), cell.size() + QSize(2, 2)));
    KeyToFocus(Qt::Key_Escape);
    // Hints only for texts wider than their column: the name longer than the window.
    TStringGridEx* maps = w.sgMaps;
    maps->ScrollTo(5, 1);
    QTest::mouseMove(maps->viewport(), maps->CellRect(5, 1).center());
    QCOMPARE(maps->toolTip(), maps->Text(5, 1));
    maps->ScrollTo(0, 1);
    QTest::mouseMove(maps->viewport(), maps->CellRect(0, 1).center());
    QVERIFY(maps->toolTip().isEmpty());
  }

  // Export Level... on the List of Maps takes the level table's level, on the Map page the
  // page's level: the file chosen in the file dialog, then the options, then the written file.
  void ExportLevelFromBothMenus() {
    TTempDir dir;
    std::filesystem::copy_file(SampleFile(), dir.Path("m.jnx"));
    TListWindow w(dir.Path("m.jnx"));
    QStringList asked;
    w.window->AskExportOptions = [&](const QString& path, TGisExportOptions& options) {
      asked << path;
      options.File.Compression = TRasterCompression::Jpeg;
      return true;
    };
    TfOpenSaveDialog& d = w.window->OpenSaveDialog();
    auto chooseFile = [&d](const QString& name) {
      WhenShown(&d, [&d, name] {
        d.findChild<QComboBox*>("cbFileName")->setFocus();
        KeyToFocus(Qt::Key_A, Qt::ControlModifier);
        TypeToFocus(name);
        KeyToFocus(Qt::Key_Return);
        if (d.isVisible()) d.reject();
      });
    };
    TListWindow::Press(w.sgLevels, 1, 2);
    chooseFile("level2.tif");
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMapList"), w.Find<QAction>("miExportLevel1"));
    QCOMPARE(asked.size(), 1);
    QVERIFY2(w.errors.isEmpty(), qPrintable(w.errors.join("; ")));
    QVERIFY(std::filesystem::file_size(dir.Path("level2.tif")) > 1000);
    QVERIFY2(w.Find<QLabel>("lInfo")->text().contains("level2.tif saved in"),
             qPrintable(w.Find<QLabel>("lInfo")->text()));
    // The Map page: its own level, a PNG with its world file.
    w.Page(0);
    chooseFile("shown.png");
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMap"), w.Find<QAction>("miExportLevel"));
    QVERIFY2(w.errors.isEmpty(), qPrintable(w.errors.join("; ")));
    QVERIFY(std::filesystem::exists(dir.Path("shown.png")));
    QVERIFY(std::filesystem::exists(dir.Path("shown.pgw")));
    // Cancelling the options writes nothing.
    w.window->AskExportOptions = [](const QString&, TGisExportOptions&) { return false; };
    chooseFile("never.tif");
    ChooseOnMenuBar(w.Find<QMenuBar>("mmMap"), w.Find<QAction>("miExportLevel"));
    QVERIFY(!std::filesystem::exists(dir.Path("never.tif")));
  }
};

QTEST_MAIN(TListTest)
#include "list_test.moc"
