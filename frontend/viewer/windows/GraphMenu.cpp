#include "frontend/viewer/windows/GraphMenu.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "frontend/editor/Parser.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/ConcentrationGraph.h"
#include "frontend/viewer/windows/ConcentrationTimeGraph.h"
#include "frontend/viewer/windows/DistributionGraph.h"
#include "frontend/viewer/windows/MassBalanceForms.h"

namespace kirmel::viewer {

namespace {

constexpr const char* kItems[] = {
    "Concentration of pesticide in waterbody", "Concentration of pesticide in time",
    "Distribution of pesticide", "Mass balance of pesticide in water layer",
    "Mass balance of pesticide in sediment"};

std::string WithoutFinalSeparator(std::string dir) {
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

}  // namespace

TGraphMenuForm::TGraphMenuForm(QWidget* owner) : QDialog(owner), group_(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("GraphMenuForm"));
  setWindowTitle(QStringLiteral("View output"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  auto* box = new QGroupBox(QStringLiteral("Type of graph"));
  box->setObjectName(QStringLiteral("GraphTypeGroup"));
  auto* items = new QVBoxLayout(box);
  for (int i = 0; i < 5; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(kItems[i]));
    radio->setObjectName(QStringLiteral("GraphTypeItem%1").arg(i));
    group_->addButton(radio, i);
    items->addWidget(radio);
  }
  group_->button(0)->setChecked(true);

  auto* view = new QPushButton(QStringLiteral("View"));
  view->setObjectName(QStringLiteral("ViewButton"));
  view->setDefault(true);
  QPushButton* close = qt::NewButton(QStringLiteral("Close"), QStringLiteral("CloseButton"));
  connect(view, &QPushButton::clicked, this, qt::GuardedSlot([this] { ViewButtonClick(); }));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(view);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TGraphMenuForm::GraphType() const { return group_->checkedId(); }

void TGraphMenuForm::SetGraphType(int index) {
  if (QAbstractButton* b = group_->button(index)) b->setChecked(true);
}

void TGraphMenuForm::ViewButtonClick() {
  switch (GraphType()) {
    case MassBalanceWaterLayer:
      return OpenGraph<TMassBalanceWLGraphForm>();
    case MassBalanceSediment:
      return OpenGraph<TMassBalanceSedGraphForm>();
    case ConcentrationInWaterbody:
      return OpenGraph<TConcentrationGraphForm>();
    case ConcentrationInTime:
      return OpenGraph<TConcentrationTimeGraphForm>();
    case Distribution:
      return OpenGraph<TDistributionGraphForm>();
    default:
      qt::ShowError("You must first select a type of graph");
      return;
  }
}

template <class TForm>
void TGraphMenuForm::OpenGraph() {
  TForm form(this, OutputDir);
  form.SetRoot(Root);
  form.exec();
}

void OpenGraphMenu(QWidget* owner, const std::string& runDir, const std::string& root) {
  TGraphMenuForm menu(owner);
  menu.OutputDir = WithoutFinalSeparator(runDir);
  menu.Root = root;
  menu.exec();
}

void ShowReaderMessagesAsErrors() {
  fe::ProgramParser().SetMessageSink([](const std::string& message) { qt::ShowError(message); });
}

}  // namespace kirmel::viewer
