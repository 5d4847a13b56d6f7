#include "frontend/qt/Fields.h"

#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <cstdio>

#include "frontend/model/KirExcpt.h"
#include "frontend/model/Numbers.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::qt {
namespace {

char& Separator() {
  static char separator = '.';
  return separator;
}

}  // namespace

char DecimalSeparator() { return Separator(); }
void SetDecimalSeparator(char separator) { Separator() = separator; }

void ShowError(const std::string& message) { TheDialogs().Error(message); }
void ShowInfo(const std::string& message) { TheDialogs().Information(message); }
bool Confirm(const std::string& message) { return TheDialogs().Confirm(message); }

bool GetEditFloat(QLineEdit* edit, double& value, double defaultValue) {
  const std::string text = edit->text().toStdString();
  if (text.empty()) {
    edit->setText(QString::fromStdString(fe::FormatGeneral(defaultValue, DecimalSeparator())));
    value = defaultValue;
    return true;
  }
  if (fe::TryStrToFloat(text, DecimalSeparator(), value)) return true;
  ShowError("Illegal value");
  FocusControl(edit);
  return false;
}

bool GetEditInteger(QLineEdit* edit, int& value, int defaultValue) {
  const std::string text = edit->text().toStdString();
  if (text.empty()) {
    edit->setText(QString::fromStdString(fe::IntToStr(defaultValue)));
    value = defaultValue;
    return true;
  }
  if (fe::TryStrToInt(text, value)) return true;
  ShowError("Illegal integer value");
  FocusControl(edit);
  return false;
}

bool GetGridFloat(TStringGrid* grid, int col, int row, double& value, double defaultValue) {
  const std::string text = grid->Cell(col, row);
  if (text.empty()) {
    grid->SetCell(col, row, fe::FormatGeneral(defaultValue, DecimalSeparator()));
    value = defaultValue;
    return true;
  }
  if (fe::TryStrToFloat(text, DecimalSeparator(), value)) return true;
  ShowGridError(grid, col, row, "Illegal real value");
  return false;
}

void ShowGridError(TStringGrid* grid, int col, int row, const std::string& message) {
  ShowError(message);
  FocusGridCell(grid, col, row);
}

void FocusGridCell(TStringGrid* grid, int col, int row) {
  if (grid->isEnabled() && grid->focusPolicy() != Qt::NoFocus) FocusControl(grid);
  if (grid->FixedCols() <= col && col < grid->ColCount() && grid->FixedRows() <= row &&
      row < grid->RowCount())
    grid->SetCurrentCell(col, row);
}

void RevealPage(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    if (!stack) continue;
    if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) tabs->setCurrentWidget(w);
  }
}

void FocusControl(QWidget* widget) {
  RevealPage(widget);
  widget->setFocus();
}

void ShowException(std::exception_ptr error) noexcept {
  try {
    try {
      std::rethrow_exception(error);
    } catch (const fe::EKirmelError& e) {
      ShowError(e.Message(DecimalSeparator()));
    } catch (const std::exception& e) {
      ShowError(e.what());
    } catch (...) {
      ShowError("Unknown error");
    }
  } catch (...) {
    // The dialog itself failed: nothing is left to show it with.
    std::fputs("An error could not be shown\n", stderr);
  }
}

}  // namespace kirmel::qt
