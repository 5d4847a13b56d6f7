#include "frontend/viewer/windows/MassBalanceForms.h"

#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

namespace {

namespace colors = fe::colors;

// Areas hide their dividing lines; no series shows markers.
fe::TSeries Area(const char* title, fe::TColor color) {
  fe::TSeries s;
  s.Title = title;
  s.Kind = fe::TSeriesKind::Area;
  s.Color = color;
  s.AreaLinesVisible = false;
  s.Marker.Visible = false;
  return s;
}

fe::TSeries Line(const char* title, fe::TColor color) {
  fe::TSeries s;
  s.Title = title;
  s.Color = color;
  s.Marker.Visible = false;
  return s;
}

void SetUpChart(fe::TChart& chart, const char* title) {
  chart.Title = title;
  chart.LegendVisible = true;
  chart.Bottom.Title = "Time (d)";
  chart.Left.Title = "Mass (mg)    ";
}

// Index of each series in its chart, in drawing order.
enum { kLoadings, kFromSed, kRemainingWL };
enum { kVolatilized, kTransformedWL, kFlowedOut, kToSed };
enum { kFromWL, kUpSeepage, kRemainingSed };
enum { kToWL, kTransformedSed, kDownSeepage };

}  // namespace

TMassBalanceGraphForm::TMassBalanceGraphForm(QWidget* owner, std::string outputDir,
                                             const char* formName, const char* caption,
                                             const char* positiveName, const char* negativeName)
    : TGraphWindow(owner, std::move(outputDir)),
      positive_(new TChartPanel(QString::fromLatin1(positiveName), QStringLiteral("SpeedBtnZoom1"))),
      negative_(new TChartPanel(QString::fromLatin1(negativeName), QStringLiteral("SpeedBtnZoom2"))) {
  setObjectName(QString::fromLatin1(formName));
  setWindowTitle(QString::fromLatin1(caption));
  SetUpChart(positive_->Chart, "Positive terms");
  SetUpChart(negative_->Chart, "Negative terms");
  connect(positive_, &TChartPanel::ZoomClicked, this,
          qt::GuardedSlot([this] { SpeedBtnZoomClick(*positive_); }));
  connect(negative_, &TChartPanel::ZoomClicked, this,
          qt::GuardedSlot([this] { SpeedBtnZoomClick(*negative_); }));

  // The two time axes line up, whatever the legends beside them.
  fe::AlignPlotAreas({positive_->Plot(), negative_->Plot()});

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(positive_, 1);
  layout->addWidget(negative_, 1);
  layout->addLayout(PrintCloseRow(this, [this] { SpeedBtnPrintClick(); }));
  resize(720, 640);
}

void TMassBalanceGraphForm::SetAxes() {
  const double max = std::max(fe::ChartMaxY(positive_->Chart), fe::ChartMaxY(negative_->Chart));
  for (TChartPanel* panel : {positive_, negative_}) {
    panel->Chart.Bottom.SetAutomatic();
    fe::SetLeftAxisMax(panel->Chart, max);
    panel->Redraw();
  }
}

void TMassBalanceGraphForm::SpeedBtnZoomClick(TChartPanel& panel) {
  TGraphOptions options;
  options.GraphTitle = windowTitle().toStdString();
  options.XDescription = "time (d)";
  options.YDescription = "mass (mg)";
  options.HideMarkers = true;
  options.HideSeriesControls = true;
  EnlargeChart(this, panel, options);
}

void TMassBalanceGraphForm::SpeedBtnPrintClick() {
  PrintGraphPage(windowTitle().toStdString(), TPageFrame::Full,
                 [this](QPainter& painter, const QRect& area) {
                   const int l = area.left(), t = area.top(), w = area.width(),
                             h = area.height();
                   const int mx = w / 10;
                   const int my = h / 10;
                   const int ch = (h - 3 * my) / 2;
                   PrintAlignedChartsIn(
                       painter, {&positive_->Chart, &negative_->Chart}, -20,
                       {QRect(QPoint(l + mx, t + my), QPoint(l + w - mx - 1, t + my + ch - 1)),
                        QRect(QPoint(l + mx, t + 2 * my + ch),
                              QPoint(l + w - mx - 1, t + 2 * my + 2 * ch - 1))});
                 },
                 OutputDir());
}

// ---- water layer ----

TMassBalanceWLGraphForm::TMassBalanceWLGraphForm(QWidget* owner, std::string outputDir)
    : TMassBalanceGraphForm(owner, std::move(outputDir), "MassBalanceWLGraphForm",
                            "Mass balance of pesticide in water layer", "WLGraphPositive",
                            "WLGraphNegative") {
  Positive().Chart.Series = {Area("Loadings", colors::Fuchsia), Area("From sediment", colors::Maroon),
                             Line("Remaining", colors::Black)};
  Negative().Chart.Series = {Area("Volatilized", colors::Gray), Area("Transformed", colors::Green),
                             Area("Flowed out", colors::Aqua), Area("To sediment", colors::Maroon)};
}

bool TMassBalanceWLGraphForm::ReadFiles(fe::TReadContext& context) {
  return ReadOrSayWhy(Cache().WLMB(OutputFile("wlmb.out"), context, MassBalanceList), context);
}

void TMassBalanceWLGraphForm::FormShow() {
  auto& pos = Positive().Chart.Series;
  auto& neg = Negative().Chart.Series;
  for (auto* series : {&pos, &neg})
    for (fe::TSeries& s : *series) s.Clear();
  for (const fe::TWLMBRecord& r : MassBalanceList.Items()) {
    const double t = r.Time;
    pos[kFromSed].Add(t, r.FromSed * 1000);
    pos[kLoadings].Add(t, (r.FromSed + r.InitLoad) * 1000);
    pos[kRemainingWL].Add(t, r.Remaining * 1000);
    neg[kToSed].Add(t, r.ToSed * -1000);
    neg[kFlowedOut].Add(t, (r.ToSed + r.OutEnd + r.OutFront) * -1000);
    neg[kTransformedWL].Add(t, (r.ToSed + r.OutEnd + r.OutFront + r.Transformed) * -1000);
    neg[kVolatilized].Add(
        t, (r.ToSed + r.OutEnd + r.OutFront + r.Transformed + r.Volatilized) * -1000);
  }
  SetAxes();
}

// ---- sediment ----

TMassBalanceSedGraphForm::TMassBalanceSedGraphForm(QWidget* owner, std::string outputDir)
    : TMassBalanceGraphForm(owner, std::move(outputDir), "MassBalanceSedGraphForm",
                            "Mass balance of pesticide in sediment", "SedGraphPositive",
                            "SedGraphNegative") {
  Positive().Chart.Series = {Area("From water layer", colors::Aqua),
                             Area("Upward seepage", colors::Maroon),
                             Line("Remaining", colors::Black)};
  Negative().Chart.Series = {Area("To water layer", colors::Aqua),
                             Area("Transformed", colors::Green),
                             Area("Downw. seepage", colors::Maroon)};
}

bool TMassBalanceSedGraphForm::ReadFiles(fe::TReadContext& context) {
  return ReadOrSayWhy(Cache().WBMBALL(OutputFile("wbmball.out"), context, MassBalanceList),
                      context);
}

void TMassBalanceSedGraphForm::FormShow() {
  auto& pos = Positive().Chart.Series;
  auto& neg = Negative().Chart.Series;
  for (auto* series : {&pos, &neg})
    for (fe::TSeries& s : *series) s.Clear();
  for (const fe::TWBMBALLRecord& r : MassBalanceList.Items()) {
    const double t = r.Time;
    pos[kUpSeepage].Add(t, r.UpSeepage * 1000);
    pos[kFromWL].Add(t, (r.UpSeepage + r.FromWL) * 1000);
    pos[kRemainingSed].Add(t, (r.Initial + r.Remaining) * 1000);
    neg[kDownSeepage].Add(t, r.Percolated * -1000);
    neg[kTransformedSed].Add(t, (r.Percolated + r.Transformed) * -1000);
    neg[kToWL].Add(t, (r.Percolated + r.Transformed + r.ToWL) * -1000);
  }
  SetAxes();
}

}  // namespace kirmel::viewer
