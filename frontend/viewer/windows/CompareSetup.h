// What the two set-up dialogs of the comparisons share: the kind of
// comparison ("Compare:"), the boxes of run 1, run 2 and the measured data
// with their rows, and the handlers that choose a run, a node and a file
// and build the chart.
//
// The dialogs are thin: every choice goes to the comparison (the Qt-free
// TComparison), and the controls are then set from it, so the edits, the
// rows switched on and the readers always agree.  A row is a label, a
// read-only edit and a "..." button, switched on and off together.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kirmel::fe {
class TComparison;
}

namespace kirmel::viewer {

struct TChoiceRow {
  QLabel* Label = nullptr;
  QLineEdit* Edit = nullptr;
  QPushButton* Button = nullptr;

  void SetEnabled(bool enabled);
  void SetText(const std::string& text);
};

class TFrmCompareSetup : public QDialog {
  Q_OBJECT

 public:
  // "Compare:": -1 nothing, 0 "Two runs", 1 "Run with measured data".
  void RadioGroupTypeClick(int index);
  int ComparisonIndex() const;
  // Run r (1 or 2): its directory chosen in the runs' folder; its node.
  void BtnChangeNameRunClick(int r);
  void BtnChangeNodeRunClick(int r);
  void BtnChangeFilenameClick();
  void BitBtnViewClick();

  // Sets every control from the comparison (after a change made to it
  // directly).
  virtual void UpdateControls();

  // Reads run 1, then shows the dialog modally; Rejected without showing it
  // when the user cancels the reading.
  int exec() override;

 protected:
  TFrmCompareSetup(QWidget* owner, fe::TComparison& comparison, const char* formName,
                   const char* caption);

  // Appends a row to a box's grid; `handler` runs on its button.
  TChoiceRow AddRow(QGridLayout* grid, const char* caption, const QString& labelName,
                    const QString& editName, const QString& buttonName,
                    std::function<void()> handler);
  // Appends the row "Node:" of run r to its box (after the rows a dialog
  // puts before it).
  void AddNodeRow(int r);
  QGridLayout* RunGrid(int r) const { return runGrid_[r - 1]; }
  QGridLayout* MeasuredGrid() const { return measuredGrid_; }

  // Reads run 1 when the dialog first shows.
  virtual void FormShow() = 0;
  void showEvent(QShowEvent* event) override;
  // Runs a choice's reads with the progress dialog; false when cancelled
  // (the comparison is then as it was).
  bool WithProgress(const std::function<void()>& choice);

 private:
  fe::TComparison& comparison_;
  QButtonGroup* radioGroupType_;
  QGroupBox* grpRun_[2];
  QGridLayout* runGrid_[2];
  QGroupBox* grpMeasured_;
  QGridLayout* measuredGrid_;
  QCheckBox* standDevs_;
  TChoiceRow name_[2];
  TChoiceRow node_[2];
  TChoiceRow fileName_;
  bool shown_ = false;
  bool read_ = false;  // run 1 read before the first show
};

}  // namespace kirmel::viewer
