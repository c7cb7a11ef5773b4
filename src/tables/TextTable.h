#pragma once
// A table of text cells over a plain model: the map, level and tile tables until the coloured
// grid control takes their place. Filling rows costs a copy of their texts, nothing more.
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QTableView>

#include "tables/MapTables.h"

namespace brelo {

class TTextTableModel : public QAbstractTableModel {
 public:
  explicit TTextTableModel(const std::vector<TColumn>& columns, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Cells are kept as the core's UTF-8 texts and converted only when a view asks for them.
  void SetRows(std::vector<std::vector<std::string>> rows);
  void SetRow(int row, const std::vector<std::string>& cells);
  QString Text(int row, int column) const;
  const std::string& Cell(int row, int column) const;

 private:
  std::vector<TColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
};

class TTextTable : public QTableView {
 public:
  TTextTable(const char* name, const std::vector<TColumn>& columns, QWidget* parent = nullptr);
  TTextTableModel& Cells() { return model_; }
  int RowCount() const { return model_.rowCount(); }
  QString Text(int row, int column) const { return model_.Text(row, column); }
  // Each column as wide as its heading and its longest text.
  void AutoSizeColumns();
  int CurrentRow() const { return currentIndex().row(); }
  void SetCurrentCell(int row, int column) { setCurrentIndex(model_.index(row, column)); }

 private:
  TTextTableModel model_;
};

}  // namespace brelo
