// SPDX-License-Identifier: GPL-3.0-or-later
// The coloured string grid on its own: painting, sorting, fitting, keys and what it reports to
// assistive tools.
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "GuiSupport.h"
#include "gui/StringGridEx/TStringGridEx.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A grid of one column of data under a heading, filled top to bottom.
void FillColumn(TStringGridEx& g, int c, const std::vector<std::string>& texts) {
  g.SetRowCount(static_cast<int>(texts.size()) + 1);
  for (std::size_t i = 0; i < texts.size(); ++i) g.SetCell(c, static_cast<int>(i) + 1, texts[i]);
}

std::vector<std::string> Column(const TStringGridEx& g, int c) {
  std::vector<std::string> out;
  for (int r = 1; r < g.RowCount(); ++r) out.push_back(g.Cell(c, r));
  return out;
}

// One cell painted alone into a picture of a colour the grid never uses.
QImage Painted(TStringGridEx& g, int c, int r, QSize size = {80, 24}, TStringGridEx::TDrawState state = {}) {
  QImage image(size.width() + 20, size.height() + 10, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 255));
  QPainter p(&image);
  p.setFont(g.font());
  g.PaintCell(p, c, r, QRect(QPoint(0, 0), size), state);
  return image;
}

int InkedColumns(const QImage& image, QRect area) {
  int inked = 0;
  for (int x = area.left(); x <= area.right(); ++x)
    for (int y = area.top(); y <= area.bottom(); ++y)
      if (qGray(image.pixel(x, y)) < 128) {
        ++inked;
        break;
      }
  return inked;
}

}  // namespace

class TGridTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallModalWatchdog(); }

  void HeadingsOfTheCurrentCellTakeColor1() {
    TStringGridEx g;
    g.SetColCount(5);
    g.SetRowCount(4);
    const QColor c1(123, 209, 72);
    g.SetColor1(c1);
    g.SetCurrentCell(3, 2);
    const QColor light = TStringGridEx::Lighten(c1, 0.8);
    QCOMPARE(light, QColor(229, 246, 218));  // 123 + 132 x 0.8 = 228.6 -> 229
    auto bottomAndTop = [&](int c, int r) {
      const QImage i = Painted(g, c, r, {40, 21});
      return std::make_pair(QColor(i.pixel(1, 20)), QColor(i.pixel(1, 0)));
    };
    for (auto [c, r] : {std::pair{3, 0}, std::pair{0, 2}}) {
      const auto [bottom, top] = bottomAndTop(c, r);
      // The gradient ends one step short of the base colour.
      QVERIFY(std::abs(bottom.green() - c1.green()) <= 2);
      QCOMPARE(top, light);
    }
    for (auto [c, r] : {std::pair{2, 0}, std::pair{0, 1}, std::pair{0, 0}})
      QVERIFY(std::abs(bottomAndTop(c, r).first.red() - 240) <= 2);
    // With the current cell in a heading column, no heading is highlighted.
    g.HeadingCols = 4;
    QVERIFY(std::abs(bottomAndTop(3, 0).first.red() - 240) <= 2);
    // A selected data cell is filled with Color1.
    g.HeadingCols = 1;
    QCOMPARE(QColor(Painted(g, 3, 2, {40, 21}, {true, false, false}).pixel(1, 1)), c1);
  }

  void SortTriangleFollowsTheDirection() {
    TStringGridEx g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SortColumn = 1;
    auto red = [](const QImage& i, int x, int y) { return QColor(i.pixel(x, y)) == QColor(255, 0, 0); };
    // A cell of 60 x 24: the triangle lies in the rectangle shrunk by 2, right edge at 58.
    g.SortAscending = true;
    QImage down = Painted(g, 1, 0, {60, 24});
    QVERIFY(red(down, 54, 18));  // down-pointing, bottom right
    QVERIFY(!red(down, 54, 4));
    g.SortAscending = false;
    QImage up = Painted(g, 1, 0, {60, 24});
    QVERIFY(red(up, 54, 7));  // up-pointing, top right
    QVERIFY(!red(up, 54, 18));
    QVERIFY(!red(Painted(g, 2, 0, {60, 24}), 54, 7));
  }

  void TextIsClippedTwoLineHeadingsAndAmpersands() {
    TStringGridEx g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCell(1, 1, "AB");
    const int plain = InkedColumns(Painted(g, 1, 1), {0, 0, 80, 24});
    g.SetCell(1, 1, "A&B");
    QVERIFY(InkedColumns(Painted(g, 1, 1), {0, 0, 80, 24}) > plain + 3);  // the ampersand is drawn
    g.SetCell(1, 1, std::string(60, 'W'));
    const QImage wide = Painted(g, 1, 1);
    for (int x = 80; x < wide.width(); ++x)
      for (int y = 0; y < wide.height(); ++y) QCOMPARE(QColor(wide.pixel(x, y)), QColor(255, 0, 255));
    // Tile over Count: ink in the upper and in the lower half.
    g.SetCell(1, 0, "Tile\nCount");
    const QImage two = Painted(g, 1, 0, {60, 30});
    QVERIFY(InkedColumns(two, {0, 2, 60, 11}) > 5);
    QVERIFY(InkedColumns(two, {0, 16, 60, 12}) > 5);
  }

  void SortsNumbersTextHexadecimalAndNonNumbers() {
    TStringGridEx g;
    g.SetColCount(2);
    g.SetHeading(0, "N", false, 2);
    g.SetHeading(1, "T", true, 0);
    QVERIFY(g.IsNumericColumn(0) && !g.IsNumericColumn(1));
    FillColumn(g, 0, {"10", "9", "100"});
    g.SortByColumn(0, true, true);
    QCOMPARE(Column(g, 0), (std::vector<std::string>{"9", "10", "100"}));
    QCOMPARE(g.SortColumn, 0);
    g.SortByColumn(0, false, true);
    QCOMPARE(Column(g, 0), (std::vector<std::string>{"10", "100", "9"}));
    // Text ignores letter case.
    FillColumn(g, 1, {"bravo", "Alpha", "charlie"});
    g.SortByColumn(1, false, true);
    QCOMPARE(Column(g, 1), (std::vector<std::string>{"Alpha", "bravo", "charlie"}));
    g.SortByColumn(1, false, false);
    QCOMPARE(Column(g, 1), (std::vector<std::string>{"charlie", "bravo", "Alpha"}));
    // Equal values change places ascending, never descending; rows move whole.
    g.SetRowCount(3);
    g.SetRow(1, {"5", "a"});
    g.SetRow(2, {"5", "b"});
    g.SortByColumn(0, true, false);
    QCOMPARE(Column(g, 1), (std::vector<std::string>{"a", "b"}));
    g.SortByColumn(0, true, true);
    QCOMPARE(Column(g, 1), (std::vector<std::string>{"b", "a"}));
    // Cells that are not numbers sort below every number, and the sort completes.
    FillColumn(g, 0, {"3", "", "2", "x1", "1.5"});
    g.SortByColumn(0, true, true);
    const auto sorted = Column(g, 0);
    QCOMPARE((std::vector<std::string>(sorted.begin() + 2, sorted.end())), (std::vector<std::string>{"1.5", "2", "3"}));
    // A hexadecimal column compares values: A < FF < 100.
    g.SetHeading(0, "CRC32", false, 2, true);
    FillColumn(g, 0, {"FF", "100", "A"});
    g.SortByColumn(0, g.IsNumericColumn(0), true);
    QCOMPARE(Column(g, 0), (std::vector<std::string>{"A", "FF", "100"}));
    // Row 0 never moves, and an exchange carries the objects along.
    QCOMPARE(g.Cell(0, 0), std::string("CRC32"));
    g.SetObject(1, 1, 7);
    g.ExchangeRows(1, 2);
    QCOMPARE(g.Object(1, 2), 7u);
  }

  void FitsColumnsAndHeight() {
    TStringGridEx g;
    g.resize(400, 200);
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCell(0, 0, "A very long heading that is not measured");
    g.SetCell(1, 1, "Some text");
    g.AutoSizeColumns(-1);
    QCOMPARE(g.ColWidth(0), g.DefaultRowHeight());  // empty data cells: the row height
    QCOMPARE(g.ColWidth(1), static_cast<int>(std::ceil(QFontMetricsF(g.font()).horizontalAdvance("Some text"))) + 4);
    g.SetCell(2, 1, std::string(300, 'W'));
    g.AutoSizeColumns(2);
    QVERIFY(g.ColWidth(2) <= g.ClientWidth());
    TStringGridEx two;
    two.SetRowCount(2);
    two.SetDefaultRowHeight(21);
    two.SetScrollBars(TStringGridEx::TScrollBars::None);
    two.FitHeight();
    QCOMPARE(two.height() - 2 * two.frameWidth(), 44);
  }

  void KeysMoveTheCurrentCellAndHeadingsStayInView() {
    TStringGridEx g;
    g.SetColCount(4);
    g.SetRowCount(40);
    g.resize(300, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    g.SetCurrentCell(3, 1);
    QSignalSpy selected(&g, &TStringGridEx::SelectCell);
    QTest::keyClick(&g, Qt::Key_Tab);
    QCOMPARE(std::make_pair(g.Col(), g.Row()), std::make_pair(1, 2));  // wraps to the next row
    QTest::keyClick(&g, Qt::Key_Backtab);
    QCOMPARE(std::make_pair(g.Col(), g.Row()), std::make_pair(3, 1));
    QCOMPARE(selected.count(), 2);
    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(g.Row(), 39);
    QVERIFY(g.TopRow() > 1);
    QVERIFY(!g.CellRect(3, 39).isEmpty());
    QCOMPARE(g.CellRect(3, 0).top(), 0);  // the heading row stays at the top
    QVERIFY(g.CellRect(3, 1).isEmpty());  // scrolled out
    // A press on a data cell makes it current; on a fixed cell it does not.
    g.SetTopRow(1);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.CellRect(2, 3).center());
    QCOMPARE(std::make_pair(g.Col(), g.Row()), std::make_pair(2, 3));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.CellRect(0, 5).center());
    QCOMPARE(g.Row(), 3);
    int c, r;
    QVERIFY(!g.MouseToCell({5000, 5}, c, r));
    QCOMPARE(c, -1);
  }

  // F2 and Enter ask for the current cell's editor; Ctrl+C copies the current cell, or the
  // rows chosen with Shift and the arrows as tab-separated lines.
  void EditAndCopyKeys() {
    TStringGridEx g;
    g.SetColCount(3);
    g.SetRowCount(5);
    for (int r = 1; r < 5; ++r)
      for (int c = 0; c < 3; ++c) g.SetCell(c, r, std::to_string(r) + "/" + std::to_string(c));
    g.resize(300, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    g.setFocus();
    g.SetCurrentCell(2, 1);
    QSignalSpy edit(&g, &TStringGridEx::EditRequested);
    QTest::keyClick(&g, Qt::Key_F2);
    QTest::keyClick(&g, Qt::Key_Return);
    QCOMPARE(edit.count(), 2);
    QTest::keyClick(&g, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("1/2"));
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(g.SelectedRows(), std::make_pair(1, 3));
    QTest::keyClick(&g, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("1/0\t1/1\t1/2\n2/0\t2/1\t2/2\n3/0\t3/1\t3/2"));
    QTest::keyClick(&g, Qt::Key_Up);  // a move without Shift lets the rows go
    QCOMPARE(g.SelectedRows(), std::make_pair(-1, -1));
  }

  void DraggingAHeadingEdgeSizesTheColumn() {
    TStringGridEx g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.resize(400, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    const QRect head = g.CellRect(1, 0);
    const QPoint edge(head.x() + head.width(), head.center().y());
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, edge);
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + QPoint(30, 0)),
                     g.viewport()->mapToGlobal(QPointF(edge + QPoint(30, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(g.viewport(), &move);
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
    QCOMPARE(g.ColWidth(1), 64 + 30);
    g.ColSizing = false;
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, QPoint(g.CellRect(2, 0).right() + 1, 5));
    QApplication::sendEvent(g.viewport(), &move);
    QCOMPARE(g.ColWidth(2), 64);
  }

  void CellsReachAssistiveTools() {
    TStringGridEx g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetHeading(1, "Product\nName", true, 0);
    g.SetCell(1, 2, "Tatry");
    g.SetCurrentCell(1, 2);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&g);
    QVERIFY(a);
    QCOMPARE(a->role(), QAccessible::Table);
    QAccessibleTableInterface* table = a->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->columnCount(), 3);
    QAccessibleInterface* cell = table->cellAt(2, 1);
    QCOMPARE(cell->text(QAccessible::Name), QString("Tatry"));
    QCOMPARE(cell->role(), QAccessible::Cell);
    QVERIFY(cell->tableCellInterface()->isSelected());
    QCOMPARE(table->cellAt(0, 1)->role(), QAccessible::ColumnHeader);
    QCOMPARE(cell->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
             QString("Product\nName"));
    QCOMPARE(a->child(2 * 3 + 1), cell);
    QCOMPARE(a->indexOfChild(cell), 7);
    QVERIFY(!table->cellAt(3, 0));
  }
};

QTEST_MAIN(TGridTest)
#include "grid_test.moc"
