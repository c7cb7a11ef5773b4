// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/StringGridEx/TStringGridEx.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "gui/StringGridEx/GridAccessible.h"

namespace brelo {

namespace {

const QColor kFixedColour(240, 240, 240);

// A text wider than its cell ends in "..." where it is cut, so that a cut number never
// passes for a whole one.
QString Elided(const QFontMetrics& fm, const QString& text, int width) {
  if (fm.horizontalAdvance(text) <= width) return text;
  const QString dots = "...";
  const int room = width - fm.horizontalAdvance(dots);
  QString kept = text;
  while (!kept.isEmpty() && fm.horizontalAdvance(kept) > room) kept.chop(1);
  return kept + dots;
}
const QColor kFixedLineColour(105, 105, 105);
const QColor kDataLineColour(192, 192, 192);

int Channel(double v) { return static_cast<int>(std::nearbyint(v)) & 0xFF; }

}  // namespace

TStringGridEx::TStringGridEx(QWidget* parent) : QAbstractScrollArea(parent) {
  InstallGridAccessibility();
  QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  f.setPointSize(10);
  setFont(f);
  color1_ = palette().color(QPalette::Highlight);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  Reshape(5, 5);
  SetDefaultRowHeight(21);
}

// Shape ---------------------------------------------------------------------------------------

void TStringGridEx::Reshape(int cols, int rows) {
  cols = std::max(cols, 0);
  rows = std::max(rows, 0);
  std::vector<std::string> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
  std::vector<std::uint32_t> objects(cells.size());
  for (int r = 0; r < std::min(rows, rows_); ++r)
    for (int c = 0; c < std::min(cols, cols_); ++c) {
      const std::size_t to = static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c);
      cells[to] = std::move(cells_[Index(c, r)]);
      objects[to] = objects_[Index(c, r)];
    }
  cells_ = std::move(cells);
  objects_ = std::move(objects);
  cols_ = cols;
  rows_ = rows;
  colWidths_.resize(static_cast<std::size_t>(cols), defaultColWidth_);
  rowHeights_.resize(static_cast<std::size_t>(rows), defaultRowHeight_);
  fixedCols_ = std::min(fixedCols_, cols_);
  fixedRows_ = std::min(fixedRows_, rows_);
  HeadingRows = std::min(HeadingRows, std::max(rows_, 1));
  col_ = std::clamp(col_, std::min(fixedCols_, std::max(cols_ - 1, 0)), std::max(cols_ - 1, 0));
  row_ = std::clamp(row_, std::min(fixedRows_, std::max(rows_ - 1, 0)), std::max(rows_ - 1, 0));
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, rows_ - 1));
  leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, cols_ - 1));
  UpdateScrollBars();
  viewport()->update();
}

void TStringGridEx::SetColCount(int n) {
  if (n != cols_) Reshape(n, rows_);
}

void TStringGridEx::SetRowCount(int n) {
  if (n != rows_) Reshape(cols_, n);
}

void TStringGridEx::SetFixedCols(int n) {
  fixedCols_ = std::clamp(n, 0, cols_);
  Reshape(cols_, rows_);
}

void TStringGridEx::SetFixedRows(int n) {
  fixedRows_ = std::clamp(n, 0, rows_);
  Reshape(cols_, rows_);
}

void TStringGridEx::SetDefaultRowHeight(int h) {
  defaultRowHeight_ = h;
  std::fill(rowHeights_.begin(), rowHeights_.end(), h);
  UpdateScrollBars();
  viewport()->update();
}

void TStringGridEx::SetDefaultColWidth(int w) {
  defaultColWidth_ = w;
  std::fill(colWidths_.begin(), colWidths_.end(), w);
  UpdateScrollBars();
  viewport()->update();
}

int TStringGridEx::ColWidth(int c) const { return c >= 0 && c < cols_ ? colWidths_[static_cast<std::size_t>(c)] : 0; }

int TStringGridEx::RowHeight(int r) const { return r >= 0 && r < rows_ ? rowHeights_[static_cast<std::size_t>(r)] : 0; }

void TStringGridEx::SetColWidth(int c, int w) {
  if (c < 0 || c >= cols_) return;
  colWidths_[static_cast<std::size_t>(c)] = w;
  UpdateScrollBars();
  viewport()->update();
}

void TStringGridEx::SetRowHeight(int r, int h) {
  if (r < 0 || r >= rows_) return;
  rowHeights_[static_cast<std::size_t>(r)] = h;
  UpdateScrollBars();
  viewport()->update();
}

// Cells ---------------------------------------------------------------------------------------

const std::string& TStringGridEx::Cell(int c, int r) const {
  static const std::string empty;
  return Inside(c, r) ? cells_[Index(c, r)] : empty;
}

void TStringGridEx::SetCell(int c, int r, std::string text) {
  if (!Inside(c, r)) return;
  cells_[Index(c, r)] = std::move(text);
  viewport()->update();
}

std::uint32_t TStringGridEx::Object(int c, int r) const { return Inside(c, r) ? objects_[Index(c, r)] : 0; }

void TStringGridEx::SetObject(int c, int r, std::uint32_t value) {
  if (Inside(c, r)) objects_[Index(c, r)] = value;
}

void TStringGridEx::SetRow(int r, const std::vector<std::string>& cells) {
  if (r < 0 || r >= rows_) return;
  for (int c = 0; c < cols_ && c < static_cast<int>(cells.size()); ++c)
    cells_[Index(c, r)] = cells[static_cast<std::size_t>(c)];
  viewport()->update();
}

void TStringGridEx::SetRow(int r, std::vector<std::string>&& cells) {
  if (r < 0 || r >= rows_) return;
  for (int c = 0; c < cols_ && c < static_cast<int>(cells.size()); ++c)
    cells_[Index(c, r)] = std::move(cells[static_cast<std::size_t>(c)]);
  viewport()->update();
}

void TStringGridEx::ClearRow(int r) {
  if (r < 0 || r >= rows_) return;
  for (int c = 0; c < cols_; ++c) cells_[Index(c, r)].clear();
  viewport()->update();
}

// The current cell ----------------------------------------------------------------------------

void TStringGridEx::SetCurrentCell(int c, int r) {
  const int lastCol = std::max(cols_ - 1, 0), lastRow = std::max(rows_ - 1, 0);
  c = std::clamp(c, std::min(fixedCols_, lastCol), lastCol);
  r = std::clamp(r, std::min(fixedRows_, lastRow), lastRow);
  const bool changed = c != col_ || r != row_;
  col_ = c;
  row_ = r;
  ScrollIntoView(c, r);
  viewport()->update();
  if (changed) {
    if (QAccessible::isActive()) {
      QAccessibleEvent focus(this, QAccessible::Focus);
      QAccessible::updateAccessibility(&focus);
    }
    emit SelectCell(c, r);
  }
}

void TStringGridEx::MoveCurrent(int c, int r) {
  if (c < fixedCols_ || r < fixedRows_ || c >= cols_ || r >= rows_) return;
  SetCurrentCell(c, r);
}

// Geometry ------------------------------------------------------------------------------------

int TStringGridEx::FixedWidth() const {
  int w = 0;
  for (int c = 0; c < fixedCols_; ++c) w += ColWidth(c) + kGridLineWidth;
  return w;
}

int TStringGridEx::FixedHeight() const {
  int h = 0;
  for (int r = 0; r < fixedRows_; ++r) h += RowHeight(r) + kGridLineWidth;
  return h;
}

QRect TStringGridEx::CellRect(int c, int r) const {
  if (!Inside(c, r) || (c >= fixedCols_ && c < leftCol_) || (r >= fixedRows_ && r < topRow_)) return {};
  int x = 0, y = 0;
  if (c < fixedCols_) {
    for (int i = 0; i < c; ++i) x += ColWidth(i) + kGridLineWidth;
  } else {
    x = FixedWidth();
    for (int i = leftCol_; i < c; ++i) x += ColWidth(i) + kGridLineWidth;
  }
  if (r < fixedRows_) {
    for (int i = 0; i < r; ++i) y += RowHeight(i) + kGridLineWidth;
  } else {
    y = FixedHeight();
    for (int i = topRow_; i < r; ++i) y += RowHeight(i) + kGridLineWidth;
  }
  return {x, y, ColWidth(c), RowHeight(r)};
}

bool TStringGridEx::MouseToCell(QPoint at, int& c, int& r) const {
  c = r = -1;
  auto find = [](int pos, int fixed, int first, int count, auto size) {
    int edge = 0;
    for (int i = 0; i < fixed; ++i) {
      edge += size(i) + kGridLineWidth;
      if (pos < edge) return i;
    }
    for (int i = first; i < count; ++i) {
      edge += size(i) + kGridLineWidth;
      if (pos < edge) return i;
    }
    return -1;
  };
  if (at.x() < 0 || at.y() < 0) return false;
  c = find(at.x(), fixedCols_, leftCol_, cols_, [this](int i) { return ColWidth(i); });
  r = find(at.y(), fixedRows_, topRow_, rows_, [this](int i) { return RowHeight(i); });
  if (c < 0 || r < 0) c = r = -1;
  return c >= 0;
}

int TStringGridEx::ClientWidth() const { return viewport()->width(); }

int TStringGridEx::ColumnEdgeAt(QPoint at) const {
  for (int c = 0; c < cols_; ++c) {
    const QRect rect = CellRect(c, 0);
    if (rect.isEmpty() && ColWidth(c) > 0) continue;
    const int edge = rect.x() + rect.width();
    if (std::abs(at.x() - edge) <= 2) return c;
  }
  return -1;
}

// Scrolling -----------------------------------------------------------------------------------

void TStringGridEx::SetScrollBars(TScrollBars bars) {
  scrollBars_ = bars;
  const bool h = bars == TScrollBars::Horizontal || bars == TScrollBars::Both;
  const bool v = bars == TScrollBars::Vertical || bars == TScrollBars::Both;
  setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  UpdateScrollBars();
}

void TStringGridEx::UpdateScrollBars() {
  // The last position shows the last row (column) whole at the bottom (right) edge.
  auto lastFirst = [](int fixed, int count, int room, auto size) {
    int used = 0, first = count;
    while (first > fixed) {
      const int next = used + size(first - 1) + kGridLineWidth;
      if (next > room && first < count) break;
      used = next;
      --first;
    }
    return std::max(first, fixed);
  };
  const int maxTop =
      lastFirst(fixedRows_, rows_, viewport()->height() - FixedHeight(), [this](int i) { return RowHeight(i); });
  const int maxLeft =
      lastFirst(fixedCols_, cols_, viewport()->width() - FixedWidth(), [this](int i) { return ColWidth(i); });
  verticalScrollBar()->setRange(0, std::max(0, maxTop - fixedRows_));
  verticalScrollBar()->setPageStep(
      std::max(1, (viewport()->height() - FixedHeight()) / std::max(1, defaultRowHeight_)));
  horizontalScrollBar()->setRange(0, std::max(0, maxLeft - fixedCols_));
  horizontalScrollBar()->setPageStep(std::max(1, (viewport()->width() - FixedWidth()) / std::max(1, defaultColWidth_)));
  topRow_ = fixedRows_ + verticalScrollBar()->value();
  leftCol_ = fixedCols_ + horizontalScrollBar()->value();
}

void TStringGridEx::SetTopRow(int r) { verticalScrollBar()->setValue(r - fixedRows_); }

void TStringGridEx::scrollContentsBy(int, int) {
  topRow_ = fixedRows_ + verticalScrollBar()->value();
  leftCol_ = fixedCols_ + horizontalScrollBar()->value();
  viewport()->update();
}

void TStringGridEx::ScrollIntoView(int c, int r) {
  if (r >= fixedRows_) {
    if (r < topRow_) {
      verticalScrollBar()->setValue(r - fixedRows_);
    } else {
      int bottom = FixedHeight();
      for (int i = topRow_; i <= r; ++i) bottom += RowHeight(i) + kGridLineWidth;
      int top = topRow_;
      while (bottom > viewport()->height() && top < r) bottom -= RowHeight(top++) + kGridLineWidth;
      if (top != topRow_) verticalScrollBar()->setValue(top - fixedRows_);
    }
  }
  if (c >= fixedCols_) {
    if (c < leftCol_) {
      horizontalScrollBar()->setValue(c - fixedCols_);
    } else {
      int right = FixedWidth();
      for (int i = leftCol_; i <= c; ++i) right += ColWidth(i) + kGridLineWidth;
      int left = leftCol_;
      while (right > viewport()->width() && left < c) right -= ColWidth(left++) + kGridLineWidth;
      if (left != leftCol_) horizontalScrollBar()->setValue(left - fixedCols_);
    }
  }
}

void TStringGridEx::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

// Painting ------------------------------------------------------------------------------------

QColor TStringGridEx::Lighten(QColor colour, double f) {
  const QColor c = colour.toRgb();
  return QColor(Channel(c.red() + (255 - c.red()) * f), Channel(c.green() + (255 - c.green()) * f),
                Channel(c.blue() + (255 - c.blue()) * f));
}

void TStringGridEx::VerticalGradient(QPainter& p, const QRect& r, QColor top, QColor bottom) {
  const int n = r.height();
  if (n <= 0 || r.width() <= 0) return;
  const QColor a = top.toRgb(), b = bottom.toRgb();
  const double sr = static_cast<double>(b.red() - a.red()) / n;
  const double sg = static_cast<double>(b.green() - a.green()) / n;
  const double sb = static_cast<double>(b.blue() - a.blue()) / n;
  for (int k = 0; k < n; ++k)
    p.fillRect(QRect(r.left(), r.top() + k, r.width(), 1),
               QColor(Channel(a.red() + std::nearbyint(k * sr)), Channel(a.green() + std::nearbyint(k * sg)),
                      Channel(a.blue() + std::nearbyint(k * sb))));
}

void TStringGridEx::SetColor1(QColor colour) {
  color1_ = colour;
  viewport()->update();
}

void TStringGridEx::PaintCell(QPainter& p, int c, int r, const QRect& rect, TDrawState state) {
  if (ColWidth(c) < 0 || RowHeight(r) < 0) return;
  const QString t = Text(c, r);
  const int format = Qt::TextSingleLine | Qt::AlignVCenter;
  auto alignment = [this, c] {
    switch (Object(c, 0) & 3) {
      case 1: return Qt::AlignHCenter;
      case 2: return Qt::AlignRight;
      default: return Qt::AlignLeft;
    }
  };
  p.save();
  p.setClipRect(rect);
  if (r < HeadingRows || c < HeadingCols) {
    const bool dataCurrent = row_ >= HeadingRows && col_ >= HeadingCols;
    const QColor base = dataCurrent && (r == row_ || c == col_) ? color1_ : kFixedColour;
    VerticalGradient(p, rect, Lighten(base, 0.8), base);
    p.setPen(Qt::black);
    const int br = t.indexOf('\n');
    if (br >= 0) {
      QFont small = font();
      small.setPointSize(8);
      p.setFont(small);
      const QFontMetrics fm(small);
      const QString upper = t.left(br), lower = t.mid(br + 1);
      const int wu = fm.horizontalAdvance(upper), wl = fm.horizontalAdvance(lower);
      p.drawText(QRect(rect.left() + (rect.width() - wu) / 2, rect.top() - 1, wu + 1, fm.height()),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, upper);
      p.drawText(QRect(rect.left() + (rect.width() - wl) / 2, rect.top() + rect.height() / 2 - 1, wl + 1, fm.height()),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lower);
    } else if (r == 0 || c == 0) {
      p.drawText(rect, format | Qt::AlignHCenter, Elided(p.fontMetrics(), t, rect.width()));
    } else {
      p.drawText(rect.adjusted(2, 0, -2, 0), format | alignment(), Elided(p.fontMetrics(), t, rect.width() - 4));
    }
    if (c == SortColumn && r == 0) {
      const QRect s = rect.adjusted(2, 2, -2, -2);
      const int right = s.x() + s.width(), bottom = s.y() + s.height(), h = 7;
      QPolygon triangle;
      if (SortAscending)
        triangle << QPoint(right - 8, bottom - h) << QPoint(right, bottom - h) << QPoint(right - 4, bottom);
      else
        triangle << QPoint(right - 4, s.y() - 1) << QPoint(right, s.y() + h) << QPoint(right - 8, s.y() + h);
      p.setPen(Qt::black);
      p.setBrush(QColor(255, 0, 0));
      p.drawPolygon(triangle);
    }
  } else {
    p.fillRect(rect, state.Selected ? color1_ : palette().color(QPalette::Base));
    if (state.Focused) {
      QPen dots(Qt::black);
      dots.setStyle(Qt::DotLine);
      p.setPen(dots);
      p.setBrush(Qt::NoBrush);
      p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    const std::uint32_t object = Object(c, r);
    p.setPen(object & kTextColour ? QColor(QRgb(object & 0xFFFFFF)) : palette().color(QPalette::Text));
    p.drawText(rect.adjusted(2, 0, -2, 0), format | alignment(), Elided(p.fontMetrics(), t, rect.width() - 4));
  }
  p.restore();
}

void TStringGridEx::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font());
  const int width = viewport()->width(), height = viewport()->height();
  std::vector<int> visibleCols, visibleRows;
  for (int c = 0; c < fixedCols_; ++c) visibleCols.push_back(c);
  for (int c = leftCol_, x = FixedWidth(); c < cols_ && x < width; x += ColWidth(c++) + kGridLineWidth)
    visibleCols.push_back(c);
  for (int r = 0; r < fixedRows_; ++r) visibleRows.push_back(r);
  for (int r = topRow_, y = FixedHeight(); r < rows_ && y < height; y += RowHeight(r++) + kGridLineWidth)
    visibleRows.push_back(r);
  p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
  const bool focused = hasFocus();
  for (int r : visibleRows)
    for (int c : visibleCols) {
      const QRect rect = CellRect(c, r);
      if (rect.isNull()) continue;
      const bool fixed = c < fixedCols_ || r < fixedRows_;
      const bool current = c == col_ && r == row_ && !fixed;
      const auto [first, last] = SelectedRows();
      const bool chosen = current || (!fixed && r >= first && r <= last && first >= 0);
      PaintCell(p, c, r, rect, {chosen, current && focused, fixed});
      p.fillRect(QRect(rect.x() + rect.width(), rect.y(), kGridLineWidth, rect.height() + kGridLineWidth),
                 fixed ? kFixedLineColour : kDataLineColour);
      p.fillRect(QRect(rect.x(), rect.y() + rect.height(), rect.width() + kGridLineWidth, kGridLineWidth),
                 fixed ? kFixedLineColour : kDataLineColour);
    }
}

// Sorting and fitting -------------------------------------------------------------------------

void TStringGridEx::SetHeading(int c, const std::string& text, bool isText, int alignment, bool hexadecimal) {
  SetCell(c, 0, text);
  std::uint32_t description = static_cast<std::uint32_t>(alignment) & kAlignMask;
  if (!isText || hexadecimal) description |= kNumeric;
  if (hexadecimal) description |= kHexadecimal;
  SetObject(c, 0, description);
}

void TStringGridEx::ExchangeRows(int a, int b) {
  if (a < 0 || b < 0 || a >= rows_ || b >= rows_ || a == b) return;
  for (int c = 0; c < cols_; ++c) {
    std::swap(cells_[Index(c, a)], cells_[Index(c, b)]);
    std::swap(objects_[Index(c, a)], objects_[Index(c, b)]);
  }
  viewport()->update();
}

void TStringGridEx::SortByColumn(int c, bool numeric, bool ascending) {
  // Keys are made once and travel with their rows; the exchange order is the one the user
  // expects of this table: equal rows change places ascending, never descending.
  struct TKey {
    bool Number = false;
    double Value = 0;
    QByteArray Text;
  };
  const bool hex = (Object(c, 0) & kHexadecimal) != 0;
  std::vector<TKey> keys(static_cast<std::size_t>(rows_));
  for (int r = 1; r < rows_; ++r) {
    TKey& k = keys[static_cast<std::size_t>(r)];
    const std::string& text = Cell(c, r);
    if (numeric) {
      if (!text.empty()) {
        char* end = nullptr;
        const double v =
            hex ? static_cast<double>(std::strtoull(text.c_str(), &end, 16)) : std::strtod(text.c_str(), &end);
        k.Number = end == text.c_str() + text.size() && text.find_first_of(" \t") == std::string::npos;
        k.Value = v;
      }
    } else {
      k.Text = QString::fromStdString(text).toUpper().toUtf8();
    }
  }
  auto less = [numeric](const TKey& a, const TKey& b) {
    if (!numeric) return a.Text < b.Text;
    if (a.Number != b.Number) return b.Number;  // a non-number sorts below every number
    return a.Number && a.Value < b.Value;
  };
  for (int i = 1; i < rows_ - 1; ++i)
    for (int j = i + 1; j < rows_; ++j)
      if (less(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]) != ascending) {
        ExchangeRows(j, i);
        std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
      }
  SortColumn = c;
  viewport()->update();
}

int TStringGridEx::TextWidth(const std::string& text) const {
  // Plain ASCII texts are measured from cached character advances; others are shaped.
  if (!advancesReady_ || advancesFont_ != font()) {
    advancesReady_ = true;
    advancesFont_ = font();
    const QFontMetricsF fm(advancesFont_);
    for (int ch = 32; ch < 127; ++ch) advances_[ch] = fm.horizontalAdvance(QChar(ch));
  }
  qreal w = 0;
  for (unsigned char ch : text) {
    if (ch < 32 || ch >= 127)
      return static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(QString::fromStdString(text))));
    w += advances_[ch];
  }
  return static_cast<int>(std::ceil(w));
}

int TStringGridEx::HeadingWidth(int c) const {
  int w = 0;
  for (int r = 0; r < std::min(HeadingRows, rows_); ++r) {
    const QString t = Text(c, r);
    const int br = t.indexOf('\n');
    if (br < 0) {
      w = std::max(w, TextWidth(Cell(c, r)));
      continue;
    }
    QFont small = font();
    small.setPointSize(8);
    const QFontMetrics fm(small);
    w = std::max({w, fm.horizontalAdvance(t.left(br)), fm.horizontalAdvance(t.mid(br + 1))});
  }
  // Room for the sort indicator beside a heading.
  return w + (w > 0 ? 10 : 0);
}

int TStringGridEx::ContentWidth(int c) const {
  if (c < 0 || c >= cols_) return 0;
  int w = std::max(defaultRowHeight_ - 4, HeadingWidth(c));
  for (int r = fixedRows_; r < rows_; ++r) w = std::max(w, TextWidth(Cell(c, r)));
  return w + 4;
}

int TStringGridEx::ContentWidth(int c, int r) const {
  if (!Inside(c, r)) return 0;
  return (r < HeadingRows ? HeadingWidth(c) : TextWidth(Cell(c, r))) + 4;
}

void TStringGridEx::AutoSizeColumns(int column, bool headings) {
  // A grid on a page not shown yet has no width of its own: its window's stands in.
  const int cap = isVisible() || !window() ? ClientWidth() : window()->width();
  const int first = column < 0 ? 0 : column, last = column < 0 ? cols_ - 1 : column;
  for (int c = first; c <= last && c < cols_; ++c) {
    int w = std::max(defaultRowHeight_ - 4, headings ? HeadingWidth(c) : 0);
    for (int r = fixedRows_; r < rows_; ++r) w = std::max(w, TextWidth(Cell(c, r)));
    SetColWidth(c, std::min(w + 4, cap));
  }
}

void TStringGridEx::FitRow(int r) {
  if (r < fixedRows_ || r >= rows_) return;
  const int cap = isVisible() || !window() ? ClientWidth() : window()->width();
  for (int c = 0; c < cols_; ++c) {
    const int w = std::min(TextWidth(Cell(c, r)) + 4, cap);
    if (w > ColWidth(c)) SetColWidth(c, w);
  }
}

void TStringGridEx::FitHeight() {
  int h = 0;
  for (int r = 0; r < rows_; ++r) h += RowHeight(r) + kGridLineWidth;
  setFixedHeight(
      h + 2 * frameWidth() +
      (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ? horizontalScrollBar()->sizeHint().height() : 0));
}

// Input ---------------------------------------------------------------------------------------

void TStringGridEx::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && ColSizing && at.y() < FixedHeight()) {
    const int edge = ColumnEdgeAt(at);
    if (edge >= 0) {
      sizingCol_ = edge;
      sizingStartX_ = at.x();
      sizingStartWidth_ = ColWidth(edge);
      return;
    }
  }
  if (event->button() == Qt::LeftButton) {
    setFocus(Qt::MouseFocusReason);
    const int from = row_;
    int c, r;
    if (MouseToCell(at, c, r)) MoveCurrent(c, r);
    anchorRow_ = event->modifiers() & Qt::ShiftModifier ? (anchorRow_ >= 0 ? anchorRow_ : from) : -1;
  }
  emit MouseDown(event->button(), event->modifiers(), at, false);
}

void TStringGridEx::mouseDoubleClickEvent(QMouseEvent* event) {
  emit MouseDown(event->button(), event->modifiers(), event->position().toPoint(), true);
}

void TStringGridEx::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (sizingCol_ >= 0) {
    SetColWidth(sizingCol_, std::max(0, sizingStartWidth_ + at.x() - sizingStartX_));
    return;
  }
  const bool onEdge = ColSizing && at.y() < FixedHeight() && ColumnEdgeAt(at) >= 0;
  viewport()->setCursor(onEdge ? Qt::SplitHCursor : Qt::ArrowCursor);
  emit MouseMoved(at);
}

void TStringGridEx::mouseReleaseEvent(QMouseEvent*) { sizingCol_ = -1; }

std::pair<int, int> TStringGridEx::SelectedRows() const {
  if (anchorRow_ < fixedRows_ || anchorRow_ >= rows_ || anchorRow_ == row_) return {-1, -1};
  return {std::min(anchorRow_, row_), std::max(anchorRow_, row_)};
}

QString TStringGridEx::CopyText() const {
  const auto [first, last] = SelectedRows();
  if (first < 0) return Text(col_, row_);
  QStringList rows;
  for (int r = first; r <= last; ++r) {
    QStringList cells;
    for (int c = 0; c < cols_; ++c) cells << Text(c, r);
    rows << cells.join('\t');
  }
  return rows.join('\n');
}

void TStringGridEx::keyPressEvent(QKeyEvent* event) {
  const int page = std::max(1, verticalScrollBar()->pageStep());
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(CopyText());
    return;
  }
  if (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit EditRequested();
    return;
  }
  // Shift with a move up or down chooses the rows between; any other move lets them go.
  const bool rowsMove = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_PageUp ||
                        event->key() == Qt::Key_PageDown;
  if (rowsMove && (event->modifiers() & Qt::ShiftModifier)) {
    if (anchorRow_ < 0) anchorRow_ = row_;
  } else if (event->key() != Qt::Key_Shift && event->key() != Qt::Key_Control && event->key() != Qt::Key_Alt &&
             event->key() != Qt::Key_Meta) {
    anchorRow_ = -1;
  }
  int c = col_, r = row_;
  switch (event->key()) {
    case Qt::Key_Up: --r; break;
    case Qt::Key_Down: ++r; break;
    case Qt::Key_Left: --c; break;
    case Qt::Key_Right: ++c; break;
    case Qt::Key_PageUp: r -= page; break;
    case Qt::Key_PageDown: r += page; break;
    case Qt::Key_Home: (event->modifiers() & Qt::ControlModifier ? r : c) = 0; break;
    case Qt::Key_End: (event->modifiers() & Qt::ControlModifier ? r : c) = std::max(rows_, cols_); break;
    case Qt::Key_Tab:
      if (++c >= cols_) c = fixedCols_, ++r;
      if (r >= rows_) return;
      break;
    case Qt::Key_Backtab:
      if (--c < fixedCols_) c = cols_ - 1, --r;
      if (r < fixedRows_) return;
      break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  SetCurrentCell(std::clamp(c, fixedCols_, std::max(fixedCols_, cols_ - 1)),
                 std::clamp(r, fixedRows_, std::max(fixedRows_, rows_ - 1)));
}

bool TStringGridEx::focusNextPrevChild(bool next) {
  return Tabs ? false : QAbstractScrollArea::focusNextPrevChild(next);
}

void TStringGridEx::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void TStringGridEx::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

}  // namespace brelo
