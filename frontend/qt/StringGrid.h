// A grid of text cells counted the way the windows' code counts them:
// columns from 0, rows from 0 with the fixed (heading) row as row 0.
//
// The fixed row is the table's horizontal header; fixed columns are shown
// like headings and cannot be edited.
#pragma once

#include <QTableWidget>
#include <string>

namespace kirmel::qt {

class TStringGrid : public QTableWidget {
  Q_OBJECT

 public:
  // fixedRows is 0 or 1.
  TStringGrid(int fixedRows, int fixedCols, QWidget* parent = nullptr);

  int FixedRows() const { return fixedRows_; }
  int FixedCols() const { return fixedCols_; }
  int ColCount() const { return columnCount(); }
  // Rows, the fixed row included.
  int RowCount() const { return rowCount() + fixedRows_; }
  void SetColCount(int count);
  // At least the fixed rows; the texts of rows that stay are kept.
  void SetRowCount(int count);

  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);

  // The current cell; Row() is FixedRows() - 1 when no row is current.
  int Col() const { return currentColumn(); }
  int Row() const { return currentRow() + fixedRows_; }
  void SetCurrentCell(int col, int row);

  // Takes the text of a cell being edited into the cell and closes its
  // editor, so that code reading the grid sees what the user typed.
  void CommitEditor();

 private:
  QTableWidgetItem* ItemAt(int col, int row);
  void StyleFixed(QTableWidgetItem* item, int col) const;

  int fixedRows_;
  int fixedCols_;
};

}  // namespace kirmel::qt
