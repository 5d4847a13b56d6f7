// The axis dialog: start, end, title, major tick step and number of minor
// ticks of a chart's X axis (the bottom axis when it is visible, else the
// top one) and Y axis (the left axis when visible, else the right one).
//
// OK applies the X axis, then the Y axis, field by field; a refused field
// shows why, takes the focus and keeps the dialog open, and what was applied
// before it stays applied.  A start at or after the end is refused before
// either end is applied.  A major tick step of 0 lets the chart choose its
// ticks; 0 minor ticks hides them.
#pragma once

#include <QDialog>

#include "frontend/chart/Chart.h"

class QLineEdit;
class QPushButton;

namespace kirmel::viewer {

class TFrmAxisOptions : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmAxisOptions(QWidget* owner = nullptr);

  // The chart whose axes are edited; set before showing.
  fe::TChart* Chart = nullptr;

  // Fills the edits from the chart's axes (done on every show).
  void FormShow();
  // Applies the edits; closes the dialog with OK when every field was taken.
  void BitBtnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct TAxisEdits {
    QLineEdit* Start;
    QLineEdit* End;
    QLineEdit* Text;
    QLineEdit* TicksStep;
    QLineEdit* MinorTicks;
  };
  fe::TAxisSide XSide() const;
  fe::TAxisSide YSide() const;
  void ShowAxis(fe::TAxisSide side, const TAxisEdits& edits);
  // Narrows the two Text fields, the wider first, as far as the dialog with
  // its frame needs to stay within its screen's available width (never
  // below a field's natural width).
  void FitTitleFields();
  bool ApplyAxis(fe::TAxis& axis, const TAxisEdits& edits);

  TAxisEdits x_;
  TAxisEdits y_;
};

// Opens the axis dialog on `chart` modally; true when it was closed with OK.
bool ShowAxisOptions(QWidget* owner, fe::TChart& chart);

}  // namespace kirmel::viewer
