#include "frontend/viewer/windows/CompareSetup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/Comparison.h"
#include "frontend/viewer/windows/CompareGraph.h"
#include "frontend/viewer/windows/GraphWindow.h"
#include "frontend/viewer/windows/PickLists.h"
#include "frontend/viewer/windows/ReadProgress.h"

namespace kirmel::viewer {

void TChoiceRow::SetEnabled(bool enabled) {
  Label->setEnabled(enabled);
  Edit->setEnabled(enabled);
  Button->setEnabled(enabled);
}

void TChoiceRow::SetText(const std::string& text) {
  Edit->setText(QString::fromStdString(text));
  Edit->setCursorPosition(0);
}

TFrmCompareSetup::TFrmCompareSetup(QWidget* owner, fe::TComparison& comparison,
                                   const char* formName, const char* caption)
    : QDialog(owner), comparison_(comparison), radioGroupType_(new QButtonGroup(this)) {
  // The comparison is a member of the dialog made from this one: it is not
  // built yet and must not be used here.
  setObjectName(QString::fromLatin1(formName));
  setWindowTitle(QString::fromLatin1(caption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  // Nothing is chosen at first: the boxes stay off until a kind is picked.
  auto* kinds = new QGroupBox(QStringLiteral("Compare:"));
  kinds->setObjectName(QStringLiteral("RadioGroupType"));
  auto* kindItems = new QHBoxLayout(kinds);
  const char* items[] = {"Two runs", "Run with measured data"};
  for (int i = 0; i < 2; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(items[i]));
    radio->setObjectName(QStringLiteral("RadioGroupTypeItem%1").arg(i));
    radioGroupType_->addButton(radio, i);
    kindItems->addWidget(radio);
  }
  kindItems->addStretch();
  connect(radioGroupType_, &QButtonGroup::idClicked, this,
          qt::GuardedSlot([this](int id) { RadioGroupTypeClick(id); }));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(kinds);
  for (int r = 1; r <= 2; ++r) {
    auto* box = new QGroupBox(QStringLiteral("Run%1:").arg(r));
    box->setObjectName(QStringLiteral("GrpBoxRun%1").arg(r));
    grpRun_[r - 1] = box;
    runGrid_[r - 1] = new QGridLayout(box);
    runGrid_[r - 1]->setColumnStretch(1, 1);
    name_[r - 1] = AddRow(runGrid_[r - 1], "Name:", QStringLiteral("LblNameRun%1").arg(r),
                          QStringLiteral("EdtNameRun%1").arg(r),
                          QStringLiteral("BtnChangeNameRun%1").arg(r),
                          [this, r] { BtnChangeNameRunClick(r); });
    layout->addWidget(box);
  }

  grpMeasured_ = new QGroupBox(QStringLiteral("Measured data:"));
  grpMeasured_->setObjectName(QStringLiteral("GrpBoxMeasured"));
  auto* measured = new QVBoxLayout(grpMeasured_);
  measuredGrid_ = new QGridLayout;
  measuredGrid_->setColumnStretch(1, 1);
  measured->addLayout(measuredGrid_);
  fileName_ = AddRow(measuredGrid_, "Filename:", QStringLiteral("Label1"),
                     QStringLiteral("EdtFilename"), QStringLiteral("BtnChangeFilename"),
                     [this] { BtnChangeFilenameClick(); });
  standDevs_ = new QCheckBox(QStringLiteral("Include standard deviations"));
  standDevs_->setObjectName(QStringLiteral("ChckStandDevs"));
  connect(standDevs_, &QCheckBox::toggled, this,
          [this](bool checked) { comparison_.StandardDeviations = checked; });
  measured->addWidget(standDevs_);
  layout->addWidget(grpMeasured_);

  QPushButton* view = qt::NewButton(QStringLiteral("View"), QStringLiteral("BitBtnView"));
  QPushButton* close = qt::NewButton(QStringLiteral("Close"), QStringLiteral("BitBtnClose"));
  connect(view, &QPushButton::clicked, this, qt::GuardedSlot([this] { BitBtnViewClick(); }));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(view);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TChoiceRow TFrmCompareSetup::AddRow(QGridLayout* grid, const char* caption,
                                    const QString& labelName, const QString& editName,
                                    const QString& buttonName, std::function<void()> handler) {
  TChoiceRow row;
  row.Label = new QLabel(QString::fromLatin1(caption));
  row.Label->setObjectName(labelName);
  row.Edit = new QLineEdit;
  row.Edit->setObjectName(editName);
  row.Edit->setReadOnly(true);
  row.Edit->setMinimumWidth(340);
  row.Label->setBuddy(row.Edit);
  row.Button = qt::NewButton(QStringLiteral("..."), buttonName);
  row.Button->setFixedWidth(row.Button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  connect(row.Button, &QPushButton::clicked, this, qt::GuardedSlot(std::move(handler)));
  const int at = grid->rowCount() == 1 && !grid->itemAtPosition(0, 0) ? 0 : grid->rowCount();
  grid->addWidget(row.Label, at, 0);
  grid->addWidget(row.Edit, at, 1);
  grid->addWidget(row.Button, at, 2);
  return row;
}

void TFrmCompareSetup::AddNodeRow(int r) {
  node_[r - 1] = AddRow(runGrid_[r - 1], "Node:", QStringLiteral("LblNodeRun%1").arg(r),
                        QStringLiteral("EdtNodeRun%1").arg(r),
                        QStringLiteral("BtnChangeNodeRun%1").arg(r),
                        [this, r] { BtnChangeNodeRunClick(r); });
}

void TFrmCompareSetup::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_ || event->spontaneous()) return;
  shown_ = true;
  // One column of labels through all boxes, so the edits line up.
  int labels = 0;
  for (QGridLayout* grid : {runGrid_[0], runGrid_[1], measuredGrid_})
    for (int row = 0; row < grid->rowCount(); ++row)
      if (QLayoutItem* item = grid->itemAtPosition(row, 0); item && item->widget())
        labels = std::max(labels, item->widget()->sizeHint().width());
  for (QGridLayout* grid : {runGrid_[0], runGrid_[1], measuredGrid_})
    grid->setColumnMinimumWidth(0, labels);
  if (!read_) WithProgress([this] { FormShow(); });
  UpdateControls();
}

int TFrmCompareSetup::exec() {
  if (!shown_) {
    if (!WithProgress([this] { FormShow(); })) return QDialog::Rejected;
    read_ = true;
  }
  return QDialog::exec();
}

bool TFrmCompareSetup::WithProgress(const std::function<void()>& choice) {
  TWaitCursor wait;
  bool done = false;
  QWidget* over = isVisible() || !parentWidget() ? this : parentWidget();
  qt::Guarded([&] {
    done = ReadWithProgress(over, comparison_.Progress, [&] {
      choice();
      return true;
    });
  });
  return done;
}

void TFrmCompareSetup::UpdateControls() {
  const fe::TComparison& c = comparison_;
  for (int r = 1; r <= 2; ++r) {
    grpRun_[r - 1]->setEnabled(c.RunBoxEnabled(r));
    name_[r - 1].SetText(c.NameText(r));
    node_[r - 1].SetText(c.NodeText(r));
    node_[r - 1].SetEnabled(c.NodeRowEnabled(r));
  }
  grpMeasured_->setEnabled(c.MeasuredBoxEnabled());
  fileName_.SetText(c.FileNameText());
}

int TFrmCompareSetup::ComparisonIndex() const { return radioGroupType_->checkedId(); }

void TFrmCompareSetup::RadioGroupTypeClick(int index) {
  if (QAbstractButton* b = radioGroupType_->button(index)) b->setChecked(true);
  comparison_.SetKind(index == 0   ? fe::TComparisonKind::TwoRuns
                      : index == 1 ? fe::TComparisonKind::Measured
                                   : fe::TComparisonKind::None);
  UpdateControls();
}

void TFrmCompareSetup::BtnChangeNameRunClick(int r) {
  const std::optional<std::string> dir =
      qt::TheDialogs().BrowseFolder("Select run", comparison_.RunsDir(), false);
  if (!dir) return;
  std::string problem;
  WithProgress([&] { problem = comparison_.ChangeRun(r, *dir); });
  if (!problem.empty()) qt::ShowError(problem);
  UpdateControls();
}

void TFrmCompareSetup::BtnChangeNodeRunClick(int r) {
  const int i = SelectNode(this, comparison_.NodeLines(r));
  if (i > 0) WithProgress([&] { comparison_.ChooseNode(r, i); });
  UpdateControls();
}

void TFrmCompareSetup::BtnChangeFilenameClick() {
  qt::TFileDialogOptions options;
  options.Filter = "Data files (*.dat)|*.dat";
  const std::optional<std::string> file = qt::TheDialogs().OpenFile(options);
  if (!file) return;
  std::string problem;
  WithProgress([&] { problem = comparison_.ChangeMeasuredFile(*file); });
  if (!problem.empty()) qt::ShowError(problem);
  UpdateControls();
}

void TFrmCompareSetup::BitBtnViewClick() {
  const int type = comparison_.GraphType();
  if (type != fe::kWaterLayerComparison && type != fe::kSedimentComparison) return;
  comparison_.StandardDeviations = standDevs_->isChecked();
  if (const std::string problem = comparison_.CheckView(); !problem.empty()) {
    qt::ShowError(problem);
    return;
  }
  TFrmCompareGraph graph(this);
  graph.GraphTitle = comparison_.GraphTitle;
  graph.RunDir = comparison_.RunDir1();
  graph.CompareChart() = comparison_.View();
  graph.exec();
}

}  // namespace kirmel::viewer
