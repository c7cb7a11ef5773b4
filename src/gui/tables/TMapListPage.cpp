// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tables/TMapListPage.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/Numbers.h"
#include "base/Paths.h"
#include "gui/StringGridEx/TStringGridEx.h"
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

}  // namespace

TMapListPage::TMapListPage(TAppState& state, QWidget* parent) : QWidget(parent), state_(state) {
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
        static_cast<QObject*>(cbMapGroup->lineEdit()), static_cast<QObject*>(sgTiles), static_cast<QObject*>(sgLevels)})
    o->installEventFilter(this);

  for (TStringGridEx* t : {sgMaps, sgLevels, sgTiles}) {
    connect(t, &TStringGridEx::MouseMoved, this, [this, t](QPoint at) { sgMouseMove(t, at); });
    connect(t, &TStringGridEx::SelectCell, t, [t](int, int) { t->viewport()->repaint(); });
  }
  // The keyboard moving onto another map's row loads that map; onto another level's row shows
  // that level.
  connect(sgMaps, &TStringGridEx::SelectCell, this, [this](int, int r) {
    if (quiet_ || r < 1 || r == LoadedMapRow()) return;
    if (const std::string* path = PathOfRow(r); path && LoadMap) LoadMap(*path);
    MarkLoadedRow();  // back onto the loaded map's row when the load was declined or failed
  });
  connect(sgLevels, &TStringGridEx::SelectCell, this, [this](int, int r) {
    if (!quiet_ && r >= 1) ChooseLevelRow(r);
  });
  // F2 or Enter opens the editor a press on the current cell opens.
  for (TStringGridEx* t : {sgMaps, sgLevels, sgTiles})
    connect(t, &TStringGridEx::EditRequested, this, [this, t] {
      const QPoint at = t->CellRect(t->Col(), t->Row()).center();
      if (t == sgMaps)
        sgMapsMouseDown(Qt::LeftButton, at, false);
      else if (t == sgLevels)
        sgLevelsMouseDown(Qt::LeftButton, at);
      else
        sgTilesMouseDown(at);
    });
  connect(sgMaps, &TStringGridEx::MouseDown, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at, bool dbl) { sgMapsMouseDown(b, at, dbl); });
  connect(sgLevels, &TStringGridEx::MouseDown, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at, bool) { sgLevelsMouseDown(b, at); });
  connect(sgTiles, &TStringGridEx::MouseDown, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint at, bool) { sgTilesMouseDown(at); });
  connect(cbTiles, qOverload<int>(&QComboBox::activated), this, [this](int) { cbTilesClick(); });
  connect(cbScale, qOverload<int>(&QComboBox::activated), this, [this](int) { cbScaleClick(); });
  connect(cbMapGroup, qOverload<int>(&QComboBox::activated), this, [this](int i) { cbMapGroupCloseUp(i); });
}

// Filling ------------------------------------------------------------------------------------

void TMapListPage::BeginScan(int files) {
  const TQuiet quiet(quiet_);
  sgMaps->SetRowCount(1);
  sgMaps->SetFixedRows(0);
  sgMaps->SortColumn = -1;
  sgMaps->SetRowCount(files + 1);
  paths_.assign(static_cast<std::size_t>(files), std::string());
  guids_.assign(static_cast<std::size_t>(files), std::string());
  copies_.clear();
  lastChecks_.clear();
}

void TMapListPage::FillMapRow(const std::string& path, const TJnxMap& header, int row) {
  sgMaps->SetRow(row, MapRowCells(row, path, header));
  if (row >= 1 && row <= static_cast<int>(paths_.size())) {
    paths_[static_cast<std::size_t>(row - 1)] = path;
    guids_[static_cast<std::size_t>(row - 1)] = header.Guid;
  }
  ShowCheck(path, MapCheckOf(header));
}

void TMapListPage::ShowCheck(const std::string& path, const TMapCheck& mapCheck) {
  lastChecks_[path] = mapCheck;
  TMapCheck check = mapCheck;
  if (const auto copy = copies_.find(path); copy != copies_.end()) {
    // After the map's own warnings, before its notes.
    const auto notes = std::find_if(check.Findings.begin(), check.Findings.end(),
                                    [](const TFinding& f) { return f.Severity == TSeverity::Note; });
    check.Findings.insert(notes, copy->second);
  }
  QStringList lines;
  for (const auto& f : check.Findings) lines << QString(SeverityName(f.Severity)) + ": " + Q(f.Message);
  checkHints_[path] = lines.join('\n');
  for (int r = 1; r < sgMaps->RowCount(); ++r) {
    const std::string* p = PathOfRow(r);
    if (!p || *p != path) continue;
    const QRgb colour = check.Count(TSeverity::Error)     ? qRgb(200, 0, 0)
                        : check.Count(TSeverity::Warning) ? qRgb(190, 110, 0)
                                                          : qRgb(0, 128, 0);
    sgMaps->SetCell(kCheck, r, check.Summary());
    sgMaps->SetObject(kCheck, r, TStringGridEx::kTextColour | (colour & 0xFFFFFF));
    sgMaps->viewport()->update();
  }
}

void TMapListPage::CheckInBackground(const std::string& path) {
  // Threads that are done are let go; the page waits for the others when it goes.
  std::erase_if(checks_, [](TBackgroundCheck& c) {
    if (!c.Done->load()) return false;
    c.Thread.join();
    return true;
  });
  auto done = std::make_shared<std::atomic<bool>>(false);
  QPointer<TMapListPage> page(this);
  checks_.push_back({std::thread([this, page, path, done] {
                       TMapCheck check = CheckMapFile(path, TCheckDepth::Tiles, 1);
                       QMetaObject::invokeMethod(
                           this,
                           [this, page, path, check = std::move(check)] {
                             if (page) ShowCheck(path, check);
                           },
                           Qt::QueuedConnection);
                       *done = true;
                     }),
                     done});
}

TMapListPage::~TMapListPage() {
  for (auto& c : checks_) c.Thread.join();
}

void TMapListPage::EndScan(const std::string& currentFile) {
  const TQuiet quiet(quiet_);
  const bool any = sgMaps->RowCount() > 1;
  if (any) sgMaps->SetFixedRows(1);
  sgMaps->setEnabled(any);
  if (!any) return;
  std::vector<std::string> names;
  for (const auto& p : paths_) names.push_back(FileNameOf(p));
  const auto copies = GuidCopyFindings(names, guids_);
  for (std::size_t i = 0; i < copies.size(); ++i)
    if (copies[i]) copies_[paths_[i]] = *copies[i];
  for (const auto& entry : copies_) ShowCheck(entry.first, TMapCheck(lastChecks_[entry.first]));
  sgMaps->AutoSizeColumns(-1);
  for (int r = 1; r < sgMaps->RowCount(); ++r)
    if (paths_[static_cast<std::size_t>(r - 1)] == currentFile) sgMaps->SetRowOnly(r);
}

void TMapListPage::FillTileSelector(int level) {
  cbTiles->clear();
  const auto& levels = state_.Map.Levels;
  if (level < 0 || level >= static_cast<int>(levels.size())) return;
  QStringList items;
  for (int t = 1; t <= static_cast<int>(levels[static_cast<std::size_t>(level)].Tiles.size()); ++t)
    items << QString::number(t);
  cbTiles->addItems(items);
  cbTiles->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void TMapListPage::FillLevelTable() {
  const TQuiet quiet(quiet_);
  const TJnxMap& m = state_.Map;
  const int count = static_cast<int>(m.Levels.size());
  sgLevels->SetRowCount(count + 1);
  sgLevels->SetFixedRows(count > 0 ? 1 : 0);
  sgLevels->setEnabled(count > 0);
  for (int i = 1; i <= count; ++i) sgLevels->SetRow(i, LevelRowCells(m, i));
  const int shown = ShownLevel(m);
  if (shown >= 0) {
    sgLevels->SetCurrentCell(1, shown + 1);
    cbScale->setCurrentIndex(cbScale->findText(Q(ScaleName(m.Levels[static_cast<std::size_t>(shown)].Scale))));
  }
  FillTileSelector(shown);
  ShowTile(shown, 0);
  LayoutTables();
}

bool TMapListPage::ShowTile(int level, int tile) {
  const auto& levels = state_.Map.Levels;
  if (levels.empty() || level < 0 || level >= static_cast<int>(levels.size())) {
    sgTiles->ClearRow(1);
    cbTiles->setCurrentIndex(-1);
    return levels.empty() ? false : true;
  }
  if (tile < 0 || tile >= static_cast<int>(levels[static_cast<std::size_t>(level)].Tiles.size())) {
    sgTiles->ClearRow(1);
    return true;
  }
  sgTiles->SetRow(1, TileRowCells(state_.Map, level, tile));
  return true;
}

int TMapListPage::CurrentLevelRow() const { return sgLevels->Row(); }

void TMapListPage::SetCurrentLevelRow(int row) {
  const TQuiet quiet(quiet_);
  sgLevels->SetRowOnly(row);
}

const std::string* TMapListPage::PathOfRow(int row) const {
  if (row < 1 || row >= sgMaps->RowCount()) return nullptr;
  const long long number = LenientInt(sgMaps->Cell(0, row));
  if (number < 1 || number > static_cast<long long>(paths_.size())) return nullptr;
  return &paths_[static_cast<std::size_t>(number - 1)];
}

int TMapListPage::LoadedMapRow() const {
  if (state_.Map.CurrentFile.empty()) return -1;
  for (int r = 1; r < sgMaps->RowCount(); ++r)
    if (const std::string* p = PathOfRow(r); p && *p == state_.Map.CurrentFile) return r;
  return -1;
}

void TMapListPage::MarkLoadedRow() {
  const int r = LoadedMapRow();
  if (r < 1 || r == sgMaps->Row()) return;
  const TQuiet quiet(quiet_);
  sgMaps->SetRowOnly(r);
}

// Layout -------------------------------------------------------------------------------------

void TMapListPage::LayoutTables() {
  // The data columns share the width equally, halves to even; column 0 takes the rest.
  for (TStringGridEx* t : {sgTiles, sgLevels}) {
    const int n = t->ColCount(), width = t->ClientWidth();
    const double share = static_cast<double>(width - 2 * t->DefaultRowHeight() - n) / (n - 1);
    const int w = static_cast<int>(std::nearbyint(share));
    for (int c = 1; c < n; ++c) t->SetColWidth(c, w);
    t->SetColWidth(0, width - (n - 1) * (w + 1));
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

namespace {

// A cell's rectangle on the page; overlays start one pixel left of and above it.
QRect CellOnPage(const TStringGridEx* t, int c, int r, const QWidget* page) {
  const QRect cell = t->CellRect(c, r);
  return {t->viewport()->mapTo(page, cell.topLeft()), cell.size()};
}

}  // namespace

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

void TMapListPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) LayoutTables();
}

void TMapListPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  LayoutTables();
}

// Mouse --------------------------------------------------------------------------------------

void TMapListPage::sgMapsMouseDown(Qt::MouseButton, QPoint at, bool doubleClick) {
  cbMapGroup->hide();
  int c, r;
  if (!sgMaps->MouseToCell(at, c, r)) return;
  if (r >= 1) {
    // The row's file by the number it was filled with, so a sort or a letter case keeps it.
    // The loaded map's own row is not loaded again: that would drop edits not yet written.
    const std::string* path = PathOfRow(r);
    if (!path) return;
    if (*path != state_.Map.CurrentFile && LoadMap) LoadMap(*path);
    MarkLoadedRow();
    if (*path != state_.Map.CurrentFile) return;  // declined, or the file did not load
    if (c == kProductName) {
      cbMapGroup->clear();
      for (const auto& g : state_.MapGroups) cbMapGroup->addItem(Q(g));
      cbMapGroup->setCurrentIndex(-1);
      PlaceGroupSelector();
      cbMapGroup->setEditText(sgMaps->Text(kProductName, r));
      cbMapGroup->show();
      cbMapGroup->raise();
      cbMapGroup->setFocus();
    } else if (c >= 2) {
      OpenCellEditor(sgMaps);
    } else if (doubleClick && ShowMapPage) {
      ShowMapPage();
    }
    return;
  }
  const QRect heading = sgMaps->CellRect(c, 0);
  if (r == 0 && at.x() < heading.x() + heading.width()) {
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
}

void TMapListPage::ChooseLevelRow(int r) {
  if (r < 1 || r > static_cast<int>(state_.Map.Levels.size())) return;
  FillTileSelector(r - 1);
  ShowTile(r - 1, cbTiles->currentIndex());
  if (LevelChosen) LevelChosen(r - 1);
}

void TMapListPage::sgLevelsMouseDown(Qt::MouseButton, QPoint at) {
  int c, r;
  if (!sgLevels->MouseToCell(at, c, r) || r < 1 || r > static_cast<int>(state_.Map.Levels.size())) return;
  {
    const TQuiet quiet(quiet_);
    sgLevels->SetRowOnly(r);
  }
  ChooseLevelRow(r);
  if (c == kScaleName) {
    long long scale = 0;
    ParseInteger(sgLevels->Cell(kScale, r), scale);
    cbScale->setCurrentIndex(cbScale->findText(Q(ScaleName(static_cast<std::uint32_t>(scale))), Qt::MatchExactly));
    PlaceScaleSelector();
    cbScale->show();
    cbScale->raise();
    cbScale->setFocus();
  } else if (c >= 1) {
    OpenCellEditor(sgLevels);
  }
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
  if (t == sgMaps && c == kCheck && r >= 1) {
    const std::string* path = PathOfRow(r);
    const auto hint = path ? checkHints_.find(*path) : checkHints_.end();
    const QString text = hint == checkHints_.end() ? QString() : hint->second;
    t->setToolTip(text);
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(t->viewport()->mapToGlobal(at), text, t->viewport());
    return;
  }
  const QString text = t->Text(c, r);
  if (QFontMetrics(t->font()).horizontalAdvance(text) > t->ColWidth(c)) {
    t->setToolTip(text);
    QToolTip::showText(t->viewport()->mapToGlobal(at), text, t->viewport());
  } else {
    t->setToolTip(QString());
    QToolTip::hideText();
  }
}

void TMapListPage::cbTilesClick() { ShowTile(CurrentLevelRow() - 1, cbTiles->currentIndex()); }

// Editing ------------------------------------------------------------------------------------

void TMapListPage::CommitChange() {
  if (state_.Settings.AutoUpdateMap && UpdateMapNow) UpdateMapNow();
}

void TMapListPage::cbScaleClick() {
  const int i = cbScale->currentIndex(), r = sgLevels->Row();
  if (i >= 0 && cbScale->itemText(i) != sgLevels->Text(kScaleName, r)) {
    sgLevels->SetCell(kScale, r, std::to_string(ScaleTable[static_cast<std::size_t>(i)].Value));
    sgLevels->SetCell(kScaleName, r, S(cbScale->itemText(i)));
    CommitChange();
  }
  cbScale->hide();
  sgLevels->setFocus();
}

void TMapListPage::cbMapGroupCloseUp(int index) {
  if (index < 0) return;
  cbMapGroup->hide();
  const TMapGroupFields g = SplitMapGroup(S(cbMapGroup->itemText(index)));
  const int r = sgMaps->Row();
  if (!g.ProductId.empty()) sgMaps->SetCell(kProductId, r, g.ProductId);
  if (!g.ProductName.empty()) sgMaps->SetCell(kProductName, r, g.ProductName);
  if (!g.ZOrder.empty()) sgMaps->SetCell(kZOrder, r, g.ZOrder);
  // The selector list's own lookup, which ignores letter case.
  const int scale = cbScale->findText(Q(g.ScaleName), Qt::MatchFixedString);
  if (scale >= 0 && sgLevels->RowCount() > 1) {
    sgLevels->SetCell(kScale, 1, std::to_string(ScaleTable[static_cast<std::size_t>(scale)].Value));
    sgLevels->SetCell(kScaleName, 1, S(cbScale->itemText(scale)));
  }
  CommitChange();
  sgMaps->setFocus();
}

void TMapListPage::cbMapGroupKeyPress() {
  const int c = sgMaps->Col(), r = sgMaps->Row();
  const std::string text = S(cbMapGroup->currentText());
  if (text != sgMaps->Cell(c, r)) {
    sgMaps->SetCell(c, r, text);
    CommitChange();
  }
  const std::string item = sgMaps->Cell(kProductId, r) + "," + sgMaps->Cell(kProductName, r) + "," +
                           sgMaps->Cell(kZOrder, r) + "," + sgLevels->Cell(kScaleName, 1);
  state_.MapGroups.push_back(item);
  cbMapGroup->addItem(Q(item));
  cbMapGroup->hide();
}

void TMapListPage::eEditorKeyPress(int key) {
  TStringGridEx* t = EditedTable;
  if (!t) return;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    const std::string text = S(eEditor->text());
    if (!eEditor->isReadOnly() && text != t->Cell(t->Col(), t->Row())) {
      t->SetCell(t->Col(), t->Row(), text);
      CommitChange();
    }
  } else if (key != Qt::Key_Escape) {
    return;
  }
  eEditor->hide();
  t->setFocus();
}

bool TMapListPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == sgTiles || watched == sgLevels) && isVisible()) {
    LayoutTables();
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == eEditor && (enter || key == Qt::Key_Escape)) {
      eEditorKeyPress(key);
      return true;
    }
    if ((watched == cbMapGroup || watched == cbMapGroup->lineEdit()) && enter) {
      cbMapGroupKeyPress();
      return true;
    }
    // The selector or its line: a focused combo box hands keys to its line past its filters.
    if ((watched == cbMapGroup || watched == cbMapGroup->lineEdit()) && key == Qt::Key_Escape) {
      cbMapGroup->hide();
      sgMaps->setFocus();
      return true;
    }
  }
  if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    // Each overlay hides itself when the keyboard focus leaves it; an uncommitted edit is dropped.
    if (watched == eEditor) eEditor->hide();
    if (watched == cbScale) cbScale->hide();
    if ((watched == cbMapGroup || watched == cbMapGroup->lineEdit()) && !cbMapGroup->hasFocus() &&
        !cbMapGroup->lineEdit()->hasFocus())
      cbMapGroup->hide();
  }
  return QWidget::eventFilter(watched, event);
}

// The tables and the model -------------------------------------------------------------------

TMapEditCells TMapListPage::CellsFromTables() const {
  TMapEditCells cells = EditCellsFromMap(state_.Map);
  const int row = LoadedMapRow();
  if (row >= 1) {
    cells.Version = sgMaps->Cell(kVersion, row);
    cells.ProductId = sgMaps->Cell(kProductId, row);
    cells.ProductName = sgMaps->Cell(kProductName, row);
    cells.ZOrder = sgMaps->Cell(kZOrder, row);
    cells.DetailLevel = sgMaps->Cell(kDetailLevel, row);
    cells.ProductId2 = sgMaps->Cell(kProductId2, row);
  }
  for (std::size_t i = 0; i < cells.Levels.size() && static_cast<int>(i) + 1 < sgLevels->RowCount(); ++i) {
    const int r = static_cast<int>(i) + 1;
    cells.Levels[i] = {sgLevels->Cell(kScale, r), sgLevels->Cell(kCopyright, r), sgLevels->Cell(kName, r),
                       sgLevels->Cell(kDescription, r)};
  }
  return cells;
}

void TMapListPage::CellsToTables(const TMapEditCells& cells) {
  // The row shows the model (a new Guid after an update) with the accepted values.
  const int row = LoadedMapRow();
  if (row < 1) return;
  std::vector<std::string> texts = MapRowCells(LenientInt(sgMaps->Cell(0, row)), state_.Map.CurrentFile, state_.Map);
  texts[kVersion] = cells.Version;
  texts[kProductId] = cells.ProductId;
  texts[kProductName] = cells.ProductName;
  texts[kZOrder] = cells.ZOrder;
  texts[kProductId2] = cells.ProductId2;
  sgMaps->SetRow(row, texts);
}

void TMapListPage::RestoreCells(const TMapEditCells& cells) {
  if (const int row = LoadedMapRow(); row >= 1) {
    sgMaps->SetCell(kVersion, row, cells.Version);
    sgMaps->SetCell(kProductId, row, cells.ProductId);
    sgMaps->SetCell(kProductName, row, cells.ProductName);
    sgMaps->SetCell(kZOrder, row, cells.ZOrder);
    sgMaps->SetCell(kDetailLevel, row, cells.DetailLevel);
    sgMaps->SetCell(kProductId2, row, cells.ProductId2);
  }
  for (std::size_t i = 0; i < cells.Levels.size() && static_cast<int>(i) + 1 < sgLevels->RowCount(); ++i) {
    const int r = static_cast<int>(i) + 1;
    const TLevelEditCells& l = cells.Levels[i];
    long long scale = 0;
    sgLevels->SetCell(kScale, r, l.Scale);
    if (ParseInteger(l.Scale, scale)) sgLevels->SetCell(kScaleName, r, ScaleName(static_cast<std::uint32_t>(scale)));
    sgLevels->SetCell(kCopyright, r, l.Copyright);
    sgLevels->SetCell(kName, r, l.Name);
    sgLevels->SetCell(kDescription, r, l.Description);
  }
}

void TMapListPage::RefillLoadedMapRow(const TJnxMap& header) {
  const int row = LoadedMapRow();
  if (row < 1) return;
  sgMaps->SetRow(row, MapRowCells(LenientInt(sgMaps->Cell(0, row)), header.CurrentFile, header));
  if (const auto last = lastChecks_.find(header.CurrentFile); last != lastChecks_.end())
    ShowCheck(last->first, TMapCheck(last->second));
}

void TMapListPage::MarkClean() { clean_ = CellsFromTables(); }

bool TMapListPage::HasUnwrittenEdits() const { return !(CellsFromTables() == clean_); }

}  // namespace brelo
