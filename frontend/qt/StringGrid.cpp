#include "frontend/qt/StringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <algorithm>

namespace kirmel::qt {

TStringGrid::TStringGrid(int fixedRows, int fixedCols, QWidget* parent)
    : QTableWidget(parent), fixedRows_(std::clamp(fixedRows, 0, 1)), fixedCols_(fixedCols) {
  verticalHeader()->setVisible(false);
  horizontalHeader()->setVisible(fixedRows_ > 0);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

void TStringGrid::SetColCount(int count) {
  setColumnCount(std::max(count, 0));
  for (int c = 0; c < columnCount(); ++c)
    if (!horizontalHeaderItem(c)) setHorizontalHeaderItem(c, new QTableWidgetItem());
}

void TStringGrid::SetRowCount(int count) { setRowCount(std::max(count - fixedRows_, 0)); }

QTableWidgetItem* TStringGrid::ItemAt(int col, int row) {
  if (col < 0 || col >= columnCount() || row < 0 || row >= RowCount()) return nullptr;
  if (row < fixedRows_) {
    if (!horizontalHeaderItem(col)) setHorizontalHeaderItem(col, new QTableWidgetItem());
    return horizontalHeaderItem(col);
  }
  int r = row - fixedRows_;
  if (!item(r, col)) {
    auto* cell = new QTableWidgetItem();
    StyleFixed(cell, col);
    setItem(r, col, cell);
  }
  return item(r, col);
}

void TStringGrid::StyleFixed(QTableWidgetItem* cell, int col) const {
  if (col >= fixedCols_) return;
  cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
  cell->setBackground(palette().brush(QPalette::Button));
  cell->setForeground(palette().brush(QPalette::ButtonText));
}

std::string TStringGrid::Cell(int col, int row) const {
  if (col < 0 || col >= columnCount() || row < 0 || row >= RowCount()) return {};
  const QTableWidgetItem* cell =
      row < fixedRows_ ? horizontalHeaderItem(col) : item(row - fixedRows_, col);
  return cell ? cell->text().toStdString() : std::string();
}

void TStringGrid::SetCell(int col, int row, const std::string& text) {
  if (QTableWidgetItem* cell = ItemAt(col, row)) cell->setText(QString::fromStdString(text));
}

void TStringGrid::SetCurrentCell(int col, int row) {
  if (col < 0 || col >= columnCount() || row < fixedRows_ || row >= RowCount()) return;
  setCurrentCell(row - fixedRows_, col);
}

void TStringGrid::CommitEditor() {
  if (state() != QAbstractItemView::EditingState) return;
  QWidget* editor = QApplication::focusWidget();
  if (!editor || !viewport()->isAncestorOf(editor)) {
    // The editor is the only child of the viewport that takes input.
    editor = nullptr;
    for (QWidget* child : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisible()) editor = child;
  }
  if (!editor) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

}  // namespace kirmel::qt
