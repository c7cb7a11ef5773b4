// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tables/TMapListPage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "base/Numbers.h"
#include "base/Paths.h"
#include "gui/StringGridEx/TStringGridEx.h"
#include "gui/session/TMapSession.h"
#include "gui/tables/MapTables.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {

// Columns of the cells the page reads and writes.
constexpr int kVersion = 3, kProductId = 4, kProductName = 5, kZOrder = 6, kDetailLevel = 12, kProductId2 = 22,
              kCheck = 23;
constexpr int kScale = 2, kScaleName = 3, kCopyright = 4, kName = 5, kDescription = 6;

QLabel* TableLabel(const char* name, const char* text, QColor colour, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setAlignment(Qt::AlignCenter);
  l->setFixedHeight(23);
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, colour);
  p.setColor(QPalette::WindowText, Qt::black);
  l->setPalette(p);
  QFont f = l->font();
  f.setPixelSize(19);
  l->setFont(f);
  return l;
}

TStringGridEx* Table(const char* name, const std::vector<TColumn>& columns, QLabel* label, int rowHeight,
                     QWidget* parent) {
  auto* t = new TStringGridEx(parent);
  t->setObjectName(name);
  t->SetColCount(static_cast<int>(columns.size()));
  t->SetRowCount(2);
  t->SetFixedRows(1);
  t->SetFixedCols(1);
  t->SetDefaultRowHeight(rowHeight);
  for (std::size_t c = 0; c < columns.size(); ++c)
    t->SetHeading(static_cast<int>(c), columns[c].Heading, columns[c].Sort == TSortKind::Text,
                  static_cast<int>(columns[c].Align), columns[c].Sort == TSortKind::Hexadecimal);
  t->SetColor1(label->palette().color(QPalette::Window));
  return t;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// Marks a change of a current row as the page's own, not the user's.
struct TQuiet {
  int& Depth;
  explicit TQuiet(int& depth) : Depth(depth) { ++Depth; }
  ~TQuiet() { --Depth; }
};

// A cell's rectangle on the page; overlays start one pixel left of and above it.
QRect CellOnPage(const TStringGridEx* t, int c, int r, const QWidget* page) {
  const QRect cell = t->CellRect(c, r);
  return {t->viewport()->mapTo(page, cell.topLeft()), cell.size()};
}

// Widths that share `total` as equally as they can while each is at least its `needed`.
std::vector<int> ShareWidths(const std::vector<int>& needed, int total) {
  const int n = static_cast<int>(needed.size());
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](int a, int b) { return needed[static_cast<std::size_t>(b)] < needed[static_cast<std::size_t>(a)]; });
  std::vector<int> widths(needed);
  int left = total, count = n;
  for (int i : order) {
    // The widest first: a column that needs more than an equal share of what is left keeps it.
    const int share = count > 0 ? left / count : 0;
    if (needed[static_cast<std::size_t>(i)] <= share) break;
    left -= needed[static_cast<std::size_t>(i)];
    --count;
    widths[static_cast<std::size_t>(i)] = -1;
  }
  int given = 0;
  for (int i = 0; i < n && count > 0; ++i) {
    if (widths[static_cast<std::size_t>(i)] < 0) continue;
    widths[static_cast<std::size_t>(i)] = left / count + (given < left % count ? 1 : 0);
    ++given;
  }
  for (int i = 0; i < n; ++i)
    if (widths[static_cast<std::size_t>(i)] < 0)
      widths[static_cast<std::size_t>(i)] = needed[static_cast<std::size_t>(i)];
  return widths;
}

}  // namespace

TMapListPage::TMapListPage(TMapSession& session, TAppState& state, QWidget* parent)
    : QWidget(parent), session_(session), state_(state) {
  setObjectName("tsMapList");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  lMaps = TableLabel("lMaps", "Maps", QColor(166, 202, 240), this);
  lLevels = TableLabel("lLevels", "Levels", QColor(123, 209, 72), this);
  lTiles = TableLabel("lTiles", "Tiles", QColor(250, 210, 101), this);

  sgMaps = Table("sgMaps", MapColumns(), lMaps, 23, this);
  sgMaps->SetFixedCols(2);
  sgMaps->HeadingCols = 2;
  sgMaps->SetRowCount(1);
  sgMaps->SetFixedRows(0);
  sgMaps->setFrameStyle(QFrame::Box | QFrame::Plain);
  sgMaps->setEnabled(false);

  sgLevels = Table("sgLevels", LevelColumns(), lLevels, 21, this);
  sgLevels->SetScrollBars(TStringGridEx::TScrollBars::Vertical);
  sgLevels->ColSizing = false;
  sgLevels->FitHeight();
  sgLevels->SetRowCount(6);
  sgLevels->setEnabled(false);

  sgTiles = Table("sgTiles", TileColumns(), lTiles, 21, this);
  sgTiles->SetScrollBars(TStringGridEx::TScrollBars::None);
  sgTiles->ColSizing = false;
  sgTiles->FitHeight();

  layout->addWidget(lMaps);
  layout->addWidget(sgMaps, 1);
  layout->addWidget(lLevels);
  layout->addWidget(sgLevels);
  layout->addWidget(lTiles);
  layout->addWidget(sgTiles);

  cbTiles = new QComboBox(this);
  cbTiles->setObjectName("cbTiles");
  cbTiles->setFocusPolicy(Qt::NoFocus);
  cbScale = new QComboBox(this);
  cbScale->setObjectName("cbScale");
  for (const auto& entry : ScaleTable) cbScale->addItem(entry.Name);
  cbScale->hide();
  cbMapGroup = new QComboBox(this);
  cbMapGroup->setObjectName("cbMapGroup");
  cbMapGroup->setEditable(true);
  cbMapGroup->setCompleter(nullptr);
  cbMapGroup->setInsertPolicy(QComboBox::NoInsert);
  cbMapGroup->hide();
  eEditor = new QLineEdit(this);
  eEditor->setObjectName("eEditor");
  eEditor->setFrame(false);
  eEditor->hide();
  for (QObject* o :
       {static_cast<QObject*>(eEditor), static_cast<QObject*>(cbScale), static_cast<QObject*>(cbMapGroup),
        static_cast<QObject*>(cbMapGroup->lineEdit()), static_cast<QObject*>(sgTiles), static_cast<QObject*>(sgLevels),
        static_cast<QObject*>(sgTiles->viewport()), static_cast<QObject*>(sgLevels->viewport())})
    o->installEventFilter(this);

  for (TStringGridEx* t : {sgMaps, sgLevels, sgTiles}) {
    connect(t, &TStringGridEx::MouseMoved, this, [this, t](QPoint at) { sgMouseMove(t, at); });
    connect(t, &TStringGridEx::SelectCell, t, [t](int, int) { t->viewport()->repaint(); });
  }
  // The keyboard moving onto another map's row loads that map; onto another level's row shows
  // that level.
  connect(sgMaps, &TStringGridEx::SelectCell, this, [this](int, int r) {
    if (!quiet_ && r >= 1 && r != LoadedMapRow()) ChooseMapRow(r);
  });
  connect(sgLevels, &TStringGridEx::SelectCell, this, [this](int, int r) {
    if (!quiet_ && r >= 1) ChooseLevelRow(r);
  });
  // F2 or Enter opens the editor a press on the current cell opens.
  for (TStringGridEx* t : {sgMaps, sgLevels, sgTiles})
    connect(t, &TStringGridEx::EditRequested, this, [this, t] {
      const QPoint at = t->CellRect(t->Col(), t->Row()).center();
      if (t == sgMaps)
        sgMapsMouseDown(at, false);
      else if (t == sgLevels)
        sgLevelsMouseDown(at);
      else
        sgTilesMouseDown(at);
    });
  connect(sgMaps, &TStringGridEx::MouseDown, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint at, bool dbl) { sgMapsMouseDown(at, dbl); });
  connect(sgLevels, &TStringGridEx::MouseDown, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint at, bool) { sgLevelsMouseDown(at); });
  connect(sgTiles, &TStringGridEx::MouseDown, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint at, bool) { sgTilesMouseDown(at); });
  connect(cbTiles, qOverload<int>(&QComboBox::activated), this, [this](int) { cbTilesClick(); });
  connect(cbScale, qOverload<int>(&QComboBox::activated), this, [this](int) { cbScaleClick(); });
  connect(cbMapGroup, qOverload<int>(&QComboBox::activated), this, [this](int i) { cbMapGroupCloseUp(i); });

  connect(&session_, &TMapSession::FolderListed, this, [this] { FillMapTable(); });
  connect(&session_, &TMapSession::ListedMapChanged, this, [this](int index) {
    if (const int row = RowOfListed(index); row >= 1) {
      FillMapRow(row);
      sgMaps->FitRow(row);
    }
  });
  connect(&session_, &TMapSession::MapLoaded, this, [this] {
    FillLevelTable();
    ShowEdits();
    MarkLoadedRow();
  });
  connect(&session_, &TMapSession::Edited, this, [this] { ShowEdits(); });
  connect(&session_, &TMapSession::LevelChanged, this, [this] { ShowLevel(); });
}

void TMapListPage::FocusMapTable() {
  if (sgMaps->RowCount() > 1) sgMaps->setFocus();
}

// Filling ------------------------------------------------------------------------------------

void TMapListPage::FillMapTable() {
  const TQuiet quiet(quiet_);
  const auto& listed = session_.Listed();
  const int files = static_cast<int>(listed.size());
  sgMaps->SetRowCount(1);
  sgMaps->SetFixedRows(0);
  sgMaps->SortColumn = -1;
  sgMaps->SetRowCount(files + 1);
  shownLoaded_ = session_.LoadedIndex();
  for (int r = 1; r <= files; ++r) FillMapRow(r);
  const bool any = files > 0;
  if (any) sgMaps->SetFixedRows(1);
  sgMaps->setEnabled(any);
  if (!any) return;
  FitMapColumns();
  MarkLoadedRow();
}

void TMapListPage::FillMapRow(int row) {
  // Rows are filled in listing order, and keep their number in column 0 when sorted.
  const std::string& number = sgMaps->Cell(0, row);
  const int index = number.empty() ? row - 1 : static_cast<int>(LenientInt(number)) - 1;
  const auto& listed = session_.Listed();
  if (index < 0 || index >= static_cast<int>(listed.size())) return;
  const TListedMap& l = listed[static_cast<std::size_t>(index)];
  const TMapCheck check = l.Shown();
  std::vector<std::string> cells = MapRowCells(index + 1, l.Path, l.Header, check.Summary());
  if (index == session_.LoadedIndex()) {
    // The loaded map as the next write writes it: the model with the edits.
    const TJnxMap& m = session_.Map();
    cells = MapRowCells(index + 1, l.Path, m, check.Summary());
    const TMapEditCells& e = session_.Edits();
    cells[kVersion] = e.Version;
    cells[kProductId] = e.ProductId;
    cells[kProductName] = e.ProductName;
    cells[kZOrder] = e.ZOrder;
    cells[kDetailLevel] = e.DetailLevel;
    cells[kProductId2] = e.ProductId2;
  }
  sgMaps->SetRow(row, std::move(cells));
  sgMaps->SetObject(kCheck, row, TStringGridEx::kTextColour | CheckColour(check));
}

void TMapListPage::FitMapColumns() { sgMaps->AutoSizeColumns(-1, true); }

void TMapListPage::ShowEdits() {
  // The row that showed the loaded map before shows its file again; the loaded map's row its
  // edits.
  const int loaded = session_.LoadedIndex();
  for (const int index : {shownLoaded_, loaded})
    if (const int row = RowOfListed(index); row >= 1) {
      FillMapRow(row);
      sgMaps->FitRow(row);
    }
  shownLoaded_ = loaded;
  const TMapEditCells& e = session_.Edits();
  for (std::size_t i = 0; i < e.Levels.size() && static_cast<int>(i) + 1 < sgLevels->RowCount(); ++i) {
    const int r = static_cast<int>(i) + 1;
    const TLevelEditCells& l = e.Levels[i];
    long long scale = 0;
    sgLevels->SetCell(kScale, r, l.Scale);
    if (ParseInteger(l.Scale, scale)) sgLevels->SetCell(kScaleName, r, ScaleName(static_cast<std::uint32_t>(scale)));
    sgLevels->SetCell(kCopyright, r, l.Copyright);
    sgLevels->SetCell(kName, r, l.Name);
    sgLevels->SetCell(kDescription, r, l.Description);
  }
  sgLevels->viewport()->update();
}

void TMapListPage::FillTileSelector(int level) {
  cbTiles->clear();
  const auto& levels = session_.Map().Levels;
  if (level < 0 || level >= static_cast<int>(levels.size())) return;
  QStringList items;
  const int count = static_cast<int>(levels[static_cast<std::size_t>(level)].Tiles.size());
  items.reserve(count);
  for (int t = 1; t <= count; ++t) items << QString::number(t);
  cbTiles->addItems(items);
  cbTiles->setCurrentIndex(items.isEmpty() ? -1 : 0);
  LayoutTables();  // the selector as wide as its largest number
}

void TMapListPage::FillLevelTable() {
  const TQuiet quiet(quiet_);
  const TJnxMap& m = session_.Map();
  const int count = static_cast<int>(m.Levels.size());
  sgLevels->SetRowCount(count + 1);
  sgLevels->SetFixedRows(count > 0 ? 1 : 0);
  sgLevels->setEnabled(count > 0);
  for (int i = 1; i <= count; ++i) sgLevels->SetRow(i, LevelRowCells(m, i));
  ShowLevel();
}

void TMapListPage::ShowLevel() {
  const TQuiet quiet(quiet_);
  const TJnxMap& m = session_.Map();
  const int shown = session_.Level();
  if (shown >= 0 && shown + 1 < sgLevels->RowCount()) {
    sgLevels->SetCurrentCell(std::max(1, sgLevels->Col()), shown + 1);
    cbScale->setCurrentIndex(cbScale->findText(Q(ScaleName(m.Levels[static_cast<std::size_t>(shown)].Scale))));
  }
  FillTileSelector(shown);
  ShowTile(shown, cbTiles->currentIndex());
  LayoutTables();
}

bool TMapListPage::ShowTile(int level, int tile) {
  const auto& levels = session_.Map().Levels;
  if (levels.empty() || level < 0 || level >= static_cast<int>(levels.size())) {
    sgTiles->ClearRow(1);
    cbTiles->setCurrentIndex(-1);
    return !levels.empty();
  }
  if (tile < 0 || tile >= static_cast<int>(levels[static_cast<std::size_t>(level)].Tiles.size())) {
    sgTiles->ClearRow(1);
    return true;
  }
  sgTiles->SetRow(1, TileRowCells(session_.Map(), level, tile));
  LayoutTables();
  return true;
}

int TMapListPage::ListedOfRow(int row) const {
  if (row < 1 || row >= sgMaps->RowCount()) return -1;
  const long long number = LenientInt(sgMaps->Cell(0, row));
  if (number < 1 || number > static_cast<long long>(session_.Listed().size())) return -1;
  return static_cast<int>(number - 1);
}

int TMapListPage::RowOfListed(int index) const {
  if (index < 0) return -1;
  // Unsorted, the row of map i is i + 1.
  if (ListedOfRow(index + 1) == index) return index + 1;
  for (int r = 1; r < sgMaps->RowCount(); ++r)
    if (ListedOfRow(r) == index) return r;
  return -1;
}

int TMapListPage::LoadedMapRow() const { return RowOfListed(session_.LoadedIndex()); }

void TMapListPage::MarkLoadedRow() {
  const int r = LoadedMapRow();
  if (r < 1 || r == sgMaps->Row()) return;
  const TQuiet quiet(quiet_);
  sgMaps->SetRowOnly(r);
}

// Layout -------------------------------------------------------------------------------------

void TMapListPage::LayoutTables() {
  // The data columns share the width equally (halves to even), column 0 takes the rest; a
  // column whose texts need more than its share gets what they need.
  for (TStringGridEx* t : {sgTiles, sgLevels}) {
    const int n = t->ColCount(), width = t->ClientWidth();
    const double share = static_cast<double>(width - 2 * t->DefaultRowHeight() - n) / (n - 1);
    const int w = static_cast<int>(std::nearbyint(share));
    std::vector<int> needed(static_cast<std::size_t>(n - 1));
    bool fits = true;
    for (int c = 1; c < n; ++c) {
      needed[static_cast<std::size_t>(c - 1)] = t->ContentWidth(c);
      fits = fits && needed[static_cast<std::size_t>(c - 1)] <= w;
    }
    int first = width - (n - 1) * (w + 1);
    if (t == sgTiles && cbTiles->count() > 0) {
      // The tile selector over column 0 shows the level's largest tile number whole.
      QStyleOptionComboBox option;
      option.initFrom(cbTiles);
      const QSize text(cbTiles->fontMetrics().horizontalAdvance(QString::number(cbTiles->count())), 16);
      const int selector = cbTiles->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, cbTiles).width();
      if (selector - 3 > first) {
        first = selector - 3;
        fits = false;
      }
    }
    if (fits) {
      for (int c = 1; c < n; ++c) t->SetColWidth(c, w);
    } else {
      const std::vector<int> widths = ShareWidths(needed, width - first - n);
      for (int c = 1; c < n; ++c) t->SetColWidth(c, widths[static_cast<std::size_t>(c - 1)]);
    }
    t->SetColWidth(0, first);
    if (t == sgTiles) {
      const QPoint at = sgTiles->geometry().topLeft();
      cbTiles->setGeometry(at.x(), at.y() + sgTiles->RowHeight(0) + 2, sgTiles->ColWidth(0) + 3, sgTiles->RowHeight(1));
      cbTiles->raise();
    }
  }
  PlaceScaleSelector();
  PlaceGroupSelector();
  eEditor->hide();
}

void TMapListPage::PlaceScaleSelector() {
  const QRect cell = CellOnPage(sgLevels, kScaleName, sgLevels->Row(), this);
  cbScale->setGeometry(cell.x() - 1, cell.y() - 1, cell.width() + 2, std::max(cell.height() - 1, 0));
  if (cbScale->isVisible()) cbScale->setFocus();
}

void TMapListPage::PlaceGroupSelector() {
  const QRect cell = CellOnPage(sgMaps, kProductName, sgMaps->Row(), this);
  cbMapGroup->setGeometry(cell.x() - 1, cell.y() - 1, cell.width() + 2, cell.height());
  if (cbMapGroup->isVisible()) cbMapGroup->setFocus();
}

void TMapListPage::OpenCellEditor(TStringGridEx* t) {
  EditedTable = t;
  const int c = t->Col();
  const bool editable =
      (t == sgLevels && (c == kCopyright || c == kName || c == kDescription)) ||
      (t == sgMaps && (c == kVersion || c == kProductId || c == kProductName || c == kZOrder || c == kDetailLevel));
  const QRect cell = CellOnPage(t, c, t->Row(), this);
  eEditor->setGeometry(cell.x() - 1, cell.y() - 1, cell.width() + 2, cell.height() + 2);
  eEditor->setText(t->Text(c, t->Row()));
  eEditor->setReadOnly(!editable);
  if (editable)
    eEditor->end(false);
  else
    eEditor->selectAll();
  eEditor->show();
  eEditor->raise();
  eEditor->setFocus();
}

void TMapListPage::OpenGroupSelector() {
  cbMapGroup->clear();
  for (const auto& g : state_.MapGroups) cbMapGroup->addItem(Q(g));
  cbMapGroup->setCurrentIndex(-1);
  // The list as wide as its items, however narrow the column: items that differ in their end
  // read differently.
  int widest = 0;
  const QFontMetrics fm(cbMapGroup->view()->font());
  for (const auto& g : state_.MapGroups) widest = std::max(widest, fm.horizontalAdvance(Q(g)));
  cbMapGroup->view()->setMinimumWidth(widest + 2 * cbMapGroup->view()->frameWidth() + 24);
  PlaceGroupSelector();
  cbMapGroup->setEditText(sgMaps->Text(kProductName, sgMaps->Row()));
  cbMapGroup->show();
  cbMapGroup->raise();
  cbMapGroup->setFocus();
}

void TMapListPage::OpenScaleSelector() {
  const int r = sgLevels->Row();
  long long scale = 0;
  ParseInteger(sgLevels->Cell(kScale, r), scale);
  cbScale->setCurrentIndex(cbScale->findText(Q(ScaleName(static_cast<std::uint32_t>(scale))), Qt::MatchExactly));
  PlaceScaleSelector();
  cbScale->show();
  cbScale->raise();
  cbScale->setFocus();
}

void TMapListPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) LayoutTables();
}

void TMapListPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  LayoutTables();
}

// Mouse --------------------------------------------------------------------------------------

bool TMapListPage::ChooseMapRow(int r) {
  // The row's file by the number it was filled with, so a sort or a letter case keeps it. The
  // loaded map's own row is not loaded again: that would drop edits not yet written.
  const int index = ListedOfRow(r);
  if (index < 0) return false;
  const std::string path = session_.Listed()[static_cast<std::size_t>(index)].Path;
  if (path != session_.File()) emit OpenRequested(path);
  MarkLoadedRow();  // back onto the loaded map's row when the load was declined or failed
  return path == session_.File();
}

void TMapListPage::sgMapsMouseDown(QPoint at, bool doubleClick) {
  cbMapGroup->hide();
  int c, r;
  if (!sgMaps->MouseToCell(at, c, r)) return;
  if (r >= 1) {
    if (!ChooseMapRow(r)) return;  // declined, or the file did not load
    if (c == kProductName)
      OpenGroupSelector();
    else if (c >= 2)
      OpenCellEditor(sgMaps);
    else if (doubleClick)
      emit MapPageRequested();
    return;
  }
  const QRect heading = sgMaps->CellRect(c, 0);
  if (r == 0 && at.x() < heading.x() + heading.width()) SortBy(c);
}

void TMapListPage::SortBy(int c) {
  const TQuiet quiet(quiet_);
  sgMaps->SortAscending = c == sgMaps->SortColumn ? !sgMaps->SortAscending : true;
  const std::string current = sgMaps->Cell(0, sgMaps->Row());
  sgMaps->SortByColumn(c, sgMaps->IsNumericColumn(c), sgMaps->SortAscending);
  int row = sgMaps->Row();
  for (int i = 1; i < sgMaps->RowCount(); ++i)
    if (sgMaps->Cell(0, i) == current) {
      row = i;
      break;
    }
  sgMaps->SetCurrentCell(c >= 2 ? c : sgMaps->Col(), row);
}

void TMapListPage::ChooseLevelRow(int r) {
  if (r < 1 || r > static_cast<int>(session_.Map().Levels.size())) return;
  if (r - 1 == session_.Level()) return;
  session_.SetLevel(r - 1);
}

void TMapListPage::sgLevelsMouseDown(QPoint at) {
  int c, r;
  if (!sgLevels->MouseToCell(at, c, r) || r < 1 || r > static_cast<int>(session_.Map().Levels.size())) return;
  {
    const TQuiet quiet(quiet_);
    sgLevels->SetRowOnly(r);
  }
  ChooseLevelRow(r);
  if (c == kScaleName)
    OpenScaleSelector();
  else if (c >= 1)
    OpenCellEditor(sgLevels);
}

void TMapListPage::sgTilesMouseDown(QPoint at) {
  int c, r;
  if (sgTiles->MouseToCell(at, c, r) && r >= 1 && c >= 1) OpenCellEditor(sgTiles);
}

void TMapListPage::sgMouseMove(TStringGridEx* t, QPoint at) {
  int c, r;
  if (!t->MouseToCell(at, c, r)) {
    QToolTip::hideText();
    return;
  }
  // The check's cell shows its findings; other cells their own text when it is cut off.
  QString text;
  if (t == sgMaps && c == kCheck && r >= 1) {
    if (const int index = ListedOfRow(r); index >= 0)
      text = Q(CheckHint(session_.Listed()[static_cast<std::size_t>(index)].Shown()));
  } else if (t->ContentWidth(c, r) > t->ColWidth(c)) {
    text = t->Text(c, r);
  }
  t->setToolTip(text);
  if (text.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(t->viewport()->mapToGlobal(at), text, t->viewport());
}

void TMapListPage::cbTilesClick() { ShowTile(session_.Level(), cbTiles->currentIndex()); }

// Editing ------------------------------------------------------------------------------------

void TMapListPage::cbScaleClick() {
  const int i = cbScale->currentIndex(), r = sgLevels->Row();
  if (i >= 0 && cbScale->itemText(i) != sgLevels->Text(kScaleName, r) && r >= 1 &&
      r <= static_cast<int>(session_.Edits().Levels.size())) {
    TMapEditCells e = session_.Edits();
    e.Levels[static_cast<std::size_t>(r - 1)].Scale = std::to_string(ScaleTable[static_cast<std::size_t>(i)].Value);
    session_.Edit(e);
    emit EditCommitted();
  }
  cbScale->hide();
  sgLevels->setFocus();
}

void TMapListPage::cbMapGroupCloseUp(int index) {
  if (index < 0) return;
  cbMapGroup->hide();
  const TMapGroupFields g = SplitMapGroup(S(cbMapGroup->itemText(index)));
  TMapEditCells e = session_.Edits();
  if (!g.ProductId.empty()) e.ProductId = g.ProductId;
  if (!g.ProductName.empty()) e.ProductName = g.ProductName;
  if (!g.ZOrder.empty()) e.ZOrder = g.ZOrder;
  // The selector list's own lookup, which ignores letter case.
  const int scale = cbScale->findText(Q(g.ScaleName), Qt::MatchFixedString);
  if (scale >= 0 && !e.Levels.empty())
    e.Levels[0].Scale = std::to_string(ScaleTable[static_cast<std::size_t>(scale)].Value);
  session_.Edit(e);
  emit EditCommitted();
  sgMaps->setFocus();
}

void TMapListPage::cbMapGroupKeyPress() {
  const std::string text = S(cbMapGroup->currentText());
  TMapEditCells e = session_.Edits();
  if (text != e.ProductName) {
    e.ProductName = text;
    session_.Edit(e);
    emit EditCommitted();
  }
  const TMapEditCells& now = session_.Edits();
  const std::string scale = sgLevels->RowCount() > 1 ? sgLevels->Cell(kScaleName, 1) : std::string();
  const std::string item = now.ProductId + "," + now.ProductName + "," + now.ZOrder + "," + scale;
  state_.MapGroups.push_back(item);
  cbMapGroup->addItem(Q(item));
  cbMapGroup->hide();
  sgMaps->setFocus();
}

void TMapListPage::eEditorKeyPress(int key) {
  TStringGridEx* t = EditedTable;
  if (!t) return;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    const std::string text = S(eEditor->text());
    const int c = t->Col(), r = t->Row();
    if (!eEditor->isReadOnly() && text != t->Cell(c, r)) {
      TMapEditCells e = session_.Edits();
      if (t == sgMaps && r == LoadedMapRow()) {
        for (auto [column, cell] : {std::pair{kVersion, &e.Version}, std::pair{kProductId, &e.ProductId},
                                    std::pair{kProductName, &e.ProductName}, std::pair{kZOrder, &e.ZOrder},
                                    std::pair{kDetailLevel, &e.DetailLevel}})
          if (column == c) *cell = text;
      } else if (t == sgLevels && r >= 1 && r <= static_cast<int>(e.Levels.size())) {
        TLevelEditCells& l = e.Levels[static_cast<std::size_t>(r - 1)];
        for (auto [column, cell] :
             {std::pair{kCopyright, &l.Copyright}, std::pair{kName, &l.Name}, std::pair{kDescription, &l.Description}})
          if (column == c) *cell = text;
      }
      session_.Edit(e);
      emit EditCommitted();
    }
  } else if (key != Qt::Key_Escape) {
    return;
  }
  eEditor->hide();
  t->setFocus();
}

bool TMapListPage::eventFilter(QObject* watched, QEvent* event) {
  // A table's width changes with it, or with its scroll bar coming or going.
  if (event->type() == QEvent::Resize && isVisible() &&
      (watched == sgTiles || watched == sgLevels || watched == sgTiles->viewport() ||
       watched == sgLevels->viewport())) {
    LayoutTables();
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == eEditor && (enter || key->key() == Qt::Key_Escape)) {
      eEditorKeyPress(key->key());
      return true;
    }
    const bool group = watched == cbMapGroup || watched == cbMapGroup->lineEdit();
    if (group && enter) {
      cbMapGroupKeyPress();
      return true;
    }
    // The selector or its line: a focused combo box hands keys to its line past its filters.
    if (group && key->key() == Qt::Key_Escape) {
      cbMapGroup->hide();
      sgMaps->setFocus();
      return true;
    }
    // Alt+Down and F4 open the list of groups, as they open any drop-down list.
    if (group && ((key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) || key->key() == Qt::Key_F4)) {
      cbMapGroup->showPopup();
      return true;
    }
  }
  if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    // Each overlay hides itself when the keyboard focus leaves it; an uncommitted edit is dropped.
    if (watched == eEditor) eEditor->hide();
    if (watched == cbScale && !cbScale->view()->isVisible()) cbScale->hide();
    if ((watched == cbMapGroup || watched == cbMapGroup->lineEdit()) && !cbMapGroup->hasFocus() &&
        !cbMapGroup->lineEdit()->hasFocus() && !cbMapGroup->view()->isVisible())
      cbMapGroup->hide();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace brelo
