#include "frontend/viewer/windows/CompareGraph.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/AxisOptions.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"

namespace kirmel::viewer {

namespace {

QPushButton* Button(const char* caption, const char* name) {
  auto* b = new QPushButton(QString::fromUtf8(caption));
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TFrmCompareGraph::TFrmCompareGraph(QWidget* owner)
    : QDialog(owner), chart_(new TChartPanel(QStringLiteral("CompareChart"), QString())) {
  setObjectName(QStringLiteral("FrmCompareGraph"));
  setWindowTitle(QStringLiteral("Comparison"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  chart_->Plot()->setMinimumSize(560, 420);
  chart_->Chart.LegendPosition = fe::TLegendPosition::Bottom;

  auto* save = Button("Save as BMP", "BitBtnSave");
  auto* axis = Button("Axis...", "BtnAxisOptions");
  auto* print = Button("Print", "BitBtnPrint");
  auto* close = Button("Close", "BitBtnClose");
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

void TFrmCompareGraph::BitBtnSaveClick() {
  qt::TFileDialogOptions options;
  options.Title = "Save graph as bitmap";
  options.Filter = "Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*";
  options.DefaultExtension = "bmp";
  options.AskOverwrite = true;
  const std::optional<std::string> file = qt::TheDialogs().SaveFile(options);
  if (!file) return;
  if (!fe::SaveChartBitmap(CompareChart(), QString::fromStdString(*file), chart_->Plot()->size(),
                           qt::DecimalSeparator())) {
    qt::ShowError("Could not save the bitmap to \"" + *file + "\".");
    return;
  }
  qt::ShowInfo("Bitmap saved to \"" + *file + "\"");
}

void TFrmCompareGraph::BitBtnPrintClick() {
  PrintGraphPage(GraphTitle, TPageFrame::Half, [this](QPainter& painter, const QRect& area) {
    const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
    const int mx = w / 20;
    const int my = h / 10;
    PrintChartIn(painter, CompareChart(), 0, l + mx, t + my, l + w - 1 - mx, t + h - 1 - my);
  });
}

}  // namespace kirmel::viewer
