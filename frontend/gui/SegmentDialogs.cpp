// The generate and scale dialogs of the segment editors.
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "frontend/gui/SegmentForms.h"
#include "frontend/model/KirExcpt.h"
#include "frontend/model/Numbers.h"
#include "frontend/model/Utils.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"

namespace kirmel::gui {
namespace {

QLineEdit* NumberEdit(const char* name, const char* text) {
  auto* edit = new QLineEdit(QString::fromLatin1(text));
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaximumWidth(90);
  return edit;
}

// OK (the default button) and Cancel, at the right.
QHBoxLayout* OkCancelRow(QDialog* dialog, std::function<void()> onOk) {
  return qt::OkCancelRow(dialog, std::move(onOk), QStringLiteral("OKButton"),
                         QStringLiteral("CancelButton"));
}

}  // namespace

// ---- TGenerateNodesForm ----

TGenerateNodesForm::TGenerateNodesForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("GenerateNodesForm"));
  setWindowTitle(QStringLiteral("Generate"));

  distributeRadio_ = new QRadioButton(QStringLiteral("Distribute"));
  distributeRadio_->setObjectName(QStringLiteral("DistributeRadio"));
  distributeRadio_->setChecked(true);
  distanceRadio_ = new QRadioButton(QStringLiteral("Segments with length of"));
  distanceRadio_->setObjectName(QStringLiteral("DistanceRadio"));
  squareRadio_ = new QRadioButton(QStringLiteral("Quadratic distribution of"));
  squareRadio_->setObjectName(QStringLiteral("SquareRadio"));
  auto* radios = new QButtonGroup(this);
  for (QRadioButton* r : {distributeRadio_, distanceRadio_, squareRadio_}) radios->addButton(r);

  numSegmentsEdit_ = NumberEdit("NumSegmentsEdit", "10");
  lengthEdit_ = NumberEdit("LengthEdit", "1");
  numSqSegmentsEdit_ = NumberEdit("NumSqSegmentsEdit", "10");
  squareUnit_ = new QLabel(QStringLiteral("segments"));

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Generated segments will overwrite the list of segments")),
                  0, 0, 1, 3);
  grid->addWidget(distributeRadio_, 1, 0);
  grid->addWidget(numSegmentsEdit_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("segments")), 1, 2);
  grid->addWidget(distanceRadio_, 2, 0);
  grid->addWidget(lengthEdit_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("m")), 2, 2);
  grid->addWidget(squareRadio_, 3, 0);
  grid->addWidget(numSqSegmentsEdit_, 3, 1);
  grid->addWidget(squareUnit_, 3, 2);
  grid->setColumnStretch(2, 1);
  auto* group = new QGroupBox(QStringLiteral("Generate segments"));
  group->setLayout(grid);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(OkCancelRow(this, [this] { OKButtonClick(); }));
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TGenerateNodesForm::Execute() {
  Prepare();
  exec();
  return !Cancelled;
}

TGenerateNodesForm::TChoice TGenerateNodesForm::Choice() const {
  if (distanceRadio_->isChecked()) return TChoice::Distance;
  if (squareRadio_->isChecked() && ShowQuadratic) return TChoice::Square;
  return TChoice::Distribute;
}

void TGenerateNodesForm::Prepare() {
  Cancelled = true;
  for (QWidget* w : {static_cast<QWidget*>(squareRadio_), static_cast<QWidget*>(numSqSegmentsEdit_),
                     static_cast<QWidget*>(squareUnit_)})
    w->setVisible(ShowQuadratic);
  // A hidden choice cannot stay the chosen one.
  if (!ShowQuadratic && squareRadio_->isChecked()) distributeRadio_->setChecked(true);
}

bool TGenerateNodesForm::ReadCount(QLineEdit* edit) {
  double value = 0;
  if (!qt::GetEditFloat(edit, value, NumSegments)) return false;
  try {
    NumSegments = fe::RoundHalfEven(value);
  } catch (const fe::EIllegalValue&) {
    // Far beyond any number of segments: the rounding has no integer for it.
    qt::ShowError("Illegal value");
    qt::FocusControl(edit);
    return false;
  }
  return true;
}

void TGenerateNodesForm::OKButtonClick() {
  switch (Choice()) {
    case TChoice::Distribute:
      if (!ReadCount(numSegmentsEdit_)) return;
      break;
    case TChoice::Square:
      if (!ReadCount(numSqSegmentsEdit_)) return;
      break;
    case TChoice::Distance: {
      double value = 0;
      if (!qt::GetEditFloat(lengthEdit_, value, SegmentLength)) return;
      if (value <= 0) {
        qt::ShowError("Length must be greater than zero");
        qt::FocusControl(lengthEdit_);
        return;
      }
      SegmentLength = value;
      break;
    }
  }
  Cancelled = false;
  accept();
}

// ---- TScaleForm ----

TScaleForm::TScaleForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ScaleForm"));
  setWindowTitle(QStringLiteral("Scaling"));
  factorEdit_ = NumberEdit("FactorEdit", "1");
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Scale length and segments by")));
  row->addWidget(factorEdit_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addLayout(OkCancelRow(this, [this] { OKButtonClick(); }));
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TScaleForm::Execute() {
  Cancelled = true;
  Factor = 1;
  factorEdit_->setText(QString::fromStdString(fe::FormatGeneral(Factor, qt::DecimalSeparator())));
  exec();
  return !Cancelled;
}

void TScaleForm::OKButtonClick() {
  double value = 0;
  if (!qt::GetEditFloat(factorEdit_, value, Factor)) return;
  if (value <= 0) {
    qt::ShowError("Factor must be greater than zero");
    qt::FocusControl(factorEdit_);
    return;
  }
  Factor = value;
  Cancelled = false;
  accept();
}

}  // namespace kirmel::gui
