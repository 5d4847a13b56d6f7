// The segment editors of the water layer and the sediment, and what the main
// window refreshes after them.
#include <QLabel>
#include <QRadioButton>

#include "frontend/gui/MainForm.h"
#include "frontend/gui/SegmentForms.h"
#include "frontend/model/Numbers.h"
#include "frontend/qt/Fields.h"

namespace kirmel::gui {

void TMainForm::CreateSegmentEditors() {
  // The two editors share the generate and scale dialogs.
  generateNodesForm_ = new TGenerateNodesForm(this);
  scaleForm_ = new TScaleForm(this);
  nodesForm_ = new TNodesForm(Data(), *generateNodesForm_, *scaleForm_, this);
  sedimentNodesForm_ = new TSedimentNodesForm(Data(), *generateNodesForm_, *scaleForm_, this);
}

void TMainForm::EditDitchButtonClick() {
  nodesForm_->SetMode(2, QStringLiteral("Water layer segments"));
  nodesForm_->exec();
  AfterDitchEditor();
}

void TMainForm::EditSedimentButtonClick() {
  sedimentNodesForm_->SetMode(4, QStringLiteral("Sediment segments"));
  sedimentNodesForm_->exec();
  AfterSedimentEditor();
}

void TMainForm::UpdateSegmentLabels() {
  const char sep = qt::DecimalSeparator();
  const QString length =
      QString::fromStdString(fe::FormatGeneral(Data().Ditch().Length(), sep) + " m");
  ditchLengthLabel_->setText(length);
  ditchLengthLabel2_->setText(QStringLiteral("Length=") + length);
  ditchNodesLabel_->setText(QString::number(Data().Ditch().NodeCount()));
  sedimentLengthLabel_->setText(
      QString::fromStdString(fe::FormatGeneral(Data().Sediment().SedimentLength(), sep) + " m"));
  sedimentNodesLabel_->setText(QString::number(Data().Sediment().NodeCount()));
}

void TMainForm::AfterDitchEditor() {
  UpdateSegmentLabels();
  if (icDitchRadio_->isChecked()) FillInitialConcGrid();
  FillOutputSegmentLists();
}

void TMainForm::AfterSedimentEditor() {
  UpdateSegmentLabels();
  if (icSedimentRadio_->isChecked()) FillInitialConcGrid();
  const int layers = Data().Sediment().NodeCount();
  if (layers < Data().KTop()) {
    Data().SetKTop(layers);
  } else if (Data().KTop() == 0 && layers >= 1) {
    Data().SetKTop(1);
  }
}

}  // namespace kirmel::gui
