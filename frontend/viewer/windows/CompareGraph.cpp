#include "frontend/viewer/windows/CompareGraph.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/AxisOptions.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

TFrmCompareGraph::TFrmCompareGraph(QWidget* owner)
    : QDialog(owner), chart_(new TChartPanel(QStringLiteral("CompareChart"), QString())) {
  setObjectName(QStringLiteral("FrmCompareGraph"));
  setWindowTitle(QStringLiteral("Comparison"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  chart_->Plot()->setMinimumSize(560, 420);
  chart_->Chart.LegendPosition = fe::TLegendPosition::Bottom;

  QPushButton* save = qt::NewButton(QStringLiteral("Save as BMP"), QStringLiteral("BitBtnSave"));
  QPushButton* axis = qt::NewButton(QStringLiteral("Axis..."), QStringLiteral("BtnAxisOptions"));
  QPushButton* print = qt::NewButton(QStringLiteral("Print"), QStringLiteral("BitBtnPrint"));
  QPushButton* close = qt::NewButton(QStringLiteral("Close"), QStringLiteral("BitBtnClose"));
  connect(save, &QPushButton::clicked, this, qt::GuardedSlot([this] { BitBtnSaveClick(); }));
  connect(axis, &QPushButton::clicked, this, qt::GuardedSlot([this] { BtnAxisOptionsClick(); }));
  connect(print, &QPushButton::clicked, this, qt::GuardedSlot([this] { BitBtnPrintClick(); }));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(save);
  buttons->addWidget(axis);
  buttons->addWidget(print);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chart_, 1);
  layout->addLayout(buttons);
  resize(760, 600);
}

fe::TChart& TFrmCompareGraph::CompareChart() { return chart_->Chart; }

void TFrmCompareGraph::Redraw() { chart_->Redraw(); }

void TFrmCompareGraph::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Redraw();
}

void TFrmCompareGraph::BtnAxisOptionsClick() {
  if (ShowAxisOptions(this, CompareChart())) Redraw();
}

void TFrmCompareGraph::BitBtnSaveClick() { SaveAsBitmap(*chart_); }

void TFrmCompareGraph::BitBtnPrintClick() {
  PrintGraphPage(GraphTitle, TPageFrame::Half, [this](QPainter& painter, const QRect& area) {
    PrintSingleChart(painter, CompareChart(), area);
  }, RunDir);
}

}  // namespace kirmel::viewer
