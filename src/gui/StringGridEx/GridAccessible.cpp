// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/StringGridEx/GridAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>

#include "gui/StringGridEx/TStringGridEx.h"

namespace brelo {

namespace {

class TGridAccessible;

class TCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  TCellAccessible(TStringGridEx* grid, int c, int r) : grid_(grid), c_(c), r_(r) {}

  bool isValid() const override { return grid_ && c_ < grid_->ColCount() && r_ < grid_->RowCount(); }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && isValid() ? grid_->Text(c_, r_) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    const QRect cell = grid_->CellRect(c_, r_);
    if (cell.isNull()) return {};
    return {grid_->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
  }
  QAccessible::Role role() const override {
    if (r_ < grid_->HeadingRows) return QAccessible::ColumnHeader;
    if (c_ < grid_->HeadingCols) return QAccessible::RowHeader;
    return QAccessible::Cell;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.selectable = true;
    s.selected = isSelected();
    s.focused = isSelected() && grid_->hasFocus();
    s.readOnly = true;
    s.invisible = rect().isEmpty();
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
  }

  bool isSelected() const override { return grid_->Col() == c_ && grid_->Row() == r_; }
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  QList<QAccessibleInterface*> rowHeaderCells() const override;
  int columnIndex() const override { return c_; }
  int rowIndex() const override { return r_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  QPointer<TStringGridEx> grid_;
  int c_, r_;
};

class TGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit TGridAccessible(TStringGridEx* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
  ~TGridAccessible() override {
    for (const auto& [key, id] : cells_) QAccessible::deleteAccessibleInterface(id);
  }

  TStringGridEx* Grid() const { return static_cast<TStringGridEx*>(widget()); }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                            : QAccessibleWidget::interface_cast(t);
  }
  int childCount() const override { return Grid()->ColCount() * Grid()->RowCount(); }
  QAccessibleInterface* child(int index) const override {
    const int cols = Grid()->ColCount();
    return cols > 0 && index >= 0 ? cellAt(index / cols, index % cols) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    return cell ? cell->rowIndex() * Grid()->ColCount() + cell->columnIndex() : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    int c, r;
    return Grid()->MouseToCell(Grid()->viewport()->mapFromGlobal(QPoint(x, y)), c, r) ? cellAt(r, c) : nullptr;
  }
  QAccessibleInterface* focusChild() const override { return cellAt(Grid()->Row(), Grid()->Col()); }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    TStringGridEx* g = Grid();
    if (row < 0 || column < 0 || row >= g->RowCount() || column >= g->ColCount()) return nullptr;
    const auto key = std::make_pair(row, column);
    auto it = cells_.find(key);
    if (it == cells_.end())
      it = cells_.emplace(key, QAccessible::registerAccessibleInterface(new TCellAccessible(g, column, row))).first;
    return QAccessible::accessibleInterface(it->second);
  }
  int selectedCellCount() const override { return 1; }
  QList<QAccessibleInterface*> selectedCells() const override { return {focusChild()}; }
  QString columnDescription(int column) const override { return Grid()->Text(column, 0); }
  QString rowDescription(int row) const override { return Grid()->Text(0, row); }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  int columnCount() const override { return Grid()->ColCount(); }
  int rowCount() const override { return Grid()->RowCount(); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int row) override {
    Grid()->SetRowOnly(row);
    return true;
  }
  bool selectColumn(int column) override {
    Grid()->SetCurrentCell(column, Grid()->Row());
    return true;
  }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

 private:
  mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

QList<QAccessibleInterface*> TCellAccessible::columnHeaderCells() const {
  QList<QAccessibleInterface*> out;
  if (auto* t = table()) {
    for (int r = 0; r < grid_->HeadingRows && r != r_; ++r)
      if (auto* cell = t->tableInterface()->cellAt(r, c_)) out << cell;
  }
  return out;
}

QList<QAccessibleInterface*> TCellAccessible::rowHeaderCells() const {
  QList<QAccessibleInterface*> out;
  if (auto* t = table()) {
    for (int c = 0; c < grid_->HeadingCols && c != c_; ++c)
      if (auto* cell = t->tableInterface()->cellAt(r_, c)) out << cell;
  }
  return out;
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("brelo::TStringGridEx") && object && object->isWidgetType())
    return new TGridAccessible(static_cast<TStringGridEx*>(object));
  return nullptr;
}

}  // namespace

void InstallGridAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

}  // namespace brelo
