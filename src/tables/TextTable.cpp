#include "tables/TextTable.h"

#include <QFontMetrics>
#include <QHeaderView>

namespace brelo {

TTextTableModel::TTextTableModel(const std::vector<TColumn>& columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

int TTextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TTextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TTextTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return Text(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) {
    const TCellAlign a = columns_[static_cast<std::size_t>(index.column())].Align;
    return int(Qt::AlignVCenter | (a == TCellAlign::Left    ? Qt::AlignLeft
                                   : a == TCellAlign::Right ? Qt::AlignRight
                                                            : Qt::AlignHCenter));
  }
  return {};
}

QVariant TTextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= static_cast<int>(columns_.size()))
    return {};
  return QString::fromUtf8(columns_[static_cast<std::size_t>(section)].Heading);
}

void TTextTableModel::SetRows(std::vector<std::vector<std::string>> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void TTextTableModel::SetRow(int row, const std::vector<std::string>& cells) {
  if (row < 0) return;
  if (row >= static_cast<int>(rows_.size())) {
    beginInsertRows({}, static_cast<int>(rows_.size()), row);
    rows_.resize(static_cast<std::size_t>(row) + 1, std::vector<std::string>(columns_.size()));
    endInsertRows();
  }
  auto& target = rows_[static_cast<std::size_t>(row)];
  for (std::size_t c = 0; c < target.size() && c < cells.size(); ++c) target[c] = cells[c];
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QString TTextTableModel::Text(int row, int column) const { return QString::fromStdString(Cell(row, column)); }

const std::string& TTextTableModel::Cell(int row, int column) const {
  static const std::string empty;
  if (row < 0 || column < 0 || row >= static_cast<int>(rows_.size())) return empty;
  const auto& r = rows_[static_cast<std::size_t>(row)];
  return column < static_cast<int>(r.size()) ? r[static_cast<std::size_t>(column)] : empty;
}

TTextTable::TTextTable(const char* name, const std::vector<TColumn>& columns, QWidget* parent)
    : QTableView(parent), model_(columns, this) {
  setObjectName(name);
  setModel(&model_);
  verticalHeader()->hide();
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void TTextTable::AutoSizeColumns() {
  // The longest text of a column stands for it: measuring every cell shapes every text.
  const QFontMetrics fm(font());
  for (int c = 0; c < model_.columnCount(); ++c) {
    int longest = -1, chars = 0;
    for (int r = 0; r < model_.rowCount(); ++r)
      if (static_cast<int>(model_.Cell(r, c).size()) > chars) chars = static_cast<int>(model_.Cell(r, c).size()), longest = r;
    int width = 0;
    for (const QString& line : model_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().split('\n'))
      width = std::max(width, fm.horizontalAdvance(line));
    if (longest >= 0) width = std::max(width, fm.horizontalAdvance(model_.Text(longest, c)));
    setColumnWidth(c, width + 12);
  }
}

}  // namespace brelo
