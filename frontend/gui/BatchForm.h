// The batch dialog: a list of saved runs, put in order and saved as the
// batch file.  Each opening starts with an empty list; the batch file on
// disk is the only record of a batch.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "frontend/editor/Editor.h"
#include "frontend/editor/Run.h"

class QListWidget;

namespace kirmel::gui {

class TBatchForm : public QDialog {
  Q_OBJECT

 public:
  explicit TBatchForm(fe::TKirmelEditor& editor, QWidget* parent = nullptr);
  ~TBatchForm() override;

  const std::vector<fe::TSimRun>& Runs() const { return runs_; }
  bool Changed() const { return changed_; }

  void AddRunButtonClick();
  void RemoveRunButtonClick();
  void MoveUpButtonClick();
  void MoveDownButtonClick();
  void BitBtnSaveBatchClick();
  // Closes, after a question when the list has changes that were not saved.
  void BitBtnCloseClick();

  // Opening the dialog fills the list and clears Changed; showing it again
  // after a minimise keeps both.
  int exec() override;
  void open() override;

 protected:
  // Escape and the window's close box: as "Close".
  void reject() override;

 private:
  void Initialise();
  void FillList();
  void ClearRuns();
  void Swap(int from, int to);

  fe::TKirmelEditor& editor_;
  std::vector<fe::TSimRun> runs_;
  bool changed_ = false;
  QListWidget* lstRuns_;
};

}  // namespace kirmel::gui
