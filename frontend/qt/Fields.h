// Field and grid helpers, the three standard message dialogs and the guard
// that keeps exceptions out of Qt's event handling.
//
// Numbers are read and written with the decimal separator the editor
// recorded from the user's locale (SetDecimalSeparator), never through the
// process locale.
#pragma once

#include <exception>
#include <type_traits>
#include <string>
#include <utility>

class QLineEdit;
class QWidget;

namespace kirmel::qt {

class TStringGrid;

// The decimal separator of numbers shown and read in fields ('.' until set).
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// Error, information and Yes/No question through the dialog service.
void ShowError(const std::string& message);
void ShowInfo(const std::string& message);
bool Confirm(const std::string& message);

// Reads a number from an edit field.  An empty field gets `defaultValue`
// written back (general number form) and yields it.  Text that does not
// convert shows "Illegal value" ("Illegal integer value"), gives the focus
// back to the field and returns false with `value` unchanged.
bool GetEditFloat(QLineEdit* edit, double& value, double defaultValue);
bool GetEditInteger(QLineEdit* edit, int& value, int defaultValue);

// The same for one cell of a string grid (column, row as the grid counts
// them, the fixed row and columns included); a failure shows
// "Illegal real value" on that cell.
bool GetGridFloat(TStringGrid* grid, int col, int row, double& value, double defaultValue);
// ShowError(message), then FocusGridCell.
void ShowGridError(TStringGrid* grid, int col, int row, const std::string& message);
// Makes the page that holds the widget the current page of every page
// control above it.
void RevealPage(QWidget* widget);
// RevealPage, then gives the widget the focus.
void FocusControl(QWidget* widget);

// Focuses the grid; a cell outside the fixed row and columns and inside the
// grid also becomes the current cell.
void FocusGridCell(TStringGrid* grid, int col, int row);

// Shows the exception being handled with ShowError: a model exception with
// the user's decimal separator, anything else by its description.
void ShowException(std::exception_ptr error) noexcept;

// Runs a handler so that no exception leaves it: one that escapes is shown
// with ShowError.  Every slot of the front end runs through this.
template <class F>
void Guarded(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    ShowException(std::current_exception());
  }
}

// A slot that runs `handler` guarded, with whatever arguments the signal
// passes (handlers taking none ignore them).
template <class F>
auto GuardedSlot(F handler) {
  return [handler = std::move(handler)](auto&&... args) mutable noexcept {
    Guarded([&] {
      if constexpr (std::is_invocable_v<F&, decltype(args)...>)
        handler(std::forward<decltype(args)>(args)...);
      else
        handler();
    });
  };
}

}  // namespace kirmel::qt
