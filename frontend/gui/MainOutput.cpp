// Output segments and output files of the Simulation and Output pages.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

#include "frontend/gui/MainForm.h"
#include "frontend/model/Numbers.h"
#include "frontend/qt/Fields.h"

namespace kirmel::gui {
namespace {

// The kernel writes the per-segment files of at most this many segments.
constexpr int kMaxOutputSegments = 9;

// The k-th (from 0) water-body segment whose output flag is `flagged`.
fe::TDitchNode* NthSegment(fe::TDitch& ditch, int k, bool flagged) {
  for (int i = 1; i <= ditch.NodeCount(); ++i)
    if (ditch.Node(i).Output() == flagged && k-- == 0) return &ditch.Node(i);
  return nullptr;
}

void KeepSelection(QListWidget* list, int k) {
  const int count = list->count();
  if (count == 0) return;
  list->setCurrentRow(k < count ? k : count - 1);
}

}  // namespace

void TMainForm::FillOutputSegmentLists() {
  outputList_->clear();
  remainingList_->clear();
  fe::TDitch& ditch = Data().Ditch();
  ditch.ComputeCoordinates();
  for (int i = 1; i <= ditch.NodeCount(); ++i) {
    const fe::TDitchNode& node = ditch.Node(i);
    const std::string line = fe::Format("%.0d  %8.2f - %8.2f", {i, node.StartX(), node.EndX()},
                                        qt::DecimalSeparator());
    (node.Output() ? outputList_ : remainingList_)->addItem(QString::fromStdString(line));
  }
}

void TMainForm::ShowButtonClick() {
  const int k = remainingList_->currentRow();
  if (k < 0) return;
  if (outputList_->count() >= kMaxOutputSegments) {
    qt::ShowError("Maximum number of nodes for output reached");
    return;
  }
  if (fe::TDitchNode* node = NthSegment(Data().Ditch(), k, false)) node->SetOutput(true);
  FillOutputSegmentLists();
  KeepSelection(remainingList_, k);
}

void TMainForm::HideButtonClick() {
  const int k = outputList_->currentRow();
  if (k < 0) return;
  // The kernel needs at least one segment for its per-segment output.
  if (outputList_->count() <= 1) {
    qt::ShowError("At least one segment must stay selected for output");
    return;
  }
  if (fe::TDitchNode* node = NthSegment(Data().Ditch(), k, true)) node->SetOutput(false);
  FillOutputSegmentLists();
  KeepSelection(outputList_, k);
}

void TMainForm::SetOutputBoxesEnabled(bool enabled, bool headings, bool note) {
  for (const TOutputBox& box : outputBoxes_) box.Box->setEnabled(enabled);
  if (headings)
    for (QLabel* heading : outputHeadings_) heading->setEnabled(enabled);
  if (note) outputNote_->setEnabled(enabled);
}

void TMainForm::ShowOutputOptions() {
  const fe::TSettings& s = editor_->Settings();
  const bool all = s.IsAllOutput();
  const bool needed = !all && s.IsNeededOutput();
  ofAll_->setChecked(all);
  ofNeeded_->setChecked(needed);
  for (const TOutputBox& box : outputBoxes_) box.Box->setChecked(s.*box.Switch);
  SetOutputBoxesEnabled(true, true, true);
  if (all) SetOutputBoxesEnabled(false, true, true);
  if (needed) SetOutputBoxesEnabled(false, true, false);
}

void TMainForm::StoreOutputOptions() {
  fe::TSettings& s = editor_->Settings();
  for (const TOutputBox& box : outputBoxes_) s.*box.Switch = box.Box->isChecked() || ofAll_->isChecked();
}

void TMainForm::AllClick() {
  if (ofAll_->isChecked()) {
    ofNeeded_->setChecked(false);
    for (const TOutputBox& box : outputBoxes_) box.Box->setChecked(true);
    SetOutputBoxesEnabled(false, true, true);
  } else {
    for (const TOutputBox& box : outputBoxes_) box.Box->setChecked(false);
    SetOutputBoxesEnabled(true, true, true);
  }
  StoreOutputOptions();
}

void TMainForm::NeededClick() {
  if (ofNeeded_->isChecked()) {
    ofAll_->setChecked(false);
    fe::TSettings needed(editor_->Settings().Root());
    needed.SetNeededOutput();
    for (const TOutputBox& box : outputBoxes_) box.Box->setChecked(needed.*box.Switch);
    SetOutputBoxesEnabled(true, true, true);
    SetOutputBoxesEnabled(false, true, false);
  } else {
    SetOutputBoxesEnabled(true, true, true);
  }
  StoreOutputOptions();
}

void TMainForm::OutputBoxClick(QCheckBox* box) {
  for (const TOutputBox& b : outputBoxes_)
    if (b.Box == box) editor_->Settings().*b.Switch = box->isChecked();
}

}  // namespace kirmel::gui
