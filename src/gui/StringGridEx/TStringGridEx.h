// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's table control: a grid of text cells with fixed rows and columns that stay in
// view, a current cell, per-column widths and per-row heights, and every cell painted by the
// control itself. On top of the plain grid: Color1 for the selected cell and the headings of
// the current cell, gradient headings, two-line headings, per-column alignment and sort kind
// kept in the heading row, sorting with a sort indicator, and fitting helpers.
// Cells are addressed (column, row), both from 0; row 0 is the heading row.
#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QPainter;

namespace brelo {

class TStringGridEx : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TStringGridEx(QWidget* parent = nullptr);

  enum class TScrollBars { None, Horizontal, Vertical, Both };
  struct TDrawState {
    bool Selected = false, Focused = false, Fixed = false;
  };
  // The column description kept in the object of heading cell (c, 0).
  static constexpr std::uint32_t kAlignMask = 0xFF;
  static constexpr std::uint32_t kNumeric = 1u << 31;
  static constexpr std::uint32_t kHexadecimal = 1u << 30;  // numeric, compared as hexadecimal
  // The object of a data cell with this bit set gives its text colour in the low 24 bits.
  static constexpr std::uint32_t kTextColour = 1u << 24;

  // Shape.
  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }
  void SetColCount(int n);
  void SetRowCount(int n);
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  void SetFixedCols(int n);
  void SetFixedRows(int n);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int h);  // every row takes it
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int w);  // every column takes it
  int ColWidth(int c) const;
  int RowHeight(int r) const;
  void SetColWidth(int c, int w);
  void SetRowHeight(int r, int h);
  static constexpr int kGridLineWidth = 1;

  // Cells: UTF-8 texts and one 32-bit object each. Outside the grid: empty, and ignored.
  const std::string& Cell(int c, int r) const;
  QString Text(int c, int r) const { return QString::fromStdString(Cell(c, r)); }
  void SetCell(int c, int r, std::string text);
  std::uint32_t Object(int c, int r) const;
  void SetObject(int c, int r, std::uint32_t value);
  void SetRow(int r, const std::vector<std::string>& cells);
  void SetRow(int r, std::vector<std::string>&& cells);
  void ClearRow(int r);

  // Rows selected with Shift and the arrow keys or a Shift+click, from the anchor row to the
  // current row: {first, last}, or {-1, -1} when no more than the current cell is chosen.
  std::pair<int, int> SelectedRows() const;
  // The text Ctrl+C copies: the selected rows (cells separated by tabs, rows by line feeds)
  // or the current cell.
  QString CopyText() const;

  // The current cell; it never lies in a fixed row or column while there are others.
  int Col() const { return col_; }
  int Row() const { return row_; }
  void SetCurrentCell(int c, int r);
  void SetRowOnly(int r) { SetCurrentCell(col_, r); }

  // Geometry in the viewport's coordinates. A cell scrolled out of view has an empty rectangle.
  QRect CellRect(int c, int r) const;
  // The cell under a viewport point; false (and -1, -1) where there is none.
  bool MouseToCell(QPoint at, int& c, int& r) const;
  int ClientWidth() const;
  int TopRow() const { return topRow_; }
  int LeftCol() const { return leftCol_; }
  void SetTopRow(int r);
  // Scrolls until cell (c, r) is in view.
  void ScrollTo(int c, int r) { ScrollIntoView(c, r); }

  // Options.
  void SetScrollBars(TScrollBars bars);
  bool ColSizing = true;  // column widths can be dragged in the fixed rows
  bool Tabs = true;       // Tab and Shift+Tab move between cells

  // The extensions.
  QColor Color1() const { return color1_; }
  void SetColor1(QColor colour);
  int SortColumn = -1;
  bool SortAscending = true;
  int HeadingRows = 1;
  int HeadingCols = 1;
  // Cell (c, 0) := text; its object := alignment (0 left, 1 centre, 2 right), bit 31 set for a
  // numeric column. A hexadecimal column is numeric and sorts by its hexadecimal values.
  void SetHeading(int c, const std::string& text, bool isText, int alignment, bool hexadecimal = false);
  bool IsNumericColumn(int c) const { return (Object(c, 0) & kNumeric) != 0; }
  void ExchangeRows(int a, int b);
  // An exchange sort of rows 1 .. RowCount-1. Numeric cells that are not numbers sort below
  // every number; text is compared upper-cased.
  void SortByColumn(int c, bool numeric, bool ascending);
  // Each column as wide as its widest data cell; with headings, as its heading's lines too.
  void AutoSizeColumns(int c = -1, bool headings = false);
  // Columns widened where a cell of row r is wider than its column (after a row changed).
  void FitRow(int r);
  // The width the texts of column c need (its data cells and its heading), or of one cell.
  int ContentWidth(int c) const;
  int ContentWidth(int c, int r) const;
  void FitHeight();

  // The colour moved towards white by f, each channel rounded halves to even.
  static QColor Lighten(QColor colour, double f);
  // Fills r line by line from top to bottom; the last line is one step short of bottom.
  static void VerticalGradient(QPainter& p, const QRect& r, QColor top, QColor bottom);
  void PaintCell(QPainter& p, int c, int r, const QRect& rect, TDrawState state);

 signals:
  // Every mouse press (after a left press on a data cell has made it current) and the second
  // press of a double click, in viewport coordinates.
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at, bool doubleClick);
  void MouseMoved(QPoint at);
  // The current cell has changed.
  void SelectCell(int c, int r);
  // F2, Enter or Return: the user asks for the current cell's editor.
  void EditRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool focusNextPrevChild(bool next) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  std::size_t Index(int c, int r) const {
    return static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c);
  }
  bool Inside(int c, int r) const { return c >= 0 && r >= 0 && c < cols_ && r < rows_; }
  void Reshape(int cols, int rows);
  void UpdateScrollBars();
  void ScrollIntoView(int c, int r);
  int FixedWidth() const;
  int FixedHeight() const;
  int ColumnEdgeAt(QPoint at) const;  // the column whose right edge is under the point, or -1
  void MoveCurrent(int c, int r);
  // Text widths as painted: a data cell in the control's font, a two-line heading in 8 points.
  int TextWidth(const std::string& text) const;
  int HeadingWidth(int c) const;

  int cols_ = 0, rows_ = 0;
  int fixedCols_ = 1, fixedRows_ = 1;
  int defaultRowHeight_ = 21, defaultColWidth_ = 64;
  std::vector<int> colWidths_, rowHeights_;
  std::vector<std::string> cells_;
  std::vector<std::uint32_t> objects_;
  int col_ = 1, row_ = 1;
  int anchorRow_ = -1;
  int topRow_ = 1, leftCol_ = 1;
  QColor color1_;
  TScrollBars scrollBars_ = TScrollBars::Both;
  int sizingCol_ = -1, sizingStartX_ = 0, sizingStartWidth_ = 0;
  mutable bool advancesReady_ = false;
  mutable QFont advancesFont_;
  mutable qreal advances_[128] = {};
};

}  // namespace brelo
