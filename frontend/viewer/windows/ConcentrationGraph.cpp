#include "frontend/viewer/windows/ConcentrationGraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "frontend/chart/Chart.h"
#include "frontend/model/Numbers.h"
#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/ConcGraphs.h"
#include "frontend/viewer/GraphChoices.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/Compare.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/PickLists.h"
#include "frontend/viewer/windows/SeriesStyle.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

namespace {

constexpr const char* kTitle = "Concentration of pesticide in waterbody";

// Keeps a chart's zoom button in the chart's top right corner, clear of a
// title written from the left.
class TZoomAtRight : public QObject {
 public:
  explicit TZoomAtRight(TChartPanel* panel) : QObject(panel), panel_(panel) {
    panel->Plot()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize && panel_->ZoomButton()) {
      QWidget* plot = panel_->Plot();
      QToolButton* zoom = panel_->ZoomButton();
      zoom->move(plot->width() - zoom->sizeHint().width() - 2, 2);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TChartPanel* panel_;
};

}  // namespace

TConcentrationGraphForm::TConcentrationGraphForm(QWidget* owner, std::string outputDir)
    : TGraphWindow(owner, std::move(outputDir)),
      waterLayer_(new TChartPanel(QStringLiteral("WaterlayerGraph"), QStringLiteral("SpeedButton1"))),
      markers_(new QCheckBox(QStringLiteral("Show markers"))) {
  setObjectName(QStringLiteral("ConcentrationGraphForm"));
  setWindowTitle(QString::fromLatin1(kTitle));

  fe::TChart& wl = waterLayer_->Chart;
  wl.Title = "Water layer";
  wl.TitleAlignment = fe::TTitleAlignment::Left;
  wl.Bottom.Title = "Distance in waterbody (m)";
  wl.Left.Title = "Concentration in water (µg/L)";
  wl.LegendVisible = true;
  new TZoomAtRight(waterLayer_);
  connect(waterLayer_, &TChartPanel::ZoomClicked, this,
          qt::GuardedSlot([this] { WaterLayerZoomClick(); }));

  auto* sedimentRow = new QHBoxLayout;
  for (int j = 1; j <= kSedimentGraphs; ++j) {
    auto* panel = new TChartPanel(QStringLiteral("SedimentGraph%1").arg(j),
                                  QStringLiteral("SpeedButton%1").arg(j + 2));
    panel->Plot()->setMinimumSize(180, 200);
    fe::TChart& chart = panel->Chart;
    chart.Bottom.Visible = false;
    chart.Top.Title = "Total conc. (µg/L)";
    chart.LegendVisible = false;
    if (j == 1) chart.Left.Title = "Depth (m)";
    connect(panel, &TChartPanel::ZoomClicked, this,
            qt::GuardedSlot([this, j] { SedimentZoomClick(j); }));
    auto* list = new QComboBox;
    list->setObjectName(QStringLiteral("ComboBox%1").arg(j));
    connect(list, &QComboBox::currentIndexChanged, this,
            qt::GuardedSlot([this, j] { FillSedimentGraph(j); }));
    sediment_[static_cast<std::size_t>(j - 1)] = panel;
    lists_[static_cast<std::size_t>(j - 1)] = list;
    auto* column = new QVBoxLayout;
    column->addWidget(panel, 1);
    column->addWidget(list);
    sedimentRow->addLayout(column, 1);
  }

  // The shown times: a check box and a "..." button each.
  auto* times = new QGridLayout;
  for (int k = 1; k <= kMaxSeries; ++k) {
    auto* check = new QCheckBox(QStringLiteral("Time %1").arg(k));
    check->setObjectName(QStringLiteral("CheckBox%1").arg(k));
    check->setProperty("Tag", k);
    check->setChecked(true);
    connect(check, &QCheckBox::clicked, this, qt::GuardedSlot([this, k] { CheckBoxClick(k); }));
    QPushButton* button = SelectButton(QStringLiteral("BtnSelTime%1").arg(k), k);
    connect(button, &QPushButton::clicked, this, qt::GuardedSlot([this, k] { BtnSelTimeClick(k); }));
    times->addWidget(check, k - 1, 0);
    times->addWidget(button, k - 1, 1);
    CheckBoxes[static_cast<std::size_t>(k - 1)] = check;
    TimeButtons[static_cast<std::size_t>(k - 1)] = button;
  }
  markers_->setObjectName(QStringLiteral("ChckMarkers"));
  connect(markers_, &QCheckBox::clicked, this, qt::GuardedSlot([this] { ChckMarkersClick(); }));
  times->addWidget(markers_, kMaxSeries, 0, 1, 2);

  const auto [compareWL, compareSed] =
      CompareButtons(this, [this](int graphType) { BtnCompareClick(graphType); });
  const TPrintClose printClose = PrintAndCloseButtons(this, [this] { SpeedBtnPrintClick(); });

  auto* label = new QLabel(QStringLiteral("Sediment"));
  label->setObjectName(QStringLiteral("LblSediment"));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);

  auto* left = new QVBoxLayout;
  left->addWidget(waterLayer_, 1);
  auto* wlButtons = new QHBoxLayout;
  wlButtons->addStretch();
  wlButtons->addWidget(compareWL);
  left->addLayout(wlButtons);
  auto* sedimentHead = new QHBoxLayout;
  sedimentHead->addWidget(label);
  sedimentHead->addStretch();
  sedimentHead->addWidget(compareSed);
  left->addLayout(sedimentHead);
  left->addLayout(sedimentRow, 1);

  auto* right = new QVBoxLayout;
  right->addLayout(times);
  right->addStretch();
  right->addWidget(printClose.Print);
  right->addWidget(printClose.Close);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right);
  resize(1000, 780);
}

TChartPanel& TConcentrationGraphForm::SedimentGraph(int j) const {
  return *sediment_.at(static_cast<std::size_t>(j - 1));
}

QComboBox* TConcentrationGraphForm::ComboBox(int j) const {
  return lists_.at(static_cast<std::size_t>(j - 1));
}

std::vector<TChartPanel*> TConcentrationGraphForm::AllCharts() const {
  return {waterLayer_, sediment_[0], sediment_[1], sediment_[2]};
}

bool TConcentrationGraphForm::ReadFiles(fe::TReadContext& context) {
  if (!ReadEcho(context, RunInput)) return false;
  if (!ReadOrSayWhy(Cache().WLSOCO(OutputFile("wlsoco.out"), context, WaterLayerConc), context))
    return false;
  // The profiles' files the lists start on, read now: the window opens
  // with them, and a missing one only leaves its chart empty.
  const std::vector<int> subsystems = fe::SubsystemsInWaterBody(RunInput);
  const std::array<int, 3> choices = fe::DefaultListChoices(static_cast<int>(subsystems.size()));
  for (int j = 1; j <= kSedimentGraphs; ++j) {
    const int choice = choices[static_cast<std::size_t>(j - 1)];
    if (choice < 0) continue;
    Cache().WBSCO(SedimentFile(subsystems[static_cast<std::size_t>(choice)]), context,
                  SedimentConc[static_cast<std::size_t>(j - 1)]);
  }
  return true;
}

std::string TConcentrationGraphForm::SedimentFile(int i) const {
  return OutputFile(fe::Format("wbsco%.3d.out", {RunInput.Subsystems(i)}, '.'));
}

void TConcentrationGraphForm::FormShow() {
  const char sep = qt::DecimalSeparator();

  fe::TChart& wl = waterLayer_->Chart;
  wl.Bottom.SetManual(0, RunInput.WaterBodyLength());
  wl.Series.clear();
  const std::vector<int> times = fe::FiveOfN(WaterLayerConc.NumberOfTimesteps());
  NumberOfSeries = static_cast<int>(times.size());
  SeriesTimesteps.fill(0);
  for (int k = 1; k <= NumberOfSeries; ++k) {
    fe::TSeries s;
    SetLineSeriesStyle(s, k);
    s.Marker.Visible = markers_->isChecked();
    s.Active = CheckBoxes[static_cast<std::size_t>(k - 1)]->isChecked();
    SeriesTimesteps[static_cast<std::size_t>(k - 1)] =
        fe::FillAlongWaterBody(s, RunInput, WaterLayerConc, times[static_cast<std::size_t>(k - 1)], sep);
    wl.Series.push_back(std::move(s));
  }
  ShowSeriesBoxes(wl.Series, CheckBoxes, TimeButtons);

  // The lists offer the subsystems that have output files; each item keeps
  // the subsystem's number.
  const std::vector<int> subsystems = fe::SubsystemsInWaterBody(RunInput);
  const std::array<int, 3> choices = fe::DefaultListChoices(static_cast<int>(subsystems.size()));
  for (int j = 1; j <= kSedimentGraphs; ++j) {
    QComboBox* list = ComboBox(j);
    const QSignalBlocker block(list);
    list->clear();
    for (int i : subsystems)
      list->addItem(QString::fromStdString(
                        fe::Format("%f m", {fe::SubsystemDistance(RunInput, i)}, sep)),
                    i);
    list->setCurrentIndex(choices[static_cast<std::size_t>(j - 1)]);
  }
  for (int j = 1; j <= kSedimentGraphs; ++j) FillSedimentGraph(j);

  fe::SetLeftAxisMax(wl, fe::ChartMaxY(wl));
  waterLayer_->Redraw();
}

int TConcentrationGraphForm::ChosenSubsystem(int j) const {
  const QComboBox* list = ComboBox(j);
  if (list->currentIndex() < 0) return 0;
  return list->currentData().toInt();
}

void TConcentrationGraphForm::FillProfile(int j, int k) {
  fe::TChart& chart = SedimentGraph(j).Chart;
  fe::TSeries& s = chart.Series[static_cast<std::size_t>(k - 1)];
  s.Title = waterLayer_->Chart.Series[static_cast<std::size_t>(k - 1)].Title;
  fe::FillDepthProfile(s, RunInput, SedimentConc[static_cast<std::size_t>(j - 1)],
                       SeriesTimesteps[static_cast<std::size_t>(k - 1)]);
}

void TConcentrationGraphForm::FillSedimentGraph(int j) {
  QComboBox* list = ComboBox(j);
  TChartPanel& panel = SedimentGraph(j);
  fe::TChart& chart = panel.Chart;
  int& shown = shownChoice_[static_cast<std::size_t>(j - 1)];
  if (list->count() > 0 && list->currentIndex() < 0) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(0);
  }
  const int i = ChosenSubsystem(j);
  if (i > 0) {
    fe::TWBSCOList& conc = SedimentConc[static_cast<std::size_t>(j - 1)];
    fe::TWBSCOList fresh;
    bool cancelled = false;
    const bool read = ReadLater(
        [&] { return Cache().WBSCO(SedimentFile(i), ReadContext(), fresh); }, &cancelled);
    if (cancelled) {
      // Nothing changes: the list goes back to the profile it shows.
      const QSignalBlocker block(list);
      list->setCurrentIndex(shown);
      return;
    }
    chart.Series.clear();
    chart.Title.clear();
    chart.Top.SetAutomatic();
    if (!read) {
      // No file for this subsystem (its output was switched off).
      conc.ClearItems();
      const QSignalBlocker block(list);
      list->clear();
    } else {
      conc = fresh;
      for (int k = 1; k <= NumberOfSeries; ++k) {
        fe::TSeries s;
        SetLineSeriesStyle(s, k);
        s.Marker.Visible = markers_->isChecked();
        s.Active = CheckBoxes[static_cast<std::size_t>(k - 1)]->isChecked();
        chart.Series.push_back(std::move(s));
        FillProfile(j, k);
      }
      chart.Title = "at " + list->currentText().toStdString() + " in waterbody";
      fe::SetDepthAxis(chart, RunInput);
    }
  } else {
    chart.Series.clear();
    chart.Title.clear();
    chart.Top.SetAutomatic();
  }
  shown = list->currentIndex();
  panel.Redraw();
}

void TConcentrationGraphForm::BtnSelTimeClick(int k) {
  if (k < 1 || k > NumberOfSeries) return;
  const char sep = qt::DecimalSeparator();
  const int t = SelectTimestep(this, fe::OutputTimeTitles(WaterLayerConc, sep));
  if (t <= 0) return;
  fe::TSeries& s = waterLayer_->Chart.Series[static_cast<std::size_t>(k - 1)];
  SeriesTimesteps[static_cast<std::size_t>(k - 1)] =
      fe::FillAlongWaterBody(s, RunInput, WaterLayerConc, t, sep);
  CheckBoxes[static_cast<std::size_t>(k - 1)]->setText(QString::fromStdString(s.Title));
  for (int j = 1; j <= kSedimentGraphs; ++j)
    if (static_cast<int>(SedimentGraph(j).Chart.Series.size()) >= k) FillProfile(j, k);
  for (TChartPanel* panel : AllCharts()) panel->Redraw();
}

void TConcentrationGraphForm::CheckBoxClick(int k) {
  const bool checked = CheckBoxes.at(static_cast<std::size_t>(k - 1))->isChecked();
  for (TChartPanel* panel : AllCharts()) ShowSeries(*panel, k, checked);
}

void TConcentrationGraphForm::ChckMarkersClick() { ShowMarkers(AllCharts(), markers_->isChecked()); }

void TConcentrationGraphForm::WaterLayerZoomClick() {
  TGraphOptions options;
  options.GraphTitle = kTitle;
  options.LegendTitle = "Time after appl.";
  options.TableTitlePrefix = "Concentration after ";
  options.XDescription = "distance in waterbody (m)";
  options.YDescription = "concentration (µg/L)";
  EnlargeChart(this, *waterLayer_, options);
}

void TConcentrationGraphForm::SedimentZoomClick(int j) {
  TChartPanel& panel = SedimentGraph(j);
  TGraphOptions options;
  options.GraphTitle = "Concentration of pesticide at " + ComboBox(j)->currentText().toStdString();
  options.LegendTitle = "Time after appl.";
  options.TableTitlePrefix = "Concentration after ";
  options.XDescription = "concentration (µg/L)";
  options.YDescription = "depth in sediment segment (m)";
  options.ShowSedimentLabel = true;
  // Only the first profile carries the depth title beside the others; the
  // enlarged copy of any profile shows it.
  if (j > 1) options.LentLeftTitle = "Depth (m)";
  EnlargeChart(this, panel, options);
}

void TConcentrationGraphForm::BtnCompareClick(int graphType) {
  OpenCompareConc(this, kTitle, graphType, OutputDir(),
                  graphType == kCompareSediment ? ChosenSubsystem(3) : 0);
}

void TConcentrationGraphForm::SpeedBtnPrintClick() {
  PrintGraphPage(kTitle, TPageFrame::Full, [this](QPainter& painter, const QRect& area) {
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    const int mx = w / 10, g = w / 32, my = h / 10;
    const int ch = (h - 3 * my) / 2;
    const int sw = (w - 2 * mx - 2 * g) / 3;
    const int y2 = t + 2 * my + ch;

    const QRect legend =
        PrintChartIn(painter, waterLayer_->Chart, -20, l + mx, t + my, l + w - 1 - mx, t + my + ch - 1);
    for (int j = 0; j < kSedimentGraphs; ++j) {
      const int x = l + mx + j * (sw + g);
      PrintChartIn(painter, sediment_[static_cast<std::size_t>(j)]->Chart, -80, x, y2, x + sw,
                   y2 + ch - 1);
    }
    // Headings, written after the charts, whose backgrounds would cover them.
    SetHeadingCanvas(painter);
    const int tw = TextWidth(painter, "Time after");
    WriteLegendHeading(painter, legend,
                       QPoint(l + w - 1 - mx - tw - DevicePixels(painter, 140),
                              t + my + DevicePixels(painter, 4) - TextHeight(painter, "X")),
                       {"Time after", "appl. (d)"});
    QFont bold(QStringLiteral("Arial"), 11);
    bold.setStyleHint(QFont::SansSerif);
    bold.setBold(true);
    painter.setFont(bold);
    TextOut(painter, l + mx, y2 - DevicePixels(painter, 30) - TextHeight(painter, "X"), "Sediment");
  }, OutputDir());
}

}  // namespace kirmel::viewer
