#include "frontend/viewer/windows/DistributionGraph.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/chart/Chart.h"
#include "frontend/model/Numbers.h"
#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/Distribution.h"
#include "frontend/viewer/GraphChoices.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

namespace {

constexpr const char* kTitle = "Distribution of pesticide";
constexpr const char* kLineicTitle = "Lineic mass (mg/m')";

}  // namespace

TDistributionGraphForm::TDistributionGraphForm(QWidget* owner, std::string outputDir)
    : TGraphWindow(owner, std::move(outputDir)),
      mass_(new TChartPanel(QStringLiteral("MassGraph"), QStringLiteral("SpeedButton1"))) {
  setObjectName(QStringLiteral("DistributionGraphForm"));
  setWindowTitle(QString::fromLatin1(kTitle));

  fe::TChart& mass = mass_->Chart;
  mass.TitleVisible = false;
  mass.Bottom.Title = "Time (d)";
  mass.Left.Title = "Mass in total waterbody (g)";
  mass.Left.LabelFormat = "    #,##0.###";
  mass.LegendVisible = true;
  mass.Series = fe::CompartmentSeries();
  connect(mass_, &TChartPanel::ZoomClicked, this, qt::GuardedSlot([this] { ZoomClick(0); }));

  auto* lineicRow = new QHBoxLayout;
  for (int g = 1; g <= kLineicGraphs; ++g) {
    auto* panel = new TChartPanel(QStringLiteral("LineicMassGraph%1").arg(g),
                                  QStringLiteral("SpeedButton%1").arg(g + 2));
    panel->Plot()->setMinimumSize(180, 200);
    fe::TChart& chart = panel->Chart;
    chart.Bottom.Title = "Time (d)";
    chart.LegendVisible = false;
    chart.Series = fe::CompartmentSeries();
    if (g == 1) {
      chart.Left.Title = kLineicTitle;
      chart.Left.LabelFormat = "    ###0.##";
    } else {
      chart.Left.LabelFormat = " ###0.##";
    }
    connect(panel, &TChartPanel::ZoomClicked, this, qt::GuardedSlot([this, g] { ZoomClick(g); }));
    auto* list = new QComboBox;
    list->setObjectName(QStringLiteral("ComboBox%1").arg(g));
    connect(list, &QComboBox::currentIndexChanged, this,
            qt::GuardedSlot([this, g] { FillLineicGraphs(g); }));
    lineic_[static_cast<std::size_t>(g - 1)] = panel;
    lists_[static_cast<std::size_t>(g - 1)] = list;
    auto* column = new QVBoxLayout;
    column->addWidget(panel, 1);
    column->addWidget(list);
    lineicRow->addLayout(column, 1);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(mass_, 1);
  layout->addLayout(lineicRow, 1);
  layout->addLayout(PrintCloseRow(this, [this] { SpeedBtnPrintClick(); }));
  resize(900, 760);
}

TChartPanel& TDistributionGraphForm::LineicMassGraph(int g) const {
  return *lineic_.at(static_cast<std::size_t>(g - 1));
}

QComboBox* TDistributionGraphForm::ComboBox(int g) const {
  return lists_.at(static_cast<std::size_t>(g - 1));
}

bool TDistributionGraphForm::ReadFiles(fe::TReadContext& context) {
  // Every file is read before anything is drawn: a missing one keeps the
  // window from opening with nothing half drawn.
  if (!ReadEcho(context, RunInput)) return false;
  if (!ReadOrSayWhy(Cache().DB(OutputFile("dbdit.out"), context, WaterBody), context)) return false;
  const std::vector<int> subsystems = fe::SubsystemsInWaterBody(RunInput);
  Subsystems.assign(subsystems.size(), fe::TDBList());
  for (std::size_t n = 0; n < subsystems.size(); ++n) {
    const std::string file = fe::Format("db%.3d.out", {RunInput.Subsystems(subsystems[n])}, '.');
    if (!Cache().DB(OutputFile(file), context, Subsystems[n])) return false;
  }
  return true;
}

void TDistributionGraphForm::FormShow() {
  const char sep = qt::DecimalSeparator();
  const std::vector<int> subsystems = fe::SubsystemsInWaterBody(RunInput);
  NumberOfTimes = fe::LineicRows(WaterBody, Subsystems);

  fe::FillMassGraph(mass_->Chart, WaterBody);
  mass_->Redraw();

  const std::array<int, 3> choices = fe::DefaultListChoices(static_cast<int>(subsystems.size()));
  for (int g = 1; g <= kLineicGraphs; ++g) {
    QComboBox* list = ComboBox(g);
    const QSignalBlocker block(list);
    list->clear();
    for (int i : subsystems)
      list->addItem(QString::fromStdString(
          fe::Format("at %f m", {fe::SubsystemDistance(RunInput, i)}, sep)));
    list->setCurrentIndex(choices[static_cast<std::size_t>(g - 1)]);
  }
  LineicMax.fill(0);
  for (int g = 1; g <= kLineicGraphs; ++g) FillLineicGraphs(g);
}

void TDistributionGraphForm::FillLineicGraphs(int g) {
  TChartPanel& panel = LineicMassGraph(g);
  fe::TChart& chart = panel.Chart;
  const int i = ComboBox(g)->currentIndex();
  chart.Title = ComboBox(g)->currentText().toStdString();
  for (fe::TSeries& s : chart.Series) s.Clear();
  double& largest = LineicMax[static_cast<std::size_t>(g - 1)];
  largest = 0;
  if (i >= 0 && i < static_cast<int>(Subsystems.size()))
    largest = fe::FillLineicChart(chart, Subsystems.front(), Subsystems[static_cast<std::size_t>(i)],
                                  NumberOfTimes);
  ScaleLineicGraphs();
}

void TDistributionGraphForm::ScaleLineicGraphs() {
  std::vector<fe::TChart*> charts;
  for (TChartPanel* panel : lineic_) charts.push_back(&panel->Chart);
  fe::ScaleLineicCharts(charts, *std::max_element(LineicMax.begin(), LineicMax.end()));
  for (TChartPanel* panel : lineic_) panel->Redraw();
}

void TDistributionGraphForm::ZoomClick(int g) {
  TChartPanel& panel = g == 0 ? *mass_ : LineicMassGraph(g);
  TGraphOptions options;
  options.LegendTitle = "Compartments";
  options.XDescription = "time (d)";
  options.HideMarkers = true;
  options.HideSeriesControls = true;
  if (g == 0) {
    options.GraphTitle = kTitle;
    options.YDescription = "mass in total waterbody (g)";
  } else {
    options.GraphTitle = std::string(kTitle) + " " + ComboBox(g)->currentText().toStdString();
    options.YDescription = "lineic mass (mg/m')";
  }
  // Beside the first, the lineic charts carry no value-axis title; their
  // enlarged copies do.
  if (g >= 2) options.LentLeftTitle = kLineicTitle;
  EnlargeChart(this, panel, options);
}

void TDistributionGraphForm::SpeedBtnPrintClick() {
  PrintGraphPage(kTitle, TPageFrame::Full, [this](QPainter& painter, const QRect& area) {
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    const int mx = w / 10, gap = w / 32, my = h / 10;
    const int ch = (h - 3 * my) / 2;
    const int cw = (w - 2 * mx - 2 * gap) / 3;
    const int row2 = t + 2 * my + ch;
    const QRect legend =
        PrintChartIn(painter, mass_->Chart, -30, l + mx, t + my, l + w - 1 - mx, t + my + ch - 1);
    for (int k = 1; k <= kLineicGraphs; ++k) {
      const int x = l + mx + (k - 1) * (cw + gap);
      PrintChartIn(painter, LineicMassGraph(k).Chart, -50, x, row2, x + cw, row2 + ch - 1);
    }
    // The legend's heading, written after the chart, whose background would
    // cover it.
    SetHeadingCanvas(painter);
    WriteLegendHeading(painter, legend,
                       QPoint(l + w - 1 - mx - TextWidth(painter, "Compartments") -
                                  DevicePixels(painter, 230),
                              t + my),
                       {"Compartments"});
  }, OutputDir());
}

}  // namespace kirmel::viewer
