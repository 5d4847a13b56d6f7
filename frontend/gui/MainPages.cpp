// Building the pages of the main window.
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "frontend/gui/MainForm.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::gui {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

QLabel* Label(const char* text, const char* name = nullptr) {
  auto* label = new QLabel(Text(text));
  if (name) label->setObjectName(QString::fromLatin1(name));
  return label;
}

QGroupBox* Group(const char* title, QLayout* layout) {
  auto* group = new QGroupBox(Text(title));
  group->setLayout(layout);
  return group;
}

// A page whose content sits at the top, with the rest of the space below.
QWidget* Page(const char* name, QLayout* content) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(content);
  layout->addStretch(1);
  return page;
}

// Gives the label column of field grids that share a page one width, so
// that their fields line up.
void AlignLabels(std::initializer_list<QGridLayout*> grids) {
  int width = 0;
  for (QGridLayout* grid : grids)
    for (int row = 0; row < grid->rowCount(); ++row)
      if (QLayoutItem* item = grid->itemAtPosition(row, 0))
        if (item->widget() && grid->columnCount() > 1 && grid->itemAtPosition(row, 1))
          width = std::max(width, item->widget()->sizeHint().width());
  for (QGridLayout* grid : grids) grid->setColumnMinimumWidth(0, width);
}

// Rows as high as their text.
void CompactRows(qt::TStringGrid* grid) {
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
}

QGridLayout* FieldGrid() {
  auto* grid = new QGridLayout;
  grid->setColumnStretch(3, 1);
  grid->setHorizontalSpacing(8);
  return grid;
}

}  // namespace

QLineEdit* TMainForm::AddEdit(QGridLayout* grid, int row, const char* label, const char* name,
                              const char* unit) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFixedWidth(110);
  grid->addWidget(Label(label), row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(Label(unit), row, 2);
  return edit;
}

QLineEdit* TMainForm::AddNumericField(QGridLayout* grid, int row, const char* label,
                                      const char* name, const char* unit,
                                      std::function<double()> get,
                                      std::function<void(double)> set) {
  QLineEdit* edit = AddEdit(grid, row, label, name, unit);
  fields_.push_back({edit, std::move(get), std::move(set)});
  const std::size_t index = fields_.size() - 1;
  commits_.Register(edit, [this, index] { return NumericFieldExit(fields_[index]); });
  return edit;
}

QPushButton* TMainForm::Button(const char* caption, const char* name,
                               void (TMainForm::*handler)()) {
  auto* button = new QPushButton(Text(caption));
  button->setObjectName(QString::fromLatin1(name));
  connect(button, &QPushButton::clicked, this, [h = Handler(handler)] { h(); });
  return button;
}

void TMainForm::BuildPages() {
  pageControlMain_ = new QTabWidget;
  pageControlMain_->setObjectName(QStringLiteral("PageControlMain"));
  pageControlMain_->addTab(BuildKirmelPage(), QStringLiteral("KIRMEL"));

  pageControlScenario_ = new QTabWidget;
  pageControlScenario_->setObjectName(QStringLiteral("PageControlScenario"));
  pageControlScenario_->addTab(BuildWaterbodyPage(), QStringLiteral("Waterbody"));
  pageControlScenario_->addTab(BuildHydrologyPage(), QStringLiteral("Hydrology"));
  pageControlScenario_->addTab(BuildInitialisationPage(), QStringLiteral("Initialisation"));
  pageControlScenario_->addTab(BuildSimulationPage(), QStringLiteral("Simulation"));
  pageControlScenario_->addTab(BuildOutputPage(), QStringLiteral("Output"));
  auto* scenario = new QWidget;
  scenario->setObjectName(QStringLiteral("PageScenario"));
  (new QVBoxLayout(scenario))->addWidget(pageControlScenario_);
  pageControlMain_->addTab(scenario, QStringLiteral("Scenario"));

  pageControlPesticide_ = new QTabWidget;
  pageControlPesticide_->setObjectName(QStringLiteral("PageControlPesticide"));
  pageControlPesticide_->addTab(BuildTransformationPage(), QStringLiteral("Transformation"));
  pageControlPesticide_->addTab(BuildSorptionPage(), QStringLiteral("Sorption"));
  pageControlPesticide_->addTab(BuildVolatilizationPage(), QStringLiteral("Volatilization"));
  pageControlPesticide_->addTab(BuildLoadingPage(), QStringLiteral("Loading"));
  auto* pesticide = new QWidget;
  pesticide->setObjectName(QStringLiteral("PagePesticide"));
  (new QVBoxLayout(pesticide))->addWidget(pageControlPesticide_);
  pageControlMain_->addTab(pesticide, QStringLiteral("Pesticide"));

  setCentralWidget(pageControlMain_);
}

QWidget* TMainForm::BuildKirmelPage() {
  auto nameGroup = [this](const char* title, const char* nameEdit, QLineEdit*& edit,
                          const char* prefix, void (TMainForm::*onNew)(),
                          void (TMainForm::*onSelect)(), void (TMainForm::*onSave)(),
                          void (TMainForm::*onSaveAs)()) {
    auto* grid = new QGridLayout;
    edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(nameEdit));
    edit->setReadOnly(true);
    grid->addWidget(Label("Name:"), 0, 0);
    grid->addWidget(edit, 0, 1, 1, 4);
    grid->setColumnStretch(5, 1);
    const std::string p = prefix;
    grid->addWidget(Button("New", ("New" + p + "Button").c_str(), onNew), 1, 1);
    grid->addWidget(Button("Select", ("Select" + p + "Button").c_str(), onSelect), 1, 2);
    grid->addWidget(Button("Save", ("Save" + p + "Button").c_str(), onSave), 1, 3);
    grid->addWidget(Button("SaveAs", ("SaveAs" + p + "Button").c_str(), onSaveAs), 1, 4);
    return Group(title, grid);
  };

  auto* run = new QVBoxLayout;
  run->addWidget(Label("A run is a combination of a scenario and a pesticide"));
  auto* names = new QVBoxLayout;
  names->addWidget(nameGroup("Scenario", "EdtNameScenario", edtNameScenario_, "Scenario",
                             &TMainForm::NewScenarioClick, &TMainForm::SelectScenarioClick,
                             &TMainForm::SaveScenarioClick, &TMainForm::SaveAsScenarioClick));
  names->addWidget(nameGroup("Pesticide", "EdtNamePesticide", edtNamePesticide_, "Pesticide",
                             &TMainForm::NewPesticideClick, &TMainForm::SelectPesticideClick,
                             &TMainForm::SavePesticideClick, &TMainForm::SaveAsPesticideClick));
  run->addLayout(names);
  auto* runButtons = new QHBoxLayout;
  runButtons->addWidget(Button("Run KIRMEL", "RunKirmelButton", &TMainForm::RunKirmelButtonClick));
  runButtons->addWidget(Button("View output", "GraphButton", &TMainForm::GraphButtonClick));
  runButtons->addStretch(1);
  run->addLayout(runButtons);

  auto* batch = new QHBoxLayout;
  batch->addWidget(Button("Save run - for running in batch", "BitBtnSaveRun",
                          &TMainForm::BitBtnSaveRunClick));
  batch->addWidget(
      Button("Create batchfile", "BitBtnCreateBatch", &TMainForm::BitBtnCreateBatchClick));
  batch->addWidget(Button("Run batchfile", "BitBtnRunBatch", &TMainForm::BitBtnRunBatchClick));
  batch->addStretch(1);

  auto* exit = new QHBoxLayout;
  exit->addStretch(1);
  exit->addWidget(Button("Exit GUI", "ExitButton", &TMainForm::ExitButtonClick));

  auto* content = new QVBoxLayout;
  content->addWidget(Group("Run", run));
  content->addWidget(Group("Batch", batch));
  content->addSpacing(12);
  content->addLayout(exit);
  return Page("PageKirmel", content);
}

QWidget* TMainForm::BuildWaterbodyPage() {
  auto* shape = FieldGrid();
  AddNumericField(shape, 0, "Depth def. perimeter", "Depth", "m",
                  [this] { return Data().Metrics().WaterDepth(); },
                  [this](double v) { Data().Metrics().SetWaterDepth(v); });
  AddNumericField(shape, 1, "Bottom width", "Width", "m",
                  [this] { return Data().Metrics().BottomWidth(); },
                  [this](double v) { Data().Metrics().SetBottomWidth(v); });
  AddNumericField(shape, 2, "Side slope (hor/ver)", "SideSlope", "",
                  [this] { return Data().Metrics().SideSlope(); },
                  [this](double v) { Data().Metrics().SetSideSlope(v); });
  ditchLengthLabel2_ = Label("", "DitchLengthLabel2");
  shape->addWidget(ditchLengthLabel2_, 3, 0, 1, 3);

  auto* solids = FieldGrid();
  AddNumericField(solids, 0, "Conc. suspended solids", "WCConcSuspSolids", "g/m³",
                  [this] { return Data().Ditch().SuspendedSolids(); },
                  [this](double v) { Data().Ditch().SetSuspendedSolids(v); });
  AddNumericField(solids, 1, "Mass ratio organic matter", "WCMassRatioOM", "",
                  [this] { return Data().Ditch().MassRatioOM(); },
                  [this](double v) { Data().Ditch().SetMassRatioOM(v); });

  auto* macrophytes = FieldGrid();
  AddNumericField(macrophytes, 0, "Dry weight", "DryWeightMacro", "g/m²",
                  [this] { return Data().Ditch().Macrophytes(); },
                  [this](double v) { Data().Ditch().SetMacrophytes(v); });

  auto segmentGroup = [this](const char* title, const char* lengthCaption, QLabel*& length,
                             const char* lengthName, QLabel*& nodes, const char* nodesName,
                             const char* buttonName, void (TMainForm::*onEdit)()) {
    auto* grid = new QGridLayout;
    length = Label("", lengthName);
    nodes = Label("", nodesName);
    grid->addWidget(Label(lengthCaption), 0, 0);
    grid->addWidget(length, 0, 1);
    grid->addWidget(Label("Segments"), 1, 0);
    grid->addWidget(nodes, 1, 1);
    grid->addWidget(Button("Edit...", buttonName, onEdit), 2, 0);
    grid->setColumnStretch(1, 1);
    return Group(title, grid);
  };

  AlignLabels({shape, solids, macrophytes});
  auto* left = new QVBoxLayout;
  left->addWidget(Group("Cross-section", shape));
  left->addWidget(Group("Suspended solids", solids));
  left->addWidget(Group("Macrophytes", macrophytes));
  auto* right = new QVBoxLayout;
  right->addWidget(segmentGroup("Water layer segments", "Length waterbody", ditchLengthLabel_,
                                "DitchLengthLabel", ditchNodesLabel_, "DitchNodesLabel",
                                "EditDitchButton", &TMainForm::EditDitchButtonClick));
  right->addWidget(segmentGroup("Sediment segments", "Thickness", sedimentLengthLabel_,
                                "SedimentLengthLabel", sedimentNodesLabel_, "SedimentNodesLabel",
                                "EditSedimentButton", &TMainForm::EditSedimentButtonClick));
  right->addStretch(1);
  auto* content = new QHBoxLayout;
  content->addLayout(left, 3);
  content->addLayout(right, 2);
  return Page("PageDitch", content);
}

QWidget* TMainForm::BuildHydrologyPage() {
  auto* grid = FieldGrid();
  AddNumericField(grid, 0, "Flow velocity waterbody", "ConstantFlow", "m/d",
                  [this] { return Data().Hydrology().FlowVelocity(); },
                  [this](double v) { Data().Hydrology().SetFlowVelocity(v); });
  AddNumericField(grid, 1, "Water depth waterbody", "ConstantHeight", "m",
                  [this] { return Data().Hydrology().WaterHeight(); },
                  [this](double v) { Data().Hydrology().SetWaterHeight(v); });
  AddNumericField(grid, 2, "Dispersion coefficient in water", "DispersionCoef", "m²/d",
                  [this] { return Data().Hydrology().DispersionCoefficient(); },
                  [this](double v) { Data().Hydrology().SetDispersionCoefficient(v); });
  AddNumericField(grid, 3, "Dispersion length in sediment", "DispersionLength", "m",
                  [this] { return Data().Sediment().DispersionLength(); },
                  [this](double v) { Data().Sediment().SetDispersionLength(v); });
  AddNumericField(grid, 4, "Temperature in water and sediment", "EdtWaterSedimentTemp", "ºC",
                  [this] { return Data().Hydrology().Temperature(); },
                  [this](double v) { Data().Hydrology().SetTemperature(v); });

  auto* seepage = FieldGrid();
  AddNumericField(seepage, 0, "Seepage", "EdtSeepage", "mm/d",
                  [this] { return Data().Hydrology().Seepage(); },
                  [this](double v) { Data().Hydrology().SetSeepage(v); });
  AddNumericField(seepage, 1, "Concentration", "EdtConcentration", "mg/L",
                  [this] { return Data().Hydrology().IncomingConcentration(); },
                  [this](double v) { Data().Hydrology().SetIncomingConcentration(v); });

  AlignLabels({grid, seepage});
  auto* content = new QVBoxLayout;
  content->addWidget(Group("Waterbody", grid));
  content->addWidget(
      Group("Upward seepage and concentration pesticide in incoming water", seepage));
  return Page("PageHydrology", content);
}

QWidget* TMainForm::BuildInitialisationPage() {
  icDitchRadio_ = new QRadioButton(QStringLiteral("Water layer"));
  icDitchRadio_->setObjectName(QStringLiteral("ICDitchRadio"));
  icDitchRadio_->setChecked(true);
  icSedimentRadio_ = new QRadioButton(QStringLiteral("Sediment"));
  icSedimentRadio_->setObjectName(QStringLiteral("ICSedimentRadio"));
  for (QRadioButton* radio : {icDitchRadio_, icSedimentRadio_})
    connect(radio, &QRadioButton::clicked, this, [this] { qt::Guarded([this] { ICRadioClick(); }); });
  auto* radios = new QHBoxLayout;
  radios->addWidget(icDitchRadio_);
  radios->addWidget(icSedimentRadio_);
  radios->addStretch(1);

  strGridICSegments_ = new qt::TStringGrid(1, 1);
  strGridICSegments_->setObjectName(QStringLiteral("StrGridICSegments"));
  strGridICSegments_->SetColCount(2);
  strGridICSegments_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  strGridICSegments_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
  strGridICSegments_->setColumnWidth(
      0, strGridICSegments_->fontMetrics().horizontalAdvance(QString(24, QChar('0'))));
  strGridICSegments_->horizontalHeader()->setStretchLastSection(true);
  CompactRows(strGridICSegments_);
  commits_.Register(strGridICSegments_, [this] { return StrGridICSegmentsExit(); });

  auto* setAll = new QHBoxLayout;
  setAll->addWidget(Label("Initial concentration"));
  initialConcEdit_ = new QLineEdit(QStringLiteral("0"));
  initialConcEdit_->setObjectName(QStringLiteral("InitialConcEdit"));
  initialConcEdit_->setFixedWidth(110);
  setAll->addWidget(initialConcEdit_);
  setAll->addWidget(Label("µg/L"));
  setAll->addWidget(Button("Set all", "SetAllButton", &TMainForm::SetAllButtonClick));
  setAll->addStretch(1);

  auto* segments = new QVBoxLayout;
  segments->addLayout(radios);
  segments->addWidget(strGridICSegments_, 1);
  segments->addLayout(setAll);
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("PageInitialisation"));
  (new QVBoxLayout(page))->addWidget(Group("Segments", segments));
  return page;
}

QWidget* TMainForm::BuildSimulationPage() {
  auto* time = FieldGrid();
  ttDays_ = AddEdit(time, 0, "Total time", "TTDays", "d");
  commits_.Register(ttDays_, [this] { return TTDaysExit(); });
  timestepColumn_ = AddEdit(time, 1, "Calculation time step", "TimestepColumn", "s");
  commits_.Register(timestepColumn_, [this] { return TimestepColumnExit(); });

  auto* output = FieldGrid();
  AddNumericField(output, 0, "Time interval of output", "EdtOutputInterval", "d",
                  [this] { return Data().OutputTimestep(); },
                  [this](double v) { Data().SetOutputTimestep(v); });

  auto list = [](const char* name) {
    auto* box = new QListWidget;
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    return box;
  };
  outputList_ = list("OutputList");
  remainingList_ = list("RemainingList");
  connect(outputList_, &QListWidget::itemDoubleClicked, this,
          [h = Handler(&TMainForm::HideButtonClick)] { h(); });
  connect(remainingList_, &QListWidget::itemDoubleClicked, this,
          [h = Handler(&TMainForm::ShowButtonClick)] { h(); });
  auto column = [](const char* heading, QListWidget* box) {
    auto* layout = new QVBoxLayout;
    layout->addWidget(Label(heading));
    auto* header = new QLabel(QStringLiteral("Segment  position (m)"));
    header->setFont(box->font());
    layout->addWidget(header);
    layout->addWidget(box, 1);
    return layout;
  };
  auto* buttons = new QVBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button("Show", "ShowButton", &TMainForm::ShowButtonClick));
  buttons->addWidget(Button("Hide", "HideButton", &TMainForm::HideButtonClick));
  buttons->addStretch(1);
  auto* segments = new QHBoxLayout;
  segments->addLayout(column("Selected", outputList_), 1);
  segments->addLayout(buttons);
  segments->addLayout(column("Remaining", remainingList_), 1);

  AlignLabels({time, output});
  auto* top = new QHBoxLayout;
  top->addWidget(Group("Time", time));
  top->addWidget(Group("Output time", output));
  auto* content = new QVBoxLayout;
  content->addLayout(top);
  content->addWidget(Group("Output segments", segments), 1);
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("PageSimulation"));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(content);
  return page;
}

QWidget* TMainForm::BuildOutputPage() {
  auto box = [this](const char* caption, const char* name, bool fe::TSettings::*sw) {
    auto* check = new QCheckBox(Text(caption));
    check->setObjectName(QString::fromLatin1(name));
    outputBoxes_.push_back({check, sw});
    connect(check, &QCheckBox::clicked, this, [this, check] {
      qt::Guarded([&] { OutputBoxClick(check); });
    });
    return check;
  };
  auto heading = [this](const char* text) {
    QLabel* label = Label(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    outputHeadings_.push_back(label);
    return label;
  };

  auto* grid = new QGridLayout;
  grid->addWidget(Label("Select which output should be generated by the simulation"), 0, 0, 1, 2);
  grid->addWidget(heading("Initial calculations"), 1, 0);
  grid->addWidget(box("Echo of input", "ofEcho", &fe::TSettings::op_input), 2, 0);
  grid->addWidget(box("Water layer and hydrology", "ofInitCalcWl", &fe::TSettings::op_icwlhy), 3, 0);
  grid->addWidget(box("Sediment", "ofInitCalcSed", &fe::TSettings::op_icwb), 4, 0);

  auto* concHeading = new QHBoxLayout;
  concHeading->addWidget(heading("Concentrations"));
  outputNote_ = Label("(includes exposure concentrations)");
  concHeading->addWidget(outputNote_);
  concHeading->addStretch(1);
  grid->addLayout(concHeading, 1, 1);
  grid->addWidget(box("Selected segment water layer in time", "ofConcWLSegment",
                      &fe::TSettings::op_ecnodenr), 2, 1);
  grid->addWidget(box("Selected sediment subsystem in time", "ofConcSed",
                      &fe::TSettings::op_wbsconodenr), 3, 1);

  grid->addWidget(heading("Distributions"), 6, 0);
  grid->addWidget(box("Substance at selected location", "ofDistributionWL",
                      &fe::TSettings::op_dbnodenr), 7, 0);
  grid->addWidget(box("Substance in total waterbody", "ofDistributionSed",
                      &fe::TSettings::op_dbdit), 8, 0);

  grid->addWidget(heading("Mass balances"), 6, 1);
  grid->addWidget(box("Water layer", "ofMassBalanceWL", &fe::TSettings::op_wlmb), 7, 1);
  grid->addWidget(box("Selected segment water layer", "ofMassBalanceSegment",
                      &fe::TSettings::op_wlmbnodenr), 8, 1);
  grid->addWidget(box("Sediment", "ofMassBalanceAllSed", &fe::TSettings::op_wbmball), 9, 1);
  grid->addWidget(box("Selected sediment subsystem", "ofMassBalanceSed",
                      &fe::TSettings::op_wbmbnodenr), 10, 1);
  grid->setRowMinimumHeight(5, 12);
  grid->setRowMinimumHeight(11, 12);

  ofNeeded_ = new QCheckBox(QStringLiteral("Needed for viewing output with GUI"));
  ofNeeded_->setObjectName(QStringLiteral("ofNeeded"));
  ofNeeded_->setChecked(true);
  connect(ofNeeded_, &QCheckBox::clicked, this, [h = Handler(&TMainForm::NeededClick)] { h(); });
  ofAll_ = new QCheckBox(QStringLiteral("All"));
  ofAll_->setObjectName(QStringLiteral("ofAll"));
  connect(ofAll_, &QCheckBox::clicked, this, [h = Handler(&TMainForm::AllClick)] { h(); });
  grid->addWidget(ofNeeded_, 12, 0, 1, 2);
  grid->addWidget(ofAll_, 13, 0, 1, 2);

  auto* content = new QVBoxLayout;
  content->addWidget(Group("KIRMEL output files", grid));
  return Page("PageOutput", content);
}

QWidget* TMainForm::BuildTransformationPage() {
  auto* grid = FieldGrid();
  AddNumericField(grid, 0, "Half-life for transformation in water at 20 ºC", "WCHalfLife", "d",
                  [this] { return Data().Solids().HalfLifeWater(); },
                  [this](double v) { Data().Solids().SetHalfLifeWater(v); });
  AddNumericField(grid, 1, "Half-life for transformation in sediment at 20 ºC", "SedHalfLife",
                  "d", [this] { return Data().Solids().HalfLifeSediment(); },
                  [this](double v) { Data().Solids().SetHalfLifeSediment(v); });
  AddNumericField(grid, 2, "Activation energy for transformation rate",
                  "EdtActEnergyTransformation", "J/mol",
                  [this] { return Data().Solids().ActivationEnergy(); },
                  [this](double v) { Data().Solids().SetActivationEnergy(v); });
  auto* content = new QVBoxLayout;
  content->addWidget(Group("Transformation", grid));
  return Page("PageTransformation", content);
}

QWidget* TMainForm::BuildSorptionPage() {
  auto* solids = FieldGrid();
  AddNumericField(solids, 0, "Sorption coefficient (organic matter)", "WCSorptionIsotherm",
                  "L/kg", [this] { return Data().Solids().SorptionSuspendedSolids(); },
                  [this](double v) { Data().Solids().SetSorptionSuspendedSolids(v); });
  AddNumericField(solids, 1, "Concentration at which it was observed", "WCConcPest", "mg/L",
                  [this] { return Data().Solids().ConcentrationSuspendedSolids(); },
                  [this](double v) { Data().Solids().SetConcentrationSuspendedSolids(v); });
  AddNumericField(solids, 2, "Freundlich exponent", "WCFreundlich", "",
                  [this] { return Data().Solids().FreundlichSuspendedSolids(); },
                  [this](double v) { Data().Solids().SetFreundlichSuspendedSolids(v); });

  auto* macrophytes = FieldGrid();
  AddNumericField(macrophytes, 0, "Sorption coefficient", "SorptionIsothermMacro", "L/kg",
                  [this] { return Data().Solids().SorptionMacrophytes(); },
                  [this](double v) { Data().Solids().SetSorptionMacrophytes(v); });

  auto* sediment = FieldGrid();
  AddNumericField(sediment, 0, "Sorption coefficient (organic matter)", "SedSorptionIsotherm",
                  "L/kg", [this] { return Data().Solids().SorptionSediment(); },
                  [this](double v) { Data().Solids().SetSorptionSediment(v); });
  AddNumericField(sediment, 1, "Concentration at which it was observed", "SedConcPest", "mg/L",
                  [this] { return Data().Solids().ConcentrationSediment(); },
                  [this](double v) { Data().Solids().SetConcentrationSediment(v); });
  AddNumericField(sediment, 2, "Freundlich exponent", "SedFreundlich", "",
                  [this] { return Data().Solids().FreundlichSediment(); },
                  [this](double v) { Data().Solids().SetFreundlichSediment(v); });

  AlignLabels({solids, macrophytes, sediment});
  auto* content = new QVBoxLayout;
  content->addWidget(Group("Suspended solids", solids));
  content->addWidget(Group("Macrophytes", macrophytes));
  content->addWidget(Group("Sediment", sediment));
  return Page("PageSorption", content);
}

QWidget* TMainForm::BuildVolatilizationPage() {
  auto* gas = FieldGrid();
  AddNumericField(gas, 0, "Saturated gas pressure", "SatGasPressure", "Pa",
                  [this] { return Data().Solids().SaturatedVapourPressure(); },
                  [this](double v) { Data().Solids().SetSaturatedVapourPressure(v); });
  AddNumericField(gas, 1, "Measured at temperature", "EdtGasPressureTemp", "ºC",
                  [this] { return Data().Solids().VapourPressureTemperature(); },
                  [this](double v) { Data().Solids().SetVapourPressureTemperature(v); });
  AddNumericField(gas, 2, "Molar enthalpy of vaporization", "EdtEnthalpyVaporization", "J/mol",
                  [this] { return Data().Solids().EnthalpyVaporisation(); },
                  [this](double v) { Data().Solids().SetEnthalpyVaporisation(v); });

  auto* solubility = FieldGrid();
  AddNumericField(solubility, 0, "Solubility in water", "Solubility", "g/L",
                  [this] { return Data().Solids().Solubility(); },
                  [this](double v) { Data().Solids().SetSolubility(v); });
  AddNumericField(solubility, 1, "Measured at temperature", "EdtSolubilityTemp", "ºC",
                  [this] { return Data().Solids().SolubilityTemperature(); },
                  [this](double v) { Data().Solids().SetSolubilityTemperature(v); });
  AddNumericField(solubility, 2, "Molar enthalpy of solution", "EdtEnthalpySolution", "J/mol",
                  [this] { return Data().Solids().EnthalpyDissolution(); },
                  [this](double v) { Data().Solids().SetEnthalpyDissolution(v); });

  auto* exchange = FieldGrid();
  AddNumericField(exchange, 0, "- liquid phase", "TCLiquid", "m/d",
                  [this] { return Data().Solids().TransportCoefficientLiquid(); },
                  [this](double v) { Data().Solids().SetTransportCoefficientLiquid(v); });
  AddNumericField(exchange, 1, "- gas phase", "TCGas", "m/d",
                  [this] { return Data().Solids().TransportCoefficientGas(); },
                  [this](double v) { Data().Solids().SetTransportCoefficientGas(v); });

  auto* other = FieldGrid();
  AddNumericField(other, 0, "Molecular mass", "MolecularMass", "g/mol",
                  [this] { return Data().Solids().MolecularMass(); },
                  [this](double v) { Data().Solids().SetMolecularMass(v); });
  AddNumericField(other, 1, "Diffusion coefficient in water", "DiffusionCoef", "mm²/d",
                  [this] { return Data().Solids().DiffusionCoefficient(); },
                  [this](double v) { Data().Solids().SetDiffusionCoefficient(v); });

  AlignLabels({gas, solubility});
  AlignLabels({exchange, other});
  auto* left = new QVBoxLayout;
  left->addWidget(Group("Saturated gas pressure", gas));
  left->addWidget(Group("Solubility", solubility));
  auto* right = new QVBoxLayout;
  right->addWidget(Group("Exchange coefficient pesticide in", exchange));
  right->addWidget(Group("Other", other));
  right->addStretch(1);
  auto* content = new QHBoxLayout;
  content->addLayout(left);
  content->addLayout(right);
  return Page("PageVolatilization", content);
}

QWidget* TMainForm::BuildLoadingPage() {
  strGridDriftLoadings_ = new qt::TStringGrid(1, 0);
  strGridDriftLoadings_->setObjectName(QStringLiteral("StrGridDriftLoadings"));
  strGridDriftLoadings_->SetColCount(4);
  strGridDriftLoadings_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  CompactRows(strGridDriftLoadings_);
  commits_.Register(strGridDriftLoadings_, [this] { return StrGridDriftLoadingsExit(); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button("Remove", "DriftRemoveButton", &TMainForm::DriftRemoveClick));
  buttons->addWidget(Button("Clear list", "DriftClearButton", &TMainForm::DriftClearClick));
  buttons->addWidget(Button("Insert", "DriftInsertButton", &TMainForm::DriftInsertClick));
  buttons->addStretch(1);

  auto* drift = new QVBoxLayout;
  drift->addWidget(Label("Pesticide entry into water layer"));
  drift->addWidget(strGridDriftLoadings_, 1);
  drift->addLayout(buttons);
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("PageLoading"));
  (new QVBoxLayout(page))->addWidget(Group("Drift", drift));
  return page;
}

}  // namespace kirmel::gui
