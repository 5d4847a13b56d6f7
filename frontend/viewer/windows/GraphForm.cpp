#include "frontend/viewer/windows/GraphForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/TableForm.h"
#include "frontend/viewer/windows/AxisOptions.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/GraphWindow.h"
#include "frontend/viewer/windows/SeriesStyle.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

namespace {

using fe::TAxisSide;

// Sets both ends of an axis, the maximum first when the new minimum is not
// below the current one, so the minimum never passes the maximum on the way.
void SetEnds(fe::TAxis& axis, double min, double max) {
  if (min >= axis.Minimum) {
    axis.Maximum = max;
    axis.Minimum = min;
  } else {
    axis.Minimum = min;
    axis.Maximum = max;
  }
}

// Copies what the axis dialog sets on an axis beside its range.
void CopyAxisLook(const fe::TAxis& from, fe::TAxis& to) {
  to.Title = from.Title;
  to.Increment = from.Increment;
  to.MinorTicksVisible = from.MinorTicksVisible;
  to.MinorTickCount = from.MinorTickCount;
}

}  // namespace

TGraphForm::TGraphForm(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("GraphForm"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  chart_ = new TChartPanel(QStringLiteral("Chart1"), QString(), this);
  chart_->Chart.Left.LabelFormat = "      #,##0.#######";
  chart_->Plot()->setMinimumSize(560, 420);
  sediment_ = new QLabel(QStringLiteral("Sediment"), chart_->Plot());
  sediment_->setObjectName(QStringLiteral("LblSediment"));
  QFont bold = sediment_->font();
  bold.setBold(true);
  sediment_->setFont(bold);
  sediment_->move(8, 6);
  sediment_->hide();

  auto* box = new QGroupBox;
  seriesBox_ = box;
  box->setObjectName(QStringLiteral("GroupBoxSeries"));
  auto* grid = new QGridLayout(box);
  for (int i = 1; i <= kControlledSeries; ++i) {
    auto* check = new QCheckBox(QStringLiteral("Series %1").arg(i));
    check->setObjectName(QStringLiteral("ChckSeries%1").arg(i));
    check->setChecked(true);
    check->setProperty("Tag", i);
    connect(check, &QCheckBox::clicked, this,
            qt::GuardedSlot([this, i](bool checked) { ChckSeriesClick(i, checked); }));
    QPushButton* table = qt::NewButton(QStringLiteral("Table"), QStringLiteral("TableBtn%1").arg(i));
    table->setProperty("Tag", i);
    connect(table, &QPushButton::clicked, this, qt::GuardedSlot([this, i] { TableBtnClick(i); }));
    grid->addWidget(check, i - 1, 0);
    grid->addWidget(table, i - 1, 1);
    // FormCreate: the check boxes, then the table buttons.
    SeriesControls[static_cast<std::size_t>(i - 1)] = check;
    SeriesControls[static_cast<std::size_t>(kControlledSeries + i - 1)] = table;
  }
  markers_ = new QCheckBox(QStringLiteral("Show markers"));
  markers_->setObjectName(QStringLiteral("ChckMarkers"));
  connect(markers_, &QCheckBox::clicked, this, qt::GuardedSlot([this] { ChckMarkersClick(); }));
  grid->addWidget(markers_, kControlledSeries, 0, 1, 2);
  grid->setRowStretch(kControlledSeries + 1, 1);
  grid->setColumnStretch(0, 1);

  QPushButton* axis = qt::NewButton(QStringLiteral("Axis..."), QStringLiteral("BtnAxisOptions"));
  QPushButton* save = qt::NewButton(QStringLiteral("Save as BMP"), QStringLiteral("BitBtnSave"));
  QPushButton* print = qt::NewButton(QStringLiteral("Print"), QStringLiteral("BitBtnPrint"));
  QPushButton* close = qt::NewButton(QStringLiteral("Close"), QStringLiteral("BitBtnClose"));
  connect(axis, &QPushButton::clicked, this, qt::GuardedSlot([this] { BtnAxisOptionsClick(); }));
  connect(save, &QPushButton::clicked, this, qt::GuardedSlot([this] { BitBtnSaveClick(); }));
  connect(print, &QPushButton::clicked, this, qt::GuardedSlot([this] { BitBtnPrintClick(); }));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* body = new QHBoxLayout;
  body->addWidget(chart_, 1);
  body->addWidget(box);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(axis);
  buttons->addWidget(save);
  buttons->addWidget(print);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addLayout(buttons);
  resize(900, 560);
}

fe::TChart& TGraphForm::Chart1() { return chart_->Chart; }

void TGraphForm::HideSeriesControls() {
  for (QWidget* w : SeriesControls) w->hide();
}

void TGraphForm::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    qt::Guarded([this] { FormShow(); });
  }
  QDialog::showEvent(event);
}

void TGraphForm::FormShow() {
  setWindowTitle(QString::fromStdString(GraphTitle));
  if (!SourceChart) return;
  const fe::TChart& source = *SourceChart;
  fe::TChart& chart = Chart1();

  for (TAxisSide side : {TAxisSide::Left, TAxisSide::Bottom, TAxisSide::Top}) {
    const fe::TAxis& from = source.Axis(side);
    fe::TAxis& to = chart.Axis(side);
    if (from.Automatic) {
      to.SetAutomatic();
    } else {
      // An end that follows the data is copied where the data put it.
      const auto [lo, hi] = source.AxisRange(side);
      to.Automatic = false;
      to.AutomaticMinimum = false;
      to.AutomaticMaximum = false;
      SetEnds(to, lo, hi);
    }
  }

  chart.Series.clear();
  for (const fe::TSeries& from : source.Series) {
    fe::TSeries series;
    series.Title = from.Title;
    CopyLineSeriesStyle(series, from);
    series.Points = from.Points;
    chart.Series.push_back(std::move(series));
  }

  chart.Title = source.Title;
  for (TAxisSide side : {TAxisSide::Bottom, TAxisSide::Top, TAxisSide::Left}) {
    chart.Axis(side).Visible = source.Axis(side).Visible;
    CopyAxisLook(source.Axis(side), chart.Axis(side));
  }

  const int count = static_cast<int>(chart.Series.size());
  for (int i = 1; i <= kControlledSeries; ++i) {
    auto* check = static_cast<QCheckBox*>(SeriesControls[static_cast<std::size_t>(i - 1)]);
    if (i <= count) {
      check->setText(QString::fromStdString(chart.Series[static_cast<std::size_t>(i - 1)].Title));
    } else {
      check->hide();
      SeriesControls[static_cast<std::size_t>(kControlledSeries + i - 1)]->hide();
    }
  }
  if (count > 0 && chart.Series.front().Marker.Visible) {
    markers_->setChecked(true);
    ChckMarkersClick();
  }
  // A box left without a control gives its room to the chart.
  bool controls = !markers_->isHidden();
  for (QWidget* w : SeriesControls) controls = controls || !w->isHidden();
  seriesBox_->setVisible(controls);
  chart_->Redraw();
}

void TGraphForm::done(int result) {
  qt::Guarded([this] { FormClose(); });
  QDialog::done(result);
}

void TGraphForm::FormClose() {
  if (!shown_ || closed_ || !SourceChart) return;
  closed_ = true;
  fe::TChart& source = *SourceChart;
  const fe::TChart& chart = Chart1();
  for (TAxisSide side : {TAxisSide::Left, TAxisSide::Bottom, TAxisSide::Top}) {
    const fe::TAxis& from = chart.Axis(side);
    fe::TAxis& to = source.Axis(side);
    if (from.Automatic) {
      to.SetAutomatic();
    } else {
      to.Automatic = false;
      to.AutomaticMinimum = from.AutomaticMinimum;
      to.AutomaticMaximum = from.AutomaticMaximum;
      SetEnds(to, from.Minimum, from.Maximum);
    }
  }
  source.Title = chart.Title;
  for (TAxisSide side : {TAxisSide::Bottom, TAxisSide::Top, TAxisSide::Left})
    CopyAxisLook(chart.Axis(side), source.Axis(side));
  if (SourceRedraw) SourceRedraw();
}

void TGraphForm::ChckSeriesClick(int tag, bool checked) {
  fe::TChart& chart = Chart1();
  if (tag < 1 || tag > static_cast<int>(chart.Series.size())) return;
  chart.Series[static_cast<std::size_t>(tag - 1)].Active = checked;
  chart_->Redraw();
}

void TGraphForm::ChckMarkersClick() {
  for (fe::TSeries& s : Chart1().Series) s.Marker.Visible = markers_->isChecked();
  chart_->Redraw();
}

void TGraphForm::TableBtnClick(int tag) {
  const fe::TChart& chart = Chart1();
  if (tag < 1 || tag > static_cast<int>(chart.Series.size())) return;
  const fe::TSeries& series = chart.Series[static_cast<std::size_t>(tag - 1)];
  qt::ShowTable(series, TableTitlePrefix + series.Title, XDescription, YDescription);
}

void TGraphForm::BtnAxisOptionsClick() {
  if (ShowAxisOptions(this, Chart1())) chart_->Redraw();
}

void TGraphForm::BitBtnSaveClick() { SaveAsBitmap(*chart_); }

void TGraphForm::BitBtnPrintClick() {
  PrintGraphPage(GraphTitle, TPageFrame::Half, [this](QPainter& painter, const QRect& area) {
    const QRect legend = PrintSingleChart(painter, Chart1(), area);
    // The heading goes above the legend, written after the chart, whose
    // background would cover it.
    SetHeadingCanvas(painter);
    if (LegendTitle.empty()) return;
    int widest = 0;
    for (const fe::TSeries& s : Chart1().Series) widest = std::max(widest, TextWidth(painter, s.Title));
    const int mx = area.width() / 20, my = area.height() / 10;
    WriteLegendHeading(painter, legend,
                       QPoint(area.left() + area.width() - 1 - mx - widest - DevicePixels(painter, 230),
                              area.top() + my + DevicePixels(painter, 100)),
                       {LegendTitle});
  }, RunDir);
}

void EnlargeChart(QWidget* owner, TChartPanel& panel, const TGraphOptions& options) {
  const bool lent = !options.LentLeftTitle.empty();
  if (lent) panel.Chart.Left.Title = options.LentLeftTitle;
  {
    TGraphForm form(owner);
    if (options.HideMarkers) form.ChckMarkers()->hide();
    if (options.HideSeriesControls) form.HideSeriesControls();
    if (options.ShowSedimentLabel) form.LblSediment()->show();
    form.SourceChart = &panel.Chart;
    form.SourceRedraw = [&panel] { panel.Redraw(); };
    form.GraphTitle = options.GraphTitle;
    if (const auto* window = qobject_cast<const TGraphWindow*>(owner))
      form.RunDir = window->OutputDir();
    form.LegendTitle = options.LegendTitle;
    form.TableTitlePrefix = options.TableTitlePrefix;
    form.XDescription = options.XDescription;
    form.YDescription = options.YDescription;
    form.exec();
  }
  if (lent) {
    panel.Chart.Left.Title.clear();
    panel.Redraw();
  }
}

}  // namespace kirmel::viewer
