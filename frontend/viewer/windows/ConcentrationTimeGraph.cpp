#include "frontend/viewer/windows/ConcentrationTimeGraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <vector>

#include "frontend/chart/Chart.h"
#include "frontend/model/Numbers.h"
#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/StringGrid.h"
#include "frontend/viewer/ConcGraphs.h"
#include "frontend/viewer/GraphChoices.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/Compare.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/PickLists.h"
#include "frontend/viewer/windows/SeriesStyle.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

namespace {

constexpr const char* kTitle = "Concentration of pesticide in time";
constexpr const char* kRowTitles[4] = {"EC0", "TWAEC4", "TWAEC21", "TWAEC28"};

QCheckBox* CheckBox(int number, int tag) {
  auto* check = new QCheckBox(QStringLiteral("Series %1").arg(tag));
  check->setObjectName(QStringLiteral("CheckBox%1").arg(number));
  check->setProperty("Tag", tag);
  check->setChecked(true);
  return check;
}

void SetUpChart(fe::TChart& chart, const char* title, const char* leftTitle) {
  chart.Title = title;
  chart.Bottom.Title = "Time (d)";
  chart.Left.Title = leftTitle;
  chart.Left.LabelFormat = "    #,##0.###";
  chart.LegendVisible = true;
}

// Enlarges a chart of the window; `yDescription` heads the values of a
// series' table.
void EnlargeInTime(QWidget* owner, TChartPanel& panel, const char* yDescription) {
  TGraphOptions options;
  options.GraphTitle = kTitle;
  options.LegendTitle = "Distance";
  options.TableTitlePrefix = "Concentration at ";
  options.XDescription = "time (d)";
  options.YDescription = yDescription;
  EnlargeChart(owner, panel, options);
}

}  // namespace

TConcentrationTimeGraphForm::TConcentrationTimeGraphForm(QWidget* owner, std::string outputDir)
    : TGraphWindow(owner, std::move(outputDir)),
      waterLayer_(new TChartPanel(QStringLiteral("WaterLayerGraph"), QStringLiteral("SpeedButton1"))),
      sediment_(new TChartPanel(QStringLiteral("SedimentGraph"), QStringLiteral("SpeedButton3"))),
      grid_(new qt::TStringGrid(1, 1)),
      cbbMaxConc_(new QComboBox),
      markers_(new QCheckBox(QStringLiteral("Show markers"))) {
  setObjectName(QStringLiteral("ConcentrationTimeGraphForm"));
  setWindowTitle(QString::fromLatin1(kTitle));
  SetUpChart(waterLayer_->Chart, "Water layer", "Conc. in water (µg/L)");
  SetUpChart(sediment_->Chart, "Sediment", "Avg. conc. top layer (µg/L)");
  connect(waterLayer_, &TChartPanel::ZoomClicked, this, qt::GuardedSlot([this] { SpeedButton1Click(); }));
  connect(sediment_, &TChartPanel::ZoomClicked, this, qt::GuardedSlot([this] { SpeedButton3Click(); }));

  // Water-layer series: a check box and a "..." button each.
  auto* wlBoxes = new QGridLayout;
  for (int k = 1; k <= kMaxSeries; ++k) {
    QCheckBox* check = CheckBox(k, k);
    connect(check, &QCheckBox::clicked, this, qt::GuardedSlot([this, k] { CheckBoxClick(k); }));
    QPushButton* button = SelectButton(QStringLiteral("BtnSelNode%1").arg(k), k);
    connect(button, &QPushButton::clicked, this, qt::GuardedSlot([this, k] { BtnSelNodeClick(k); }));
    wlBoxes->addWidget(check, k - 1, 0);
    wlBoxes->addWidget(button, k - 1, 1);
    WLCheckBoxes[static_cast<std::size_t>(k - 1)] = check;
    NodeButtons[static_cast<std::size_t>(k - 1)] = button;
  }
  auto* sedBoxes = new QVBoxLayout;
  for (int k = 1; k <= kMaxSedimentSeries; ++k) {
    QCheckBox* check = CheckBox(9 + k, k);
    connect(check, &QCheckBox::clicked, this, qt::GuardedSlot([this, k] { SedCheckBoxClick(k); }));
    sedBoxes->addWidget(check);
    SedCheckBoxes[static_cast<std::size_t>(k - 1)] = check;
  }

  auto* label = new QLabel(QStringLiteral("Max. exposure concentrations at"));
  label->setObjectName(QStringLiteral("Label9"));
  cbbMaxConc_->setObjectName(QStringLiteral("CbbMaxConc"));
  connect(cbbMaxConc_, &QComboBox::currentIndexChanged, this,
          qt::GuardedSlot([this] { CbbMaxConcChange(); }));

  // The exposure table: a fixed heading row and column, read only.
  grid_->setObjectName(QStringLiteral("StrGridExpConc"));
  grid_->SetColCount(3);
  grid_->SetRowCount(5);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->setFocusPolicy(Qt::NoFocus);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->SetCell(1, 0, "t (d)");
  grid_->SetCell(2, 0, "conc. (µg/L)");
  for (int r = 1; r <= 4; ++r) grid_->SetCell(0, r, kRowTitles[r - 1]);
  const QFontMetrics metrics(grid_->font());
  const int widths[3] = {65, 51, 78};
  const char* widest[3] = {"TWAEC28", "t (d)", "conc. (µg/L)"};
  int gridWidth = 2 * grid_->frameWidth();
  for (int c = 0; c < 3; ++c) {
    // At least the width the texts need in the font at hand.
    const int w = std::max(widths[c], metrics.horizontalAdvance(QString::fromUtf8(widest[c])) + 16);
    grid_->setColumnWidth(c, w);
    gridWidth += w;
  }
  grid_->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
  grid_->setFixedSize(gridWidth, grid_->horizontalHeader()->sizeHint().height() +
                                     4 * (metrics.height() + 6) + 2 * grid_->frameWidth());

  markers_->setObjectName(QStringLiteral("ChckMarkers"));
  connect(markers_, &QCheckBox::clicked, this, qt::GuardedSlot([this] { ChckMarkersClick(); }));

  const auto [compareWL, compareSed] =
      CompareButtons(this, [this](int graphType) { BtnCompareClick(graphType); });

  // The two time axes line up, whatever the legends beside them.
  fe::AlignPlotAreas({waterLayer_->Plot(), sediment_->Plot()});
  auto* charts = new QVBoxLayout;
  for (auto [panel, compare] : {std::pair{waterLayer_, compareWL}, std::pair{sediment_, compareSed}}) {
    charts->addWidget(panel, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(compare);
    charts->addLayout(row);
  }

  auto* right = new QVBoxLayout;
  right->addLayout(wlBoxes);
  right->addSpacing(8);
  right->addLayout(sedBoxes);
  right->addStretch();
  right->addWidget(label);
  right->addWidget(cbbMaxConc_);
  right->addWidget(grid_);
  right->addSpacing(8);
  right->addWidget(markers_);
  right->addLayout(PrintCloseRow(this, [this] { SpeedBtnPrintClick(); }));

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(charts, 1);
  layout->addLayout(right);
  resize(1000, 760);
}

bool TConcentrationTimeGraphForm::ReadFiles(fe::TReadContext& context) {
  if (!ReadEcho(context, InputData)) return false;
  if (!ReadOrSayWhy(Cache().WLSOCO(OutputFile("wlsoco.out"), context, WLSOCOList), context))
    return false;
  const int times = WLSOCOList.NumberOfTimesteps();

  // Every file is read before anything is drawn: a missing one keeps the
  // window from opening with nothing half drawn.
  const std::vector<int> subsystems = fe::SubsystemsInWaterBody(InputData);
  ECNodesList.ClearItems();
  for (int i : subsystems) {
    auto list = std::make_unique<fe::TECList>();
    const std::string file = fe::Format("ec%.3d.out", {InputData.Subsystems(i)}, '.');
    if (!Cache().EC(OutputFile(file), times, context, *list)) return false;
    list->SetDistance(fe::SubsystemDistance(InputData, i));
    ECNodesList.Add(std::move(list));
  }
  SedimentConc.clear();
  for (int i : subsystems) {
    fe::TWBSCOList wb;
    const std::string file = fe::Format("wbsco%.3d.out", {InputData.Subsystems(i)}, '.');
    if (!Cache().WBSCO(OutputFile(file), context, wb)) return false;
    SedimentConc.push_back(std::move(wb));
  }
  return true;
}

void TConcentrationTimeGraphForm::FormShow() {
  const char sep = qt::DecimalSeparator();
  const int times = WLSOCOList.NumberOfTimesteps();
  const std::vector<int> subsystems = fe::SubsystemsInWaterBody(InputData);
  std::vector<fe::TSeries> sedimentSeries;
  for (std::size_t n = 0; n < SedimentConc.size() && n < subsystems.size(); ++n) {
    fe::TSeries s;
    SetLineSeriesStyle(s, static_cast<int>(n) + 1);
    fe::FillTopLayerInTime(s, SedimentConc[n], times);
    s.Title = fe::DistanceTitle(fe::SubsystemDistance(InputData, subsystems[n]), sep);
    sedimentSeries.push_back(std::move(s));
  }

  fe::TChart& wl = waterLayer_->Chart;
  wl.Series.clear();
  const std::vector<int> nodes = fe::FiveOfN(InputData.NumberOfWLSegments());
  NumberOfSeries = static_cast<int>(nodes.size());
  SeriesNode.fill(0);
  for (int k = 1; k <= NumberOfSeries; ++k) {
    SeriesNode[static_cast<std::size_t>(k - 1)] = nodes[static_cast<std::size_t>(k - 1)];
    fe::TSeries s;
    SetLineSeriesStyle(s, k);
    fe::FillInTime(s, InputData, WLSOCOList, nodes[static_cast<std::size_t>(k - 1)], sep);
    wl.Series.push_back(std::move(s));
  }
  fe::TChart& sed = sediment_->Chart;
  sed.Series = std::move(sedimentSeries);

  ShowSeriesBoxes(wl.Series, WLCheckBoxes, NodeButtons);
  ShowSeriesBoxes(sed.Series, SedCheckBoxes);
  // Shown again, the charts keep what the boxes say.
  for (std::size_t k = 0; k < wl.Series.size(); ++k) {
    wl.Series[k].Active = WLCheckBoxes[k]->isChecked();
    wl.Series[k].Marker.Visible = markers_->isChecked();
  }
  for (std::size_t k = 0; k < sed.Series.size(); ++k) {
    sed.Series[k].Active = SedCheckBoxes[k]->isChecked();
    sed.Series[k].Marker.Visible = markers_->isChecked();
  }

  {
    const QSignalBlocker block(cbbMaxConc_);
    cbbMaxConc_->clear();
    for (int i = 0; i < ECNodesList.Count(); ++i)
      cbbMaxConc_->addItem(
          QString::fromStdString(fe::DistanceTitle(ECNodesList.GetItem(i).Distance(), sep)));
    cbbMaxConc_->setCurrentIndex(cbbMaxConc_->count() - 1);
  }
  FillExposureTable();

  for (TChartPanel* panel : {waterLayer_, sediment_}) {
    panel->Chart.Bottom.SetAutomatic();
    fe::SetLeftAxisMax(panel->Chart, fe::ChartMaxY(panel->Chart));
    panel->Redraw();
  }
}

void TConcentrationTimeGraphForm::FillExposureTable() {
  fe::TExposureRows rows;  // every cell empty
  const int index = cbbMaxConc_->currentIndex();
  if (index >= 0 && index < ECNodesList.Count())
    rows = fe::ExposureRows(ECNodesList.GetItem(index), qt::DecimalSeparator());
  for (int r = 1; r <= 4; ++r) {
    grid_->SetCell(1, r, rows[static_cast<std::size_t>(r - 1)][0]);
    grid_->SetCell(2, r, rows[static_cast<std::size_t>(r - 1)][1]);
  }
}

void TConcentrationTimeGraphForm::CbbMaxConcChange() {
  if (cbbMaxConc_->currentIndex() < 0 && cbbMaxConc_->count() > 0) {
    const QSignalBlocker block(cbbMaxConc_);
    cbbMaxConc_->setCurrentIndex(0);
  }
  FillExposureTable();
}

void TConcentrationTimeGraphForm::CheckBoxClick(int k) {
  if (k < 1 || k > static_cast<int>(waterLayer_->Chart.Series.size())) return;
  ShowSeries(*waterLayer_, k, WLCheckBoxes[static_cast<std::size_t>(k - 1)]->isChecked());
}

void TConcentrationTimeGraphForm::SedCheckBoxClick(int k) {
  if (k < 1 || k > static_cast<int>(sediment_->Chart.Series.size())) return;
  ShowSeries(*sediment_, k, SedCheckBoxes[static_cast<std::size_t>(k - 1)]->isChecked());
}

void TConcentrationTimeGraphForm::ChckMarkersClick() {
  ShowMarkers({waterLayer_, sediment_}, markers_->isChecked());
}

void TConcentrationTimeGraphForm::BtnSelNodeClick(int k) {
  if (k < 1 || k > NumberOfSeries) return;
  const char sep = qt::DecimalSeparator();
  std::vector<std::string> lines;
  for (int j = 1; j <= InputData.NumberOfWLSegments(); ++j)
    lines.push_back(fe::DistanceTitle(InputData.WLMidDistance(j), sep));
  const int chosen = SelectNode(this, lines);
  if (chosen <= 0) return;
  SeriesNode[static_cast<std::size_t>(k - 1)] = chosen;
  // The value axis keeps the range it got when the window opened.
  fe::TSeries& s = waterLayer_->Chart.Series[static_cast<std::size_t>(k - 1)];
  fe::FillInTime(s, InputData, WLSOCOList, chosen, sep);
  WLCheckBoxes[static_cast<std::size_t>(k - 1)]->setText(QString::fromStdString(s.Title));
  waterLayer_->Redraw();
}

void TConcentrationTimeGraphForm::SpeedButton1Click() {
  EnlargeInTime(this, *waterLayer_, "concentration (µg/L)");
}

void TConcentrationTimeGraphForm::SpeedButton3Click() {
  EnlargeInTime(this, *sediment_, "average conc. top layer (µg/L)");
}

void TConcentrationTimeGraphForm::BtnCompareClick(int graphType) {
  OpenCompareConcTime(this, kTitle, graphType, OutputDir());
}

void TConcentrationTimeGraphForm::SpeedBtnPrintClick() {
  PrintGraphPage(kTitle, TPageFrame::Full, [this](QPainter& painter, const QRect& area) {
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    const int mx = w / 10, mx2 = w / 20, my = h / 10, my2 = h / 40;
    const int ch = (h - 3 * my) / 2;
    const int top1 = t + my + 3 * my2;
    const int top2 = t + 2 * my + my2 + ch;
    const std::vector<QRect> legends = PrintAlignedChartsIn(
        painter, {&waterLayer_->Chart, &sediment_->Chart}, -20,
        {QRect(QPoint(l + mx, top1), QPoint(l + w - 1 - mx, top1 + ch - 1)),
         QRect(QPoint(l + mx, top2), QPoint(l + w - 1 - mx, top2 + ch - 1))});
    const QRect& legend1 = legends[0];
    const QRect& legend2 = legends[1];
    // Headings and the table, written after the charts, whose backgrounds
    // would cover them.
    SetHeadingCanvas(painter);
    const int x = l + w - 1 - mx - DevicePixels(painter, 600);
    WriteLegendHeading(painter, legend1, QPoint(x, top1), {"Dist. in waterbody"});
    WriteLegendHeading(painter, legend2, QPoint(x, top2), {"Dist. in waterbody"});
    PrintExposureTable(painter, l + mx2, t + 2 * my2 - DevicePixels(painter, 50));
  }, OutputDir());
}

void TConcentrationTimeGraphForm::PrintExposureTable(QPainter& painter, int x, int y0) const {
  const int h = TextHeight(painter, "X");
  int y = y0;
  TextOut(painter, x, y, "Maximal exposure");
  int w = TextWidth(painter, "Maximal exposure");
  y += h;
  const std::string at = "concentrations at " + cbbMaxConc_->currentText().toStdString();
  TextOut(painter, x, y, at);
  w = std::max(w, TextWidth(painter, at));
  y += 2 * h;

  const int label = TextWidth(painter, "TWAEC28:");
  const int x1 = x + label + DevicePixels(painter, 60);
  const int x2 = x + label + DevicePixels(painter, 296);
  TextOut(painter, x1, y, "t (d)");
  TextOut(painter, x2, y, "conc. (µg/L)");
  w = std::max(w, x2 - x + TextWidth(painter, "conc. (µg/L)"));
  y += h;
  for (int r = 1; r <= 4; ++r) {
    TextOut(painter, x + DevicePixels(painter, 12), y, std::string(kRowTitles[r - 1]) + ":");
    const std::string time = grid_->Cell(1, r);
    const std::string conc = grid_->Cell(2, r);
    TextOut(painter, x1, y, time);
    TextOut(painter, x2, y, conc);
    w = std::max(w, x2 - x + TextWidth(painter, conc));
    y += h;
  }
  const int d4 = DevicePixels(painter, 4);
  painter.drawRect(QRect(QPoint(x - d4, y0 - d4), QPoint(x + w + DevicePixels(painter, 8), y + d4)));
}

}  // namespace kirmel::viewer
